// Video files read back as a player would: streams, timing, pictures, the
// span of the looping music as sound, a video left unfinished; and the sound
// track against the music it comes from, sample for sample.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <numbers>
#include <sstream>
#include <vector>

#include "tests/support/test_support.h"
#include "tests/video/media_probe.h"
#include "video/frame_sink.h"
#include "video/sound_track.h"

namespace {

// Writes `seconds` of Ogg Vorbis music with FFmpeg's Vorbis encoder: a 440 Hz
// tone at half of full scale in its first half, silence in its second.
bool WriteMusic(const std::string& path, double seconds, int sampleRate)
{
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_VORBIS);
    AVCodecContext* encoder = avcodec_alloc_context3(codec);
    encoder->sample_fmt = AV_SAMPLE_FMT_FLTP;
    encoder->sample_rate = sampleRate;
    av_channel_layout_default(&encoder->ch_layout, 2);
    encoder->time_base = AVRational{1, sampleRate};
    encoder->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
    AVFormatContext* muxer = nullptr;
    bool ok = avformat_alloc_output_context2(&muxer, nullptr, "ogg", path.c_str()) >= 0;
    AVStream* stream = ok ? avformat_new_stream(muxer, nullptr) : nullptr;
    ok = stream && avcodec_open2(encoder, codec, nullptr) >= 0 &&
         avcodec_parameters_from_context(stream->codecpar, encoder) >= 0 &&
         avio_open(&muxer->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0 && avformat_write_header(muxer, nullptr) >= 0;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    const int64_t total = std::llround(seconds * sampleRate);
    // Past the last samples, a null frame drains the encoder.
    for (int64_t done = 0; ok && done < total + encoder->frame_size; done += encoder->frame_size) {
        av_frame_unref(frame);
        frame->format = AV_SAMPLE_FMT_FLTP;
        frame->nb_samples = static_cast<int>(std::min<int64_t>(encoder->frame_size, total - done));
        frame->pts = done;
        av_channel_layout_default(&frame->ch_layout, 2);
        ok = done >= total || av_frame_get_buffer(frame, 0) == 0;
        for (int i = 0; ok && i < frame->nb_samples; ++i) {
            const double tone = 0.5 * std::sin(2 * std::numbers::pi * 440 * (done + i) / sampleRate);
            const float value = done + i < total / 2 ? static_cast<float>(tone) : 0.0f;
            reinterpret_cast<float*>(frame->data[0])[i] = value;
            reinterpret_cast<float*>(frame->data[1])[i] = value;
        }
        ok = ok && avcodec_send_frame(encoder, done < total ? frame : nullptr) == 0;
        while (ok && avcodec_receive_packet(encoder, packet) == 0) {
            av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
            ok = av_interleaved_write_frame(muxer, packet) == 0;
        }
    }
    ok = ok && av_write_trailer(muxer) == 0;
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&encoder);
    if (muxer) {
        avio_closep(&muxer->pb);
    }
    avformat_free_context(muxer);
    return ok;
}

constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr uint8_t kColours[][3] = {{200, 40, 60}, {30, 160, 220}};  // one for each second

enum class End { kFinish, kStopEarly, kDrop };

// Writes `frames` frames at 10 fps covering the span 0.5 s to 2.5 s of the
// music; finishes the video, stops it early or drops it unfinished.
void WriteVideo(const std::string& path, int frames, End end = End::kFinish)
{
    std::string error;
    auto sink = OpenVideo({.path = path, .width = kWidth, .height = kHeight, .fps = 10, .musicFile = "music.ogg",
                           .startSeconds = 0.5, .endSeconds = 2.5}, &error);
    ASSERT_TRUE(sink) << error;
    for (int i = 0; i < frames; ++i) {
        std::vector<uint8_t> frame;
        for (int pixel = 0; pixel < kWidth * kHeight; ++pixel) {
            frame.insert(frame.end(), {kColours[i / 10][0], kColours[i / 10][1], kColours[i / 10][2], 255});
        }
        ASSERT_TRUE(sink->Write(frame.data(), &error)) << error;
    }
    std::string kept;
    EXPECT_TRUE(end != End::kFinish || sink->Finish(&error)) << error;
    EXPECT_TRUE(end != End::kStopEarly || sink->FinishPartial(&kept, &error)) << error;
}

// The files in the working directory, hidden ones included.
std::vector<std::string> Files()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The left channel of the span of music.ogg, read in pieces of changing size.
std::vector<float> ReadSpan(double start, double end)
{
    std::string error;
    auto track = SoundTrack::Open("music.ogg", start, end, &error);
    EXPECT_TRUE(track) << error;
    std::vector<float> left(track ? track->TotalSamples() : 0);
    std::vector<float> right(left.size());
    for (int64_t at = 0, size = 1; at < static_cast<int64_t>(left.size()); at += size, size = size * 3 % 4999 + 1) {
        size = std::min(size, track->RemainingSamples());
        EXPECT_TRUE(track->Read(&left[at], &right[at], static_cast<int>(size), &error)) << error;
    }
    return left;
}

// What ffprobe says of each stream of a file: key=value pairs, the video
// stream first; the packets counted.
std::vector<std::map<std::string, std::string>> ProbeStreams(const std::string& path)
{
    const std::string command = std::string(FFPROBE) +
                                " -v error -count_packets -show_entries stream=codec_type,codec_name,profile,"
                                "pix_fmt,r_frame_rate,nb_read_packets,sample_rate,width,height -of default=nw=1 '" +
                                path + "'";
    std::vector<std::map<std::string, std::string>> streams;
    FILE* probe = popen(command.c_str(), "r");
    char line[512];
    while (probe && std::fgets(line, sizeof line, probe)) {
        std::string text(line);
        text.erase(text.find_last_not_of("\r\n") + 1);
        const size_t equals = text.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        // Each stream's listing begins with its codec's name.
        if (text.compare(0, equals, "codec_name") == 0) {
            streams.emplace_back();
        }
        if (!streams.empty()) {
            streams.back()[text.substr(0, equals)] = text.substr(equals + 1);
        }
    }
    if (probe) {
        pclose(probe);
    }
    return streams;
}

// `frames` frames of a colour ramp at NTSC's 30000/1001 with the music.
void WriteFormat(const std::string& path, const std::string& codec, int width, int height, int frames)
{
    std::string error;
    auto sink = OpenVideo({.path = path, .width = width, .height = height, .fps = FrameRate(30000, 1001),
                           .codec = codec, .musicFile = "music.ogg", .startSeconds = 0, .endSeconds = frames / 29.97},
                          &error);
    ASSERT_TRUE(sink) << path << " " << codec << ": " << error;
    std::vector<uint8_t> frame(static_cast<size_t>(width) * height * 4);
    for (int i = 0; i < frames; ++i) {
        for (size_t at = 0; at < frame.size(); ++at) {
            frame[at] = static_cast<uint8_t>(at * 7 + i * 31);
        }
        ASSERT_TRUE(sink->Write(frame.data(), &error)) << error;
    }
    ASSERT_TRUE(sink->Finish(&error)) << path << " " << codec << ": " << error;
}

}  // namespace

// Every container with every codec it takes, read by ffprobe: the codec, its
// profile, pixel format and rate, the exact frame count and the sound's codec.
TEST(VideoFile, EveryFormatIsWrittenWithItsCodecProfilePixelsRateAndSound)
{
    ScopedWorkDir dir;
    ASSERT_TRUE(WriteMusic("music.ogg", 1, 44100));
    struct Row {
        std::string path, codec, codecName, profile, pixels, sound;
    };
    const Row rows[] = {
        {"a.mp4", "", "h264", "High", "yuv420p", "aac"},
        {"b.mp4", "h265", "hevc", "Main", "yuv420p", "aac"},
        {"c.mkv", "h264", "h264", "High", "yuv420p", "aac"},
        {"d.mkv", "h265", "hevc", "Main", "yuv420p", "aac"},
        {"e.mkv", "ffv1", "ffv1", "", "bgr0", "flac"},
        {"f.mov", "", "prores", "HQ", "yuv422p10le", "pcm_s16le"},
        {"g.webm", "vp9", "vp9", "Profile 0", "yuv420p", "opus"},
        {"h.webm", "av1", "av1", "Main", "yuv420p", "opus"},
    };
    std::string error;
    EXPECT_FALSE(OpenVideo({.path = "small.webm", .width = 64, .height = 36, .codec = "av1", .musicFile = "",
                            .startSeconds = 0, .endSeconds = 1}, &error));
    EXPECT_NE(error.find("AV1 frames must be at least 64 pixels"), std::string::npos) << error;
    for (const Row& row : rows) {
        WriteFormat(row.path, row.codec, 64, 64, 7);
        const auto streams = ProbeStreams(row.path);
        ASSERT_EQ(streams.size(), 2u) << row.path;
        std::map<std::string, std::string> video = streams[0];
        std::map<std::string, std::string> sound = streams[1];
        EXPECT_EQ(video["codec_name"], row.codecName) << row.path;
        if (!row.profile.empty()) {
            EXPECT_EQ(video["profile"], row.profile) << row.path;
        }
        EXPECT_EQ(video["pix_fmt"], row.pixels) << row.path;
        EXPECT_EQ(video["r_frame_rate"], "30000/1001") << row.path;
        EXPECT_EQ(video["nb_read_packets"], "7") << row.path;
        EXPECT_EQ(sound["codec_name"], row.sound) << row.path;
        EXPECT_EQ(sound["sample_rate"], row.sound == "opus" ? "48000" : "44100") << row.path;
    }

    // The largest picture, 8K, in a 4:2:0 format.
    WriteFormat("8k.mp4", "", 7680, 4320, 1);
    const auto streams = ProbeStreams("8k.mp4");
    ASSERT_FALSE(streams.empty());
    EXPECT_EQ(streams[0].at("width") + "x" + streams[0].at("height"), "7680x4320");
    EXPECT_EQ(streams[0].at("nb_read_packets"), "1");
}

// Music of 1 s, tone then silence, so the span 0.5 s to 2.5 s is silence,
// tone, silence, tone, half a second each. An MP4 file, whose index is written
// last; the other sink tests write MKV files.
TEST(VideoFile, VideoHasItsPicturesAndTheSpanOfTheLoopingMusic)
{
    ScopedWorkDir dir;
    ASSERT_TRUE(WriteMusic("music.ogg", 1, 44100));
    WriteVideo("show.mp4", 20);
    MediaFacts facts = ProbeMedia("show.mp4");
    ASSERT_EQ(facts.error, "");
    // Size, rate and frame count are checked end to end.
    EXPECT_EQ(facts.video.colourSpace, AVCOL_SPC_BT709);
    EXPECT_NEAR(facts.sound.seconds, 2.0, 0.15) << "the looping ends the sound early or late";

    std::vector<std::vector<uint8_t>> pictures = DecodePictures("show.mp4");
    ASSERT_EQ(pictures.size(), 20u);
    for (size_t i = 0; i < pictures.size(); ++i) {
        for (size_t at = 0; at < pictures[i].size(); ++at) {
            ASSERT_NEAR(pictures[i][at], kColours[i / 10][at % 3], 12) << "frame " << i << ", byte " << at;
        }
    }
    Sound sound = DecodeSound("show.mp4");
    EXPECT_EQ(sound.rate, 44100);
    for (double at : {0.0, 0.5, 1.0, 1.5}) {
        const bool tone = at == 0.5 || at == 1.5;
        EXPECT_NEAR(Loudness(sound, at + 0.1, at + 0.4), tone ? 0.354 : 0, tone ? 0.05 : 0.02) << at << " s";
    }

    // Stopped after half a second: finished where it stopped, under a name
    // that says so, the sound as long as the picture (the packets' span holds
    // the encoder's priming frame of 1024 samples too).
    WriteVideo("part.mp4", 5, End::kStopEarly);
    facts = ProbeMedia("part.partial.mp4");
    ASSERT_EQ(facts.error, "");
    EXPECT_EQ(facts.video.packets, 5);
    EXPECT_NEAR(facts.sound.seconds - 1024.0 / 44100, facts.video.seconds, 0.001);
    // Dropped unfinished, or stopped before its first frame: nothing is left
    // under any name, not even a hidden one.
    WriteVideo("dropped.mp4", 5, End::kDrop);
    WriteVideo("none.mp4", 0, End::kStopEarly);
    EXPECT_EQ(Files(), (std::vector<std::string>{"music.ogg", "part.partial.mp4", "show.mp4"}));
}

// Music of a quarter second at 32 kHz, resampled to 48 kHz.
TEST(SoundTrack, SpanRepeatsTheMusicSampleForSample)
{
    ScopedWorkDir dir;
    ASSERT_TRUE(WriteMusic("music.ogg", 0.25, 32000));
    // One pass of the music: what each pass of the span must repeat.
    std::vector<float> once = ReadSpan(0, 0.25);
    ASSERT_EQ(once.size(), 12000u);
    // A FIFO in the music's place is refused before it is opened.
    MakeFifo("pipe.ogg");
    RunWithoutBlockingOn("pipe.ogg", [] {
        std::string error;
        EXPECT_FALSE(SoundTrack::Open("pipe.ogg", 0, 1, &error));
        EXPECT_EQ(error, "the music 'pipe.ogg' is not a regular file");
    });

    // Eight passes, starting 0.3 s in: each sample is the music's sample at
    // the same place in its pass.
    std::vector<float> span = ReadSpan(0.3, 2.3);
    ASSERT_EQ(span.size(), 96000u);
    for (size_t i = 0; i < span.size(); ++i) {
        ASSERT_NEAR(span[i], once[(i + 14400) % once.size()], 1e-6f) << "sample " << i;
    }
}
