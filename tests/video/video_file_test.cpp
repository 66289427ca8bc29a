// Video files read back as a player would: streams, timing, pictures, sound
// and the span of the looping music; a full disk; an unfinished video.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <vector>

#include "tests/support/test_support.h"
#include "tests/video/media_probe.h"
#include "tests/video/test_music.h"
#include "video/frame_sink.h"

namespace {

using Rgb = std::array<uint8_t, 3>;

constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr int kFps = 10;

std::vector<uint8_t> SolidFrame(Rgb colour)
{
    std::vector<uint8_t> frame;
    for (int i = 0; i < kWidth * kHeight; ++i) {
        frame.insert(frame.end(), {colour[0], colour[1], colour[2], 255});
    }
    return frame;
}

VideoSettings ShortVideo(const std::string& path, const std::string& music)
{
    VideoSettings settings;
    settings.path = path;
    settings.width = kWidth;
    settings.height = kHeight;
    settings.fps = kFps;
    settings.musicFile = music;
    settings.startSeconds = 0;
    settings.endSeconds = 2;
    return settings;
}

// Writes `frames` frames of `colours[frame / fps]` and finishes the video.
void WriteVideo(const VideoSettings& settings, const std::vector<Rgb>& colours, int frames)
{
    std::string error;
    std::string warning;
    auto sink = OpenVideo(settings, &error, &warning);
    ASSERT_TRUE(sink) << error;
    EXPECT_EQ(warning, "");
    for (int i = 0; i < frames; ++i) {
        std::vector<uint8_t> frame = SolidFrame(colours[i / settings.fps]);
        ASSERT_TRUE(sink->Write(frame.data(), &error)) << error;
    }
    ASSERT_TRUE(sink->Finish(&error)) << error;
}

// The largest difference of any channel of any pixel from the colour.
int Distance(const Picture& picture, Rgb colour)
{
    int largest = 0;
    for (size_t i = 0; i < picture.rgb.size(); ++i) {
        largest = std::max(largest, std::abs(picture.rgb[i] - colour[i % 3]));
    }
    return largest;
}

}  // namespace

// 64 x 48 at 10 fps for 2 s, a colour for each second, sound from 32 kHz music.
TEST(VideoFile, ShortVideoHasH264PictureAndAacSoundOfTheSpan)
{
    ScopedWorkDir dir;
    ASSERT_EQ(WriteTestMusic("music.ogg", 3, 32000, Tone), "");
    const std::vector<Rgb> colours = {Rgb{200, 40, 60}, Rgb{30, 160, 220}};
    for (std::string path : {"short.mp4", "short.mkv"}) {
        SCOPED_TRACE(path);
        WriteVideo(ShortVideo(path, "music.ogg"), colours, 20);

        MediaFacts facts = ProbeMedia(path);
        ASSERT_EQ(facts.error, "");
        EXPECT_EQ(facts.video.codec, AV_CODEC_ID_H264);
        EXPECT_EQ(facts.video.width, kWidth);
        EXPECT_EQ(facts.video.height, kHeight);
        EXPECT_EQ(facts.video.pixelFormat, AV_PIX_FMT_YUV420P);
        EXPECT_EQ(facts.video.colourSpace, AVCOL_SPC_BT709);
        EXPECT_EQ(av_cmp_q(facts.video.frameRate, AVRational{kFps, 1}), 0)
            << facts.video.frameRate.num << "/" << facts.video.frameRate.den;
        EXPECT_EQ(facts.video.packets, 20);
        EXPECT_NEAR(facts.video.seconds, 2.0, 0.15);
        ASSERT_TRUE(facts.sound.present);
        EXPECT_EQ(facts.sound.codec, AV_CODEC_ID_AAC);
        EXPECT_EQ(facts.sound.sampleRate, 48000);
        EXPECT_EQ(facts.sound.channels, 2);
        EXPECT_NEAR(facts.sound.seconds, 2.0, 0.15);
        EXPECT_LT(facts.largestLead, 1.0) << "picture and sound are not interleaved";

        std::vector<Picture> pictures = DecodePictures(path);
        ASSERT_EQ(pictures.size(), 20u);
        for (size_t i = 0; i < pictures.size(); ++i) {
            EXPECT_LE(Distance(pictures[i], colours[i / kFps]), 12) << "frame " << i;
        }
        Sound sound = DecodeSound(path);
        EXPECT_NEAR(Loudness(sound, 0.1, 1.9), 0.354, 0.05) << "the tone is in the sound throughout";
    }
}

// Music of 1 s, a tone in its first half and silence in its second; the span
// 0.5 s to 2.5 s is silence, tone, silence, tone, half a second each.
TEST(VideoFile, SoundIsTheSpanOfTheLoopingMusic)
{
    ScopedWorkDir dir;
    ASSERT_EQ(WriteTestMusic("loop.ogg", 1, 44100, [](double t) { return t < 0.5 ? Tone(t) : 0.0f; }), "");
    VideoSettings settings = ShortVideo("loop.mp4", "loop.ogg");
    settings.startSeconds = 0.5;
    settings.endSeconds = 2.5;
    WriteVideo(settings, {Rgb{0, 0, 0}, Rgb{0, 0, 0}}, 20);

    MediaFacts facts = ProbeMedia("loop.mp4");
    ASSERT_EQ(facts.error, "");
    EXPECT_EQ(facts.sound.sampleRate, 44100);
    EXPECT_NEAR(facts.sound.seconds, 2.0, 0.15) << "the looping ends the sound early or late";
    Sound sound = DecodeSound("loop.mp4");
    EXPECT_NEAR(sound.left.size() / 44100.0, 2.0, 0.15);
    for (double quiet : {0.0, 1.0}) {
        EXPECT_LT(Loudness(sound, quiet + 0.1, quiet + 0.4), 0.02) << "silence at " << quiet << " s";
    }
    for (double loud : {0.5, 1.5}) {
        EXPECT_NEAR(Loudness(sound, loud + 0.1, loud + 0.4), 0.354, 0.05) << "tone at " << loud << " s";
    }
}

// A video destroyed without Finish is closed as far as it was written, its
// sound ending with its picture.
TEST(VideoFile, UnfinishedVideoIsClosedWhereItStopped)
{
    ScopedWorkDir dir;
    ASSERT_EQ(WriteTestMusic("music.ogg", 1, 44100, Tone), "");
    for (std::string path : {"partial.mp4", "partial.mkv"}) {
        SCOPED_TRACE(path);
        std::string error;
        auto sink = OpenVideo(ShortVideo(path, "music.ogg"), &error);
        ASSERT_TRUE(sink) << error;
        std::vector<uint8_t> frame = SolidFrame(Rgb{90, 90, 90});
        for (int i = 0; i < 5; ++i) {
            ASSERT_TRUE(sink->Write(frame.data(), &error)) << error;
        }
        sink.reset();

        MediaFacts facts = ProbeMedia(path);
        ASSERT_EQ(facts.error, "");
        EXPECT_EQ(facts.video.packets, 5);
        EXPECT_NEAR(facts.sound.seconds, 0.5, 0.1);
    }
}

// Writing to a full disk fails with the system's reason, at a Write or at
// Finish, and never hangs.
TEST(VideoFile, FullDiskIsReported)
{
    ScopedWorkDir dir;
    std::filesystem::create_symlink("/dev/full", "full.mkv");
    std::string error;
    auto sink = OpenVideo(ShortVideo("full.mkv", ""), &error);
    ASSERT_TRUE(sink) << error;
    std::vector<uint8_t> frame = SolidFrame(Rgb{10, 200, 10});
    bool written = true;
    for (int i = 0; i < 20 && written; ++i) {
        written = sink->Write(frame.data(), &error);
    }
    if (written) {
        EXPECT_FALSE(sink->Finish(&error));
    }
    EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
}
