// musicgen's soundtrack, decoded again with the Vorbis file library.

#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "tests/tools/tool_process.h"

namespace {

constexpr double kBeatSeconds = 60.0 / 176.0;

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

// The lag, in seconds, in [low, high] at which sound onsets repeat best. An
// onset is the rise of a 5 ms frame's energy over the frame before, taken
// after a first difference that favours the highs (drum attacks) over slow
// swells of the chords.
double StrongestPeriod(const DecodedSong& song, double low, double high)
{
    const size_t frame = static_cast<size_t>(song.rate / 200);
    std::vector<double> onsets;
    double previous = 0.0;
    for (size_t first = 1; first + frame <= song.left.size(); first += frame) {
        double energy = 0.0;
        for (size_t i = first; i < first + frame; ++i) {
            energy += std::pow(song.left[i] - song.left[i - 1], 2) + std::pow(song.right[i] - song.right[i - 1], 2);
        }
        onsets.push_back(onsets.empty() ? 0.0 : std::max(0.0, energy - previous));
        previous = energy;
    }
    const double frameSeconds = static_cast<double>(frame) / static_cast<double>(song.rate);
    double bestScore = -1.0;
    double bestLag = 0.0;
    for (auto lag = static_cast<size_t>(low / frameSeconds); lag <= static_cast<size_t>(high / frameSeconds); ++lag) {
        double score = 0.0;
        for (size_t k = 0; k + lag < onsets.size(); ++k) {
            score += onsets[k] * onsets[k + lag];
        }
        if (score > bestScore) {
            bestScore = score;
            bestLag = static_cast<double>(lag) * frameSeconds;
        }
    }
    return bestLag;
}

}  // namespace

TEST(MusicgenTest, SongIsStereoBelowFullScaleWithContrastingSectionsAt176BeatsAMinuteAndAShortOneIsAudible)
{
    ScopedWorkDir dir;
    const ToolRun run = RunTool(MUSICGEN_PATH, {"13_3.ogg"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    DecodedSong song = Decode("13_3.ogg");
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
    // Eight-second stretches up to the last ten seconds (the fade).
    const size_t window = static_cast<size_t>(8 * song.rate);
    double quietest = 0.0;
    double loudest = -200.0;
    for (size_t first = 0; first + window + 10 * song.rate <= song.left.size(); first += window) {
        const double level = RmsDecibels(song.left, first, window);
        quietest = std::min(quietest, level);
        loudest = std::max(loudest, level);
    }
    EXPECT_GT(quietest, -45.0) << "a silent stretch inside the song";
    EXPECT_GT(loudest - quietest, 6.0) << "no contrast between sections";

    // The opening bars are hats and chords: their accents repeat every beat,
    // and the pattern as a whole every bar.
    for (const auto& [seconds, low, high, period] :
         {std::tuple{16, 1.1, 1.6, 4 * kBeatSeconds}, std::tuple{10, 0.25, 0.45, kBeatSeconds}}) {
        song.left.resize(seconds * 44100);
        song.right.resize(seconds * 44100);
        EXPECT_NEAR(StrongestPeriod(song, low, high), period, 0.006) << seconds;
    }

    // A short render lasts the seconds asked for and is audible.
    ASSERT_EQ(RunTool(MUSICGEN_PATH, {"--seconds", "4", "short.ogg"}).exitCode, 0);
    const DecodedSong shortSong = Decode("short.ogg");
    EXPECT_NEAR(shortSong.Seconds(), 4.0, 0.02);
    EXPECT_GT(RmsDecibels(shortSong.left, 0, shortSong.left.size()), -40.0);
    EXPECT_GT(RmsDecibels(shortSong.right, 0, shortSong.right.size()), -40.0);
}
