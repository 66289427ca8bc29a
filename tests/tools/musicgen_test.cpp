// musicgen's soundtrack, decoded again with the Vorbis file library.

#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>

#include "tests/tools/tool_process.h"

namespace {

struct DecodedSong {
    int channels = 0;
    long rate = 0;
    std::vector<float> left;
    std::vector<float> right;

    double Seconds() const { return static_cast<double>(left.size()) / static_cast<double>(rate); }
};

DecodedSong Decode(const std::string& path)
{
    DecodedSong song;
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0) {
        ADD_FAILURE() << path << " does not open as Ogg Vorbis";
        return song;
    }
    song.channels = ov_info(&file, -1)->channels;
    song.rate = ov_info(&file, -1)->rate;
    float** pcm = nullptr;
    int section = 0;
    long count = 0;
    while ((count = ov_read_float(&file, &pcm, 4096, &section)) > 0) {
        song.left.insert(song.left.end(), pcm[0], pcm[0] + count);
        song.right.insert(song.right.end(), pcm[song.channels - 1], pcm[song.channels - 1] + count);
    }
    EXPECT_EQ(count, 0) << "decoding error";
    ov_clear(&file);
    return song;
}

// Loudness (dB below full scale) of the stretch from `first` for `count` samples.
double RmsDecibels(const std::vector<float>& samples, size_t first, size_t count)
{
    double sum = 0.0;
    for (size_t i = first; i < first + count; ++i) {
        sum += double{samples[i]} * samples[i];
    }
    return 10.0 * std::log10(sum / static_cast<double>(count) + 1e-20);
}

}  // namespace

TEST(MusicgenTest, SongIsStereoBelowFullScaleAndAShortOneIsAudible)
{
    ScopedWorkDir dir;
    const ToolRun run = RunTool(MUSICGEN_PATH, {"13_3.ogg"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const DecodedSong song = Decode("13_3.ogg");
    EXPECT_EQ(std::pair(song.channels, song.rate), std::pair(2, 44100L));
    EXPECT_TRUE(song.Seconds() >= 120.0 && song.Seconds() <= 180.0) << song.Seconds();
    float peak = 0.0f;
    double difference = 0.0;
    for (size_t i = 0; i < song.left.size(); ++i) {
        peak = std::max({peak, std::fabs(song.left[i]), std::fabs(song.right[i])});
        difference += std::fabs(song.left[i] - song.right[i]);
    }
    EXPECT_LT(peak, 1.0f);
    EXPECT_GT(difference / static_cast<double>(song.left.size()), 1e-4) << "left and right are the same";

    // A short render lasts the seconds asked for and is audible.
    ASSERT_EQ(RunTool(MUSICGEN_PATH, {"--seconds", "4", "short.ogg"}).exitCode, 0);
    const DecodedSong shortSong = Decode("short.ogg");
    EXPECT_NEAR(shortSong.Seconds(), 4.0, 0.02);
    EXPECT_GT(RmsDecibels(shortSong.left, 0, shortSong.left.size()), -40.0);
}
