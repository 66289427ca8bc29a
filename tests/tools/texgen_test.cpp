// texgen's textures, loaded through the player's material loader.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "scene/material_loader.h"
#include "tests/tools/mesh_checks.h"
#include "tests/tools/tool_process.h"

namespace {

using TexgenTest = ToolOutputTest;

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rgb& c)
{
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

std::string Texgen()
{
    return TEXGEN_PATH;
}

Rgb PixelOf(const uint8_t* bytes, uint32_t width, uint32_t row, uint32_t column)
{
    const uint8_t* p = bytes + 3 * (size_t{row} * width + column);
    return {p[0], p[1], p[2]};
}

Float3 DecodeNormal(Rgb c)
{
    return {c.r / 255.0f * 2.0f - 1.0f, c.g / 255.0f * 2.0f - 1.0f, c.b / 255.0f * 2.0f - 1.0f};
}

// Loads tex/NAME.bmp (and NAME_normal.bmp, when there is one) as the player
// does; the test fails when the loader finds a file malformed.
Material* LoadMaterialAsPlayer(const std::string& name)
{
    StdoutCapture capture;
    Material* material = LoadMaterial(name);
    for (const std::string& line : capture.Lines()) {
        if (line.find("failure") != std::string::npos ||
            line.find("malformed") != std::string::npos) {
            ADD_FAILURE() << "loading " << name << ": " << line;
        }
    }
    return material;
}

void RunOrFail(const std::vector<std::string>& arguments)
{
    const ToolRun run = RunTool(Texgen(), arguments);
    ASSERT_EQ(run.exitCode, 0) << testing::PrintToString(arguments) << "\n" << run.err;
}

// A binary PNM picture (top row first), each pixel given by the function.
template <typename PixelFunction>
std::string PortablePixmap(uint32_t width, uint32_t height, PixelFunction pixel)
{
    std::string bytes = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (uint32_t row = 0; row < height; ++row) {
        for (uint32_t column = 0; column < width; ++column) {
            const Rgb c = pixel(row, column);
            bytes += {static_cast<char>(c.r), static_cast<char>(c.g), static_cast<char>(c.b)};
        }
    }
    return bytes;
}

Rgb Scrambled(uint32_t row, uint32_t column)
{
    const uint32_t h = (row * 73856093u) ^ (column * 19349663u);
    return {int(h % 251), int((h >> 8) % 253), int((h >> 16) % 255)};
}

}  // namespace

TEST_F(TexgenTest, MaterialsLoadWithTheirSizeAndUnitNormals)
{
    for (const std::string kind : {"metal", "concrete", "tiles", "panel"}) {
        SCOPED_TRACE(kind);
        const std::string name = "mat_" + kind;
        RunOrFail({kind, "tex/" + name + ".bmp", "--width", "64", "--height", "32", "--seed", "7"});
        ASSERT_TRUE(std::filesystem::exists("tex/" + name + "_normal.bmp"));
        Material* material = LoadMaterialAsPlayer(name);
        ASSERT_NE(material, nullptr);
        EXPECT_EQ(material->width, 64u);
        EXPECT_EQ(material->height, 32u);
        EXPECT_EQ(material->channels, 3u);
        int tilted = 0;
        for (uint32_t row = 0; row < 32; ++row) {
            for (uint32_t column = 0; column < 64; ++column) {
                const Float3 n = DecodeNormal(PixelOf(material->normalMap.get(), 64, row, column));
                ASSERT_NEAR(Length(n), 1.0f, 0.02f) << row << ", " << column;
                ASSERT_GT(n.z, 0.0f) << row << ", " << column;
                tilted += n.z < 0.98f;
            }
        }
        EXPECT_GT(tilted, 0) << "the surface has no relief";
        const Rgb first = PixelOf(material->diffuse.get(), 64, 0, 0);
        bool varied = false;
        for (uint32_t i = 0; i < 64 * 32 && !varied; ++i) {
            varied = PixelOf(material->diffuse.get(), 64, i / 64, i % 64) != first;
        }
        EXPECT_TRUE(varied) << "the picture is one flat colour";
    }
}

TEST_F(TexgenTest, TestCardArrivesTheRightWayRoundOnAFlatSurface)
{
    RunOrFail({"testcard", "tex/card.bmp", "--width", "8", "--height", "6"});
    Material* card = LoadMaterialAsPlayer("card");
    ASSERT_NE(card, nullptr);
    ASSERT_EQ(card->width, 8u);
    ASSERT_EQ(card->height, 6u);
    const uint8_t* colour = card->diffuse.get();
    EXPECT_EQ(PixelOf(colour, 8, 0, 0), (Rgb{255, 0, 0}));      // top left: red
    EXPECT_EQ(PixelOf(colour, 8, 0, 7), (Rgb{0, 255, 0}));      // top right: green
    EXPECT_EQ(PixelOf(colour, 8, 5, 0), (Rgb{0, 0, 255}));      // bottom left: blue
    EXPECT_EQ(PixelOf(colour, 8, 5, 7), (Rgb{255, 255, 255}));  // bottom right: white
    EXPECT_EQ(PixelOf(colour, 8, 2, 3), (Rgb{255, 0, 0}));
    EXPECT_EQ(PixelOf(colour, 8, 3, 4), (Rgb{255, 255, 255}));
    for (uint32_t i = 0; i < 8 * 6; ++i) {
        const Rgb flat = PixelOf(card->normalMap.get(), 8, i / 8, i % 8);
        EXPECT_TRUE(flat.r == 127 || flat.r == 128) << flat;
        EXPECT_TRUE(flat.g == 127 || flat.g == 128) << flat;
        EXPECT_EQ(flat.b, 255);
        const Float3 n = DecodeNormal(flat);
        EXPECT_NEAR(n.x, 0.0f, 1.01f / 255.0f);
        EXPECT_NEAR(n.y, 0.0f, 1.01f / 255.0f);
        EXPECT_NEAR(n.z, 1.0f, 1e-6f);
    }
}

TEST_F(TexgenTest, ConvertedPicturesArrivePixelForPixel)
{
    // Ten columns: the converter keeps the middle eight.
    WriteFile("scrambled.ppm", PortablePixmap(10, 3, Scrambled));
    const std::string toPng = std::string(IMAGEMAGICK_CONVERT) + " scrambled.ppm scrambled.png";
    ASSERT_EQ(std::system(toPng.c_str()), 0);
    for (const std::string input : {"scrambled.ppm", "scrambled.png"}) {
        SCOPED_TRACE(input);
        const std::string name =
            "conv_" + std::filesystem::path(input).extension().string().substr(1);
        RunOrFail({"convert", input, "tex/" + name + ".bmp"});
        Material* picture = LoadMaterialAsPlayer(name);
        ASSERT_NE(picture, nullptr);
        ASSERT_EQ(picture->width, 8u);
        ASSERT_EQ(picture->height, 3u);
        for (uint32_t row = 0; row < 3; ++row) {
            for (uint32_t column = 0; column < 8; ++column) {
                EXPECT_EQ(PixelOf(picture->diffuse.get(), 8, row, column),
                          Scrambled(row, column + 1))
                    << row << ", " << column;
            }
        }
    }
}

TEST_F(TexgenTest, HeightMapSlopesTiltNormalsAwayFromTheRise)
{
    // Heights rise to the right in one picture and downwards in the other;
    // the surface's normal leans against the rise (away from +u or +v).
    WriteFile("rise_right.ppm", PortablePixmap(16, 8, [](uint32_t, uint32_t c) {
                  return Rgb{int(c * 16), int(c * 16), int(c * 16)};
              }));
    WriteFile("rise_down.ppm", PortablePixmap(16, 8, [](uint32_t r, uint32_t) {
                  return Rgb{int(r * 32), int(r * 32), int(r * 32)};
              }));
    RunOrFail({"testcard", "tex/slope.bmp", "--width", "16", "--height", "8"});
    for (const bool rightward : {true, false}) {
        SCOPED_TRACE(rightward ? "rising right" : "rising down");
        RunOrFail(
            {"normals", rightward ? "rise_right.ppm" : "rise_down.ppm", "tex/slope_normal.bmp"});
        Material* slope = LoadMaterialAsPlayer("slope");
        ASSERT_NE(slope, nullptr);
        // The field wraps round at the edges, so only inner pixels see the ramp.
        for (uint32_t row = 1; row < 7; ++row) {
            for (uint32_t column = 1; column < 15; ++column) {
                const Float3 n = DecodeNormal(PixelOf(slope->normalMap.get(), 16, row, column));
                EXPECT_NEAR(Length(n), 1.0f, 0.02f);
                EXPECT_LT(rightward ? n.x : n.y, -0.05f) << row << ", " << column;
                EXPECT_NEAR(rightward ? n.y : n.x, 0.0f, 1.01f / 255.0f) << row << ", " << column;
            }
        }
    }
}

TEST_F(TexgenTest, UnusableRequestsAndPicturesAreRefused)
{
    WriteFile("garbage.png", std::string(300, '\x5a'));
    std::string truncatedPng;
    WriteFile("good.ppm", PortablePixmap(64, 64, Scrambled));
    ASSERT_EQ(std::system((std::string(IMAGEMAGICK_CONVERT) + " good.ppm good.png").c_str()), 0);
    truncatedPng = ReadFileText("good.png");
    truncatedPng.resize(truncatedPng.size() / 2);
    WriteFile("truncated.png", truncatedPng);
    WriteFile("narrow.ppm", PortablePixmap(3, 5, Scrambled));
    WriteFile("lying.ppm", "P6\n100000 100000\n255\nabc");

    const std::vector<std::pair<std::vector<std::string>, int>> refusals = {
        {{"tiles", "out.bmp", "--width", "10"}, 2},
        {{"tiles", "out.bmp", "--width", "0"}, 2},
        {{"tiles", "out.bmp", "--height", "9000"}, 2},
        {{"tiles", "out.bmp", "--width", "twelve"}, 2},
        {{"marble", "out.bmp"}, 2},
        {{"tiles", "out.png"}, 2},
        {{"tiles"}, 2},
        {{"convert", "good.ppm", "out.bmp", "--seed", "3"}, 2},
        {{"convert", "missing.png", "out.bmp"}, 1},
        {{"convert", "garbage.png", "out.bmp"}, 1},
        {{"convert", "truncated.png", "out.bmp"}, 1},
        {{"convert", "narrow.ppm", "out.bmp"}, 1},
        {{"convert", "lying.ppm", "out.bmp"}, 1},
        {{"normals", "garbage.png", "out.bmp"}, 1},
        {{"tiles", "no/such/dir/out.bmp"}, 1},
    };
    for (const auto& [arguments, exitCode] : refusals) {
        const ToolRun run = RunTool(Texgen(), arguments);
        EXPECT_EQ(run.exitCode, exitCode) << testing::PrintToString(arguments);
        EXPECT_NE(run.err.find("texgen: "), std::string::npos) << testing::PrintToString(arguments);
        EXPECT_FALSE(std::filesystem::exists("out.bmp"));
        if (exitCode == 1 && arguments[0] != "tiles") {
            EXPECT_NE(run.err.find(arguments[1]), std::string::npos) << run.err;
        }
    }
    const ToolRun width = RunTool(Texgen(), {"tiles", "out.bmp", "--width", "10"});
    EXPECT_NE(width.err.find("multiple of 4"), std::string::npos) << width.err;
}
