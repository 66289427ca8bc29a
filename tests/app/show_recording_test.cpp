// The recording's logic on the null renderer's captured frames, written to
// real PNG files and read back. The real renderer's read-back is recorded in
// the live runs (WatchKeysRunTest, the end-to-end renders).

#include <gtest/gtest.h>
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "app/show_recording.h"
#include "core/stop_signals.h"
#include "render/null_renderer.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;

PlayOptions PngOptions(const std::string& pattern = "frames/f%03d.png")
{
    PlayOptions options;
    options.renderPath = pattern;
    options.fps = 10;
    return options;
}

// Draws `frames` frames, taking what has been read back after each, as the
// show does at the end of every frame.
void DrawAndTake(NullRenderer& renderer, ShowRecording& recording, int frames)
{
    for (int i = 0; i < frames; ++i) {
        renderer.RenderFrame(100.0f);
        ASSERT_TRUE(recording.TakeFrames());
    }
}

// The value of the first pixel's red byte in a written frame; -1 when it
// cannot be read.
int FirstRed(const fs::path& file, int expectedWidth, int expectedHeight)
{
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load(file.c_str(), &width, &height, &channels, 4);
    if (!pixels) {
        return -1;
    }
    const int red = width == expectedWidth && height == expectedHeight ? pixels[0] : -1;
    stbi_image_free(pixels);
    return red;
}

size_t FilesIn(const fs::path& folder)
{
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

}  // namespace

TEST(ShowRecordingTest, EveryFrameFromTheStartToTheEndIsWrittenInOrderAtTheCapturedSize)
{
    ScopedWorkDir dir;
    StderrCapture progress;
    NullRenderer renderer;
    renderer.SetPictureSize(32, 18);
    renderer.RenderFrame(100.0f);  // drawn before the recording: not captured
    std::unique_ptr<ShowRecording> recording = ShowRecording::Open(PngOptions(), renderer, 20, 25);
    ASSERT_NE(recording, nullptr);
    EXPECT_EQ(recording->EndFrame(), 25);
    // The last frame is still in flight after the loop: Finish waits for it.
    DrawAndTake(renderer, *recording, 5);
    // The frame that quits is drawn after the end and is not part of the show.
    renderer.RenderFrame(100.0f);
    ASSERT_TRUE(recording->Finish());
    ASSERT_EQ(FilesIn("frames"), 5u);
    for (int frame = 0; frame < 5; ++frame) {
        char name[32];
        std::snprintf(name, sizeof name, "frames/f%03d.png", frame);
        EXPECT_EQ(FirstRed(name, 32, 18), frame) << name;
    }
}

TEST(ShowRecordingTest, AnOutputThatCannotBeOpenedIsRefusedAndNothingIsCaptured)
{
    ScopedWorkDir dir;
    WriteFile("taken", std::string("a file where the folder would be"));
    NullRenderer renderer;
    StderrCapture refused;
    EXPECT_EQ(ShowRecording::Open(PngOptions("taken/f%03d.png"), renderer, 0, 5), nullptr);
    const std::string said = refused.Text();
    EXPECT_NE(said.find("Cannot render: "), std::string::npos) << said;
    renderer.RenderFrame(100.0f);
    EXPECT_EQ(renderer.TakeCapturedFrame(true), nullptr);
}

TEST(ShowRecordingTest, AStopSignalKeepsTheFramesWrittenAndSaysHowFarItGot)
{
    GTEST_FLAG_SET(death_test_style, "fast");  // the child writes into this test's folder
    ScopedWorkDir dir;
    EXPECT_EXIT(
        {
            InstallStopSignals();
            NullRenderer renderer;
            std::unique_ptr<ShowRecording> recording = ShowRecording::Open(PngOptions(), renderer, 10, 20);
            if (!recording) {
                std::_Exit(2);
            }
            DrawAndTake(renderer, *recording, 3);
            std::raise(SIGTERM);
            std::_Exit(recording->Finish() ? 0 : 3);
        },
        testing::ExitedWithCode(0),
        "Render stopped by SIGTERM after 3 of 10 frames \\(show time 1\\.3 s\\); the frames written are complete");
    EXPECT_EQ(FilesIn("frames"), 3u);
}
