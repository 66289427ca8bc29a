// texgen's textures, loaded through the player's material loader. The
// materials of our production are loaded and drawn by ProductionTest and
// the golden frames; here the test card and the pictures brought in.

#include <array>
#include <cmath>

#include "scene/material_loader.h"
#include "tests/tools/mesh_checks.h"
#include "tests/tools/tool_process.h"

namespace {

using TexgenTest = ToolOutputTest;
using Rgb = std::array<int, 3>;

Rgb PixelOf(const uint8_t* bytes, uint32_t width, uint32_t row, uint32_t column)
{
    const uint8_t* p = bytes + 3 * (size_t{row} * width + column);
    return {p[0], p[1], p[2]};
}

Float3 DecodeNormal(Rgb c)
{
    return {c[0] / 255.0f * 2.0f - 1.0f, c[1] / 255.0f * 2.0f - 1.0f, c[2] / 255.0f * 2.0f - 1.0f};
}

// Runs texgen, then loads tex/NAME.bmp (and NAME_normal.bmp, when there is
// one) as the player does; null when either step reports a problem.
Material* Make(const std::vector<std::string>& arguments, const std::string& name)
{
    const ToolRun run = RunTool(TEXGEN_PATH, arguments);
    EXPECT_EQ(run.exitCode, 0) << testing::PrintToString(arguments) << "\n" << run.err;
    StdoutCapture capture;
    Material* material = LoadMaterial(name);
    for (const std::string& line : capture.Lines()) {
        if (line.find("failure") != std::string::npos || line.find("malformed") != std::string::npos) {
            ADD_FAILURE() << "loading " << name << ": " << line;
            material = nullptr;
        }
    }
    return run.exitCode == 0 ? material : nullptr;
}

// A binary PNM picture (top row first), each pixel given by the function.
template <typename PixelFunction>
std::string PortablePixmap(uint32_t width, uint32_t height, PixelFunction pixel)
{
    std::string bytes = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (uint32_t i = 0; i < width * height; ++i) {
        const Rgb c = pixel(i / width, i % width);
        bytes += {static_cast<char>(c[0]), static_cast<char>(c[1]), static_cast<char>(c[2])};
    }
    return bytes;
}

Rgb Scrambled(uint32_t row, uint32_t column)
{
    const uint32_t h = (row * 73856093u) ^ (column * 19349663u);
    return {int(h % 251), int((h >> 8) % 253), int((h >> 16) % 255)};
}

}  // namespace

TEST_F(TexgenTest, TestCardArrivesTheRightWayRoundOnAFlatSurfaceAndConvertedPicturesPixelForPixel)
{
    Material* card = Make({"testcard", "tex/card.bmp", "--width", "8", "--height", "6"}, "card");
    ASSERT_NE(card, nullptr);
    ASSERT_EQ(std::pair(card->width, card->height), std::pair(8u, 6u));
    // Corners red, green, blue and white from the top left; the quarters meet in the middle.
    const auto at = [&](uint32_t row, uint32_t column) { return PixelOf(card->diffuse.get(), 8, row, column); };
    EXPECT_EQ((std::vector<Rgb>{at(0, 0), at(0, 7), at(5, 0), at(5, 7), at(2, 3), at(3, 4)}),
              (std::vector<Rgb>{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}, {255, 0, 0}, {255, 255, 255}}));

    // Converted pictures arrive pixel for pixel.
    // Ten columns: the converter keeps the middle eight.
    WriteFile("scrambled.ppm", PortablePixmap(10, 3, Scrambled));
    Material* picture = Make({"convert", "scrambled.ppm", "tex/conv.bmp"}, "conv");
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(std::pair(picture->width, picture->height), std::pair(8u, 3u));
    for (uint32_t i = 0; i < 8 * 3; ++i) {
        EXPECT_EQ(PixelOf(picture->diffuse.get(), 8, i / 8, i % 8), Scrambled(i / 8, i % 8 + 1)) << i;
    }
}

TEST_F(TexgenTest, HeightMapSlopesTiltNormalsAwayFromTheRise)
{
    // Heights rise to the right and downwards: the surface's normal leans
    // against the rise on both axes (away from +u and +v).
    WriteFile("rise.ppm", PortablePixmap(8, 8, [](uint32_t r, uint32_t c) {
                  const int level = int(16 * (r + c));
                  return Rgb{level, level, level};
              }));
    Make({"testcard", "tex/slope.bmp", "--width", "8", "--height", "8"}, "slope");
    Material* slope = Make({"normals", "rise.ppm", "tex/slope_normal.bmp"}, "slope");
    ASSERT_NE(slope, nullptr);
    // The field wraps round at the edges, so only inner pixels see the ramp.
    for (uint32_t row = 1; row < 7; ++row) {
        for (uint32_t column = 1; column < 7; ++column) {
            const Float3 n = DecodeNormal(PixelOf(slope->normalMap.get(), 8, row, column));
            EXPECT_TRUE(n.x < -0.05f && n.y < -0.05f) << row << ", " << column;
        }
    }
}
