// PNG sequences read back with an independent decoder: the pixels, the file
// names, the same bytes from the same frames, a full disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include "tests/support/test_support.h"
#include "video/frame_sink.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 7;
constexpr int kHeight = 5;

// Every byte differs from its neighbours, alpha included.
std::vector<uint8_t> PatternFrame(int seed)
{
    std::vector<uint8_t> frame(kWidth * kHeight * 4);
    for (size_t i = 0; i < frame.size(); ++i) {
        frame[i] = static_cast<uint8_t>(i * 37 + seed * 101);
    }
    return frame;
}

std::vector<uint8_t> ReadPng(const std::string& path)
{
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 4);
    if (!pixels || width != kWidth || height != kHeight) {
        stbi_image_free(pixels);
        return {};
    }
    std::vector<uint8_t> bytes(pixels, pixels + width * height * 4);
    stbi_image_free(pixels);
    return bytes;
}

// Writes the frames through one buffer that is overwritten after each Write.
void WriteSequence(const std::string& pattern, int firstNumber, const std::vector<std::vector<uint8_t>>& frames)
{
    std::string error;
    auto sink = OpenPngSequence(pattern, kWidth, kHeight, firstNumber, &error);
    ASSERT_TRUE(sink) << error;
    std::vector<uint8_t> buffer;
    for (const auto& frame : frames) {
        buffer = frame;
        ASSERT_TRUE(sink->Write(buffer.data(), &error)) << error;
        std::fill(buffer.begin(), buffer.end(), 0);
    }
    ASSERT_TRUE(sink->Finish(&error)) << error;
}

}  // namespace

TEST(PngSequence, FramesReadBackIdenticalUnderTheirNumbers)
{
    ScopedWorkDir dir;
    const std::vector<std::vector<uint8_t>> frames = {PatternFrame(1), PatternFrame(2)};
    WriteSequence("frames/", 7, frames);
    EXPECT_EQ(ReadPng("frames/frame_00007.png"), frames[0]);
    EXPECT_EQ(ReadPng("frames/frame_00008.png"), frames[1]);
    EXPECT_FALSE(fs::exists("frames/frame_00009.png"));
    EXPECT_FALSE(fs::exists("frames/frame_00006.png"));

    WriteSequence("shot-%d.png", 9, frames);
    EXPECT_EQ(ReadPng("shot-9.png"), frames[0]);
    EXPECT_EQ(ReadPng("shot-10.png"), frames[1]);

    WriteSequence("out/take_%04d_x.png", 0, frames);
    EXPECT_EQ(ReadPng("out/take_0000_x.png"), frames[0]);
    EXPECT_EQ(ReadPng("out/take_0001_x.png"), frames[1]);
}

TEST(PngSequence, SameFramesGiveTheSameBytes)
{
    ScopedWorkDir dir;
    const std::vector<std::vector<uint8_t>> frames = {PatternFrame(3), PatternFrame(4)};
    WriteSequence("first/", 0, frames);
    WriteSequence("second/", 0, frames);
    for (const char* name : {"frame_00000.png", "frame_00001.png"}) {
        std::string first = ReadFileText(fs::path("first") / name);
        EXPECT_FALSE(first.empty());
        EXPECT_EQ(first, ReadFileText(fs::path("second") / name)) << name;
    }
}

// The first file leads to a full disk: the worker's failure reaches a later
// Write (at the latest once the queue is full) and Finish, with the file's name.
TEST(PngSequence, FullDiskIsReportedByTheNextWriteAndFinish)
{
    ScopedWorkDir dir;
    fs::create_directory("frames");
    fs::create_symlink("/dev/full", "frames/frame_00000.png");
    std::string error;
    auto sink = OpenPngSequence("frames/", kWidth, kHeight, 0, &error);
    ASSERT_TRUE(sink) << error;
    std::vector<uint8_t> frame = PatternFrame(5);
    bool written = true;
    for (int i = 0; i < 5 && written; ++i) {
        written = sink->Write(frame.data(), &error);
    }
    EXPECT_FALSE(written) << "five writes pass a failed worker with a queue of three";
    EXPECT_NE(error.find("frame_00000.png"), std::string::npos) << error;
    EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
    std::string finishError;
    EXPECT_FALSE(sink->Finish(&finishError));
    EXPECT_EQ(finishError, error);
}
