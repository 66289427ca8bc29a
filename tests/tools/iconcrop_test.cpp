// iconcrop, run as a real process on pictures written here: the square it
// cuts, the averaging, and what it refuses.

#include <gtest/gtest.h>
#include <stb_image.h>

#include <array>
#include <functional>

#include "tests/tools/tool_process.h"

namespace {

using Rgb = std::array<int, 3>;
namespace fs = std::filesystem;

// A binary PNM picture, each pixel given by the function of (row, column).
void WritePixmap(const fs::path& path, int width, int height, const std::function<Rgb(int, int)>& pixel)
{
    std::string bytes = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const Rgb c = pixel(row, column);
            bytes += {static_cast<char>(c[0]), static_cast<char>(c[1]), static_cast<char>(c[2])};
        }
    }
    WriteFile(path, bytes);
}

// The PNG file's pixels, row by row; empty when it cannot be read.
std::vector<Rgb> ReadPng(const fs::path& path, int* width, int* height)
{
    int channels = 0;
    unsigned char* pixels = stbi_load(path.c_str(), width, height, &channels, 3);
    std::vector<Rgb> read;
    for (int i = 0; pixels && i < *width * *height; ++i) {
        read.push_back({pixels[3 * i], pixels[3 * i + 1], pixels[3 * i + 2]});
    }
    stbi_image_free(pixels);
    return read;
}

ToolRun Crop(const std::vector<std::string>& arguments) { return RunTool(ICONCROP_PATH, arguments); }

}  // namespace

TEST(IconcropTest, CutsTheMiddleSquareOfWideAndTallPicturesAndAveragesIt)
{
    ScopedWorkDir dir;
    // Red bars either side of a middle square of four colours, one quadrant
    // each: halved, each quadrant is one pixel of its own colour.
    const Rgb red{255, 0, 0};
    const std::array<Rgb, 4> quadrants{Rgb{0, 0, 0}, Rgb{200, 40, 10}, Rgb{10, 250, 90}, Rgb{60, 70, 255}};
    WritePixmap("wide.ppm", 12, 4, [&](int row, int column) {
        return column < 4 || column >= 8 ? red : quadrants[2 * (row / 2) + (column - 4) / 2];
    });
    WritePixmap("tall.ppm", 4, 12, [&](int row, int column) {
        return row < 4 || row >= 8 ? red : quadrants[2 * ((row - 4) / 2) + column / 2];
    });
    for (const char* picture : {"wide.ppm", "tall.ppm"}) {
        const ToolRun run = Crop({picture, "icon.png", "--size", "2"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        int width = 0;
        int height = 0;
        EXPECT_EQ(ReadPng("icon.png", &width, &height), std::vector<Rgb>(quadrants.begin(), quadrants.end()))
            << picture;
        EXPECT_EQ(std::pair(width, height), std::pair(2, 2));
    }

    // Scaled by a step that is not whole, the icon keeps the middle square's
    // mean colour, and nothing of the bars.
    Rgb sum{0, 0, 0};
    WritePixmap("frame.ppm", 10, 6, [&](int row, int column) {
        if (column < 2 || column >= 8) {
            return red;
        }
        const Rgb c{(row * 37 + column * 11) % 256, (row * 5 + column * 53) % 256, (row * column * 29) % 256};
        for (int i = 0; i < 3; ++i) {
            sum[i] += c[i];
        }
        return c;
    });
    ASSERT_EQ(Crop({"frame.ppm", "icon.png", "--size", "4"}).exitCode, 0);
    int width = 0;
    int height = 0;
    const std::vector<Rgb> icon = ReadPng("icon.png", &width, &height);
    ASSERT_EQ(icon.size(), 16u);
    for (int i = 0; i < 3; ++i) {
        double mean = 0.0;
        for (const Rgb& pixel : icon) {
            mean += pixel[i] / 16.0;
        }
        EXPECT_NEAR(mean, sum[i] / 36.0, 0.5) << "channel " << i;
    }
}

TEST(IconcropTest, RefusesWhatItCannotMakeAndLeavesNoPartOfAnOutput)
{
    ScopedWorkDir dir;
    WritePixmap("small.ppm", 8, 6, [](int, int) { return Rgb{1, 2, 3}; });
    WriteFile("text.png", std::string("not a picture"));
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
    };
    for (const Case& mistake : std::vector<Case>{
             {{"missing.png", "icon.png", "--size", "4"}, 1},
             {{"text.png", "icon.png", "--size", "4"}, 1},
             {{"small.ppm", "icon.png", "--size", "7"}, 1},
             {{"small.ppm", "no/such/folder/icon.png", "--size", "4"}, 1},
             {{"small.ppm", "icon.png"}, 2},
             {{"small.ppm", "icon.png", "--size", "0"}, 2},
             {{"small.ppm", "icon.png", "--size", "4", "--colour"}, 2},
         }) {
        const ToolRun run = Crop(mistake.arguments);
        EXPECT_EQ(run.exitCode, mistake.exitCode) << mistake.arguments[0] << " " << mistake.arguments[1];
        EXPECT_EQ(run.err.rfind("iconcrop: ", 0), 0u) << run.err;
    }
    EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator("."), fs::directory_iterator()).size(), 2u);
}
