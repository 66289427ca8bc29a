// What both sinks refuse, and how they fail: bad names and settings, folders
// that cannot be made, music that cannot be read, a full disk. PNG files
// read back with an independent decoder: the pixels under their file names.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <numeric>
#include <tuple>
#include <vector>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include "tests/support/test_support.h"
#include "video/frame_sink.h"

namespace {

// A PNG sequence or a video of 1 s, as the path says, of frames `width` x 16;
// `number` is the video's frame rate or the first PNG number.
std::unique_ptr<FrameSink> OpenSink(const std::string& path, std::string* error, int width = 32, int number = 10,
                                    double start = 0, const std::string& music = "", std::string* warning = nullptr)
{
    if (IsPngSequencePath(path)) {
        return OpenPngSequence(path, width, 16, number, error);
    }
    return OpenVideo({.path = path, .width = width, .height = 16, .fps = number, .musicFile = music,
                      .startSeconds = start, .endSeconds = 1}, error, warning);
}

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// 7 x 5 pixels in which every byte differs from its neighbours, alpha included.
std::vector<uint8_t> PatternFrame(int seed)
{
    std::vector<uint8_t> frame(7 * 5 * 4);
    std::iota(frame.begin(), frame.end(), static_cast<uint8_t>(seed * 101));
    return frame;
}

// The pixels of a 7 x 5 PNG file; empty when it is missing or of another size.
std::vector<uint8_t> ReadPng(const std::string& path)
{
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 4);
    std::vector<uint8_t> bytes(pixels, pixels + (pixels && width == 7 && height == 5 ? 7 * 5 * 4 : 0));
    stbi_image_free(pixels);
    return bytes;
}

}  // namespace

TEST(FrameSink, BadSettingsAreRefusedWithAReasonAndUnusableMusicOnlyWarns)
{
    ScopedWorkDir dir;
    WriteFile("blocker", std::string("a file, not a folder"));
    // Path, width, frame rate or first PNG number, span start, the reason.
    const std::tuple<std::string, int, int, double, std::string> cases[] = {
        {"show.avi", 32, 10, 0, ".mp4 or .mkv"},
        {"odd.mp4", 33, 10, 0, "33 x 16"},
        {"still.mp4", 32, 0, 0, "frame rate"},
        {"back.mp4", 32, 10, 2, "span"},
        {"blocker/show.mkv", 32, 10, 0, "cannot create 'blocker/show.mkv'"},
        {"a%d%d.png", 32, 0, 0, "one %d"},
        {"run%d/shot.png", 32, 0, 0, "file name"},
        {"frames/", 0, 0, 0, "0 x 16"},
        {"frames/", 32, -1, 0, "-1"},
        {"blocker/frames/", 32, 0, 0, "cannot make the folder 'blocker/frames'"},
    };
    for (const auto& [path, width, number, start, reason] : cases) {
        std::string error;
        EXPECT_FALSE(OpenSink(path, &error, width, number, start)) << path;
        EXPECT_TRUE(Has(error, reason)) << error;
    }
    // Music that cannot be read: the video is made without sound, and says so.
    std::string error;
    std::string warning;
    EXPECT_TRUE(OpenSink("silent.mkv", &error, 32, 10, 0, "missing.ogg", &warning)) << error;
    EXPECT_TRUE(Has(warning, "has no sound") && Has(warning, "missing.ogg")) << warning;
}

// Writes go on until one fails; Finish then fails too, with the file's name and
// the system's reason, and nothing hangs.
TEST(FrameSink, FullDiskIsReportedWithTheFileAndTheReason)
{
    ScopedWorkDir dir;
    std::filesystem::create_directory("frames");
    std::filesystem::create_symlink("/dev/full", "frames/frame_00010.png");
    std::filesystem::create_symlink("/dev/full", "full.mkv");
    for (const auto& [path, file] : {std::pair{"frames/", "frames/frame_00010.png"}, {"full.mkv", "full.mkv"}}) {
        SCOPED_TRACE(path);
        std::string error;
        auto sink = OpenSink(path, &error);
        ASSERT_TRUE(sink) << error;
        std::vector<uint8_t> frame(32 * 16 * 4, 77);
        for (int i = 0; i < 10 && sink->Write(frame.data(), &error); ++i) {
        }
        EXPECT_FALSE(sink->Finish(&error));
        EXPECT_TRUE(Has(error, file) && Has(error, "No space left on device")) << error;
    }
}

// Frames 1 and 2, each freed as soon as Write returns.
TEST(PngSequence, FramesReadBackExactUnderTheirNumbersAndTheSameBytesEachTime)
{
    ScopedWorkDir dir;
    const std::tuple<std::string, int, std::string, std::string> cases[] = {
        {"frames/", 7, "frames/frame_00007.png", "frames/frame_00008.png"},
        {"shot-%d.png", 9, "shot-9.png", "shot-10.png"},
        {"out/take_%04d_x.png", 0, "out/take_0000_x.png", "out/take_0001_x.png"},
        {"pad%3d.png", 98, "pad 98.png", "pad 99.png"},  // spaces, as printf pads
    };
    for (const auto& [pattern, first, name1, name2] : cases) {
        std::string error;
        auto sink = OpenPngSequence(pattern, 7, 5, first, &error);
        ASSERT_TRUE(sink) << error;
        for (int seed : {1, 2}) {
            ASSERT_TRUE(sink->Write(PatternFrame(seed).data(), &error)) << error;
        }
        ASSERT_TRUE(sink->Finish(&error)) << error;
        EXPECT_EQ(ReadPng(name1), PatternFrame(1)) << name1;
        EXPECT_EQ(ReadPng(name2), PatternFrame(2)) << name2;
    }
}
