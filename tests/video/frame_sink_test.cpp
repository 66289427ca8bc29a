// What both sinks refuse, and how they end: bad names and settings, folders
// that cannot be written, missing or unreadable music, writes after Finish,
// sinks destroyed unfinished.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "tests/support/test_support.h"
#include "tests/video/media_probe.h"
#include "video/frame_sink.h"

namespace fs = std::filesystem;

namespace {

VideoSettings SmallVideo(const std::string& path)
{
    VideoSettings settings;
    settings.path = path;
    settings.width = 32;
    settings.height = 16;
    settings.fps = 10;
    settings.endSeconds = 1;
    return settings;
}

// The reason OpenVideo gives for refusing the settings; empty when it opens.
std::string VideoRefusal(const VideoSettings& settings)
{
    std::string error;
    std::string warning;
    auto sink = OpenVideo(settings, &error, &warning);
    EXPECT_EQ(sink == nullptr, !error.empty());
    return sink ? "" : error;
}

std::string PngRefusal(const std::string& pattern, int width = 4, int height = 4, int first = 0)
{
    std::string error;
    auto sink = OpenPngSequence(pattern, width, height, first, &error);
    EXPECT_EQ(sink == nullptr, !error.empty());
    return sink ? "" : error;
}

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST(FrameSink, PngSequencePathsAreTold)
{
    for (const char* path : {"frames/", "shot%d.png", "a/b_%05d.png", "/tmp/x%3d"}) {
        EXPECT_TRUE(IsPngSequencePath(path)) << path;
    }
    for (const char* path : {"show.mp4", "show.mkv", "100%.mp4", "frames", ""}) {
        EXPECT_FALSE(IsPngSequencePath(path)) << path;
    }
}

TEST(FrameSink, BadNamesAndSettingsAreRefusedWithAReason)
{
    ScopedWorkDir dir;
    EXPECT_TRUE(Has(VideoRefusal(SmallVideo("show.avi")), ".mp4 or .mkv"));
    EXPECT_TRUE(Has(VideoRefusal(SmallVideo("show")), ".mp4 or .mkv"));
    EXPECT_FALSE(fs::exists("show.avi"));

    VideoSettings odd = SmallVideo("odd.mp4");
    odd.width = 33;
    EXPECT_TRUE(Has(VideoRefusal(odd), "33 x 16"));
    VideoSettings noFps = SmallVideo("still.mp4");
    noFps.fps = 0;
    EXPECT_TRUE(Has(VideoRefusal(noFps), "frame rate"));
    VideoSettings backwards = SmallVideo("back.mp4");
    backwards.startSeconds = 2;
    EXPECT_TRUE(Has(VideoRefusal(backwards), "span"));

    EXPECT_TRUE(Has(PngRefusal("a%d%d.png"), "one %d"));
    EXPECT_TRUE(Has(PngRefusal("a%s.png"), "one %d"));
    EXPECT_TRUE(Has(PngRefusal("run%d/shot.png"), "file name"));
    EXPECT_TRUE(Has(PngRefusal("frames"), "neither"));
    EXPECT_TRUE(Has(PngRefusal("frames/", 0, 4), "0 x 4"));
    EXPECT_TRUE(Has(PngRefusal("frames/", 4, 4, -1), "-1"));
}

TEST(FrameSink, FoldersThatCannotBeWrittenAreRefused)
{
    ScopedWorkDir dir;
    WriteFile("blocker", std::string("a file, not a folder"));
    EXPECT_TRUE(Has(VideoRefusal(SmallVideo("blocker/show.mp4")), "cannot create 'blocker/show.mp4'"));
    EXPECT_TRUE(Has(VideoRefusal(SmallVideo("blocker/show.mkv")), "cannot create"));
    EXPECT_TRUE(Has(PngRefusal("blocker/frames/"), "cannot make the folder 'blocker/frames'"));
    EXPECT_TRUE(Has(PngRefusal("blocker/shot%d.png"), "blocker"));
}

// Missing or unreadable music: the video is made without sound, and says so.
TEST(FrameSink, VideoWithoutUsableMusicHasNoSoundAndAWarning)
{
    ScopedWorkDir dir;
    WriteFile("noise.ogg", std::string(4000, 'x'));
    for (const char* music : {"missing.ogg", "noise.ogg", ""}) {
        SCOPED_TRACE(music);
        VideoSettings settings = SmallVideo("silent.mkv");
        settings.musicFile = music;
        std::string error;
        std::string warning;
        auto sink = OpenVideo(settings, &error, &warning);
        ASSERT_TRUE(sink) << error;
        EXPECT_TRUE(Has(warning, "has no sound")) << warning;
        EXPECT_TRUE(Has(warning, music)) << warning;
        std::vector<uint8_t> frame(32 * 16 * 4, 128);
        for (int i = 0; i < 10; ++i) {
            ASSERT_TRUE(sink->Write(frame.data(), &error)) << error;
        }
        ASSERT_TRUE(sink->Finish(&error)) << error;
        MediaFacts facts = ProbeMedia("silent.mkv");
        EXPECT_EQ(facts.video.packets, 10);
        EXPECT_FALSE(facts.sound.present);
    }
}

TEST(FrameSink, WritesAfterFinishAreRefusedAndUnfinishedSinksCloseQuietly)
{
    ScopedWorkDir dir;
    std::string error;
    std::vector<uint8_t> frame(32 * 16 * 4, 200);
    std::unique_ptr<FrameSink> sinks[] = {OpenVideo(SmallVideo("done.mp4"), &error),
                                          OpenPngSequence("done/", 32, 16, 0, &error)};
    for (auto& sink : sinks) {
        ASSERT_TRUE(sink) << error;
        ASSERT_TRUE(sink->Write(frame.data(), &error)) << error;
        ASSERT_TRUE(sink->Finish(&error)) << error;
        EXPECT_FALSE(sink->Write(frame.data(), &error));
        EXPECT_TRUE(Has(error, "already finished")) << error;
        EXPECT_FALSE(sink->Finish(&error));
    }

    // Destroyed with frames still queued: they are written, nothing hangs.
    auto unfinished = OpenPngSequence("left/", 32, 16, 0, &error);
    ASSERT_TRUE(unfinished) << error;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(unfinished->Write(frame.data(), &error)) << error;
    }
    unfinished.reset();
    EXPECT_TRUE(fs::exists("left/frame_00002.png"));
    EXPECT_FALSE(fs::exists("left/frame_00003.png"));
}
