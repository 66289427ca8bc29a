// musicgen's soundtrack, decoded again with the Vorbis file library.

#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "tests/support/test_support.h"
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
    for (;;) {
        float** pcm = nullptr;
        int section = 0;
        const long count = ov_read_float(&file, &pcm, 4096, &section);
        if (count <= 0) {
            EXPECT_EQ(count, 0) << "decoding error";
            break;
        }
        song.left.insert(song.left.end(), pcm[0], pcm[0] + count);
        song.right.insert(song.right.end(), pcm[song.channels > 1 ? 1 : 0],
                          pcm[song.channels > 1 ? 1 : 0] + count);
    }
    ov_clear(&file);
    return song;
}

float Peak(const DecodedSong& song)
{
    float peak = 0.0f;
    for (size_t i = 0; i < song.left.size(); ++i) {
        peak = std::max({peak, std::fabs(song.left[i]), std::fabs(song.right[i])});
    }
    return peak;
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

// How much sound starts in each 5 ms frame: the rise of its energy over the
// frame before, after a first difference that favours the highs (drum
// attacks) over slow swells of the chords.
std::vector<double> OnsetStrength(const DecodedSong& song, size_t frameSamples)
{
    std::vector<double> energy;
    for (size_t first = 1; first + frameSamples <= song.left.size(); first += frameSamples) {
        double sum = 0.0;
        for (size_t i = first; i < first + frameSamples; ++i) {
            const double left = song.left[i] - song.left[i - 1];
            const double right = song.right[i] - song.right[i - 1];
            sum += left * left + right * right;
        }
        energy.push_back(sum);
    }
    std::vector<double> onsets(energy.size(), 0.0);
    for (size_t k = 1; k < energy.size(); ++k) {
        onsets[k] = std::max(0.0, energy[k] - energy[k - 1]);
    }
    return onsets;
}

// The lag, in seconds, in [low, high] at which the onsets repeat best.
double StrongestPeriod(const DecodedSong& song, double low, double high)
{
    const size_t frameSamples = static_cast<size_t>(song.rate / 200);  // 5 ms
    const std::vector<double> onsets = OnsetStrength(song, frameSamples);
    const double frameSeconds = static_cast<double>(frameSamples) / static_cast<double>(song.rate);
    double bestScore = -1.0;
    double bestLag = 0.0;
    for (auto lag = static_cast<size_t>(low / frameSeconds);
         lag <= static_cast<size_t>(high / frameSeconds); ++lag) {
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

std::string Musicgen()
{
    return MUSICGEN_PATH;
}

class MusicgenTest : public testing::Test {
protected:
    ScopedWorkDir dir;
};

}  // namespace

TEST_F(MusicgenTest, ShortRenderIsStereoAt44100HzAudibleAndBelowFullScale)
{
    const ToolRun run = RunTool(Musicgen(), {"--seconds", "4", "short.ogg"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const DecodedSong song = Decode("short.ogg");
    EXPECT_EQ(song.channels, 2);
    EXPECT_EQ(song.rate, 44100);
    EXPECT_NEAR(song.Seconds(), 4.0, 0.02);
    EXPECT_LT(Peak(song), 1.0f);
    ASSERT_GT(song.left.size(), 44100u);
    EXPECT_GT(RmsDecibels(song.left, 0, song.left.size()), -40.0);
    EXPECT_GT(RmsDecibels(song.right, 0, song.right.size()), -40.0);
    double difference = 0.0;
    for (size_t i = 0; i < song.left.size(); ++i) {
        difference += std::fabs(song.left[i] - song.right[i]);
    }
    EXPECT_GT(difference / static_cast<double>(song.left.size()), 1e-4)
        << "left and right are the same";
}

TEST_F(MusicgenTest, OpeningKeepsTheTempoOf176BeatsAMinute)
{
    // The opening bars are hats and chords: their accents repeat every beat,
    // and the pattern as a whole every bar.
    const ToolRun run = RunTool(Musicgen(), {"--seconds", "16", "opening.ogg"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    DecodedSong song = Decode("opening.ogg");
    ASSERT_NEAR(song.Seconds(), 16.0, 0.02);
    EXPECT_NEAR(StrongestPeriod(song, 1.1, 1.6), 4 * kBeatSeconds, 0.006);
    song.left.resize(10 * 44100);
    song.right.resize(10 * 44100);
    EXPECT_NEAR(StrongestPeriod(song, 0.25, 0.45), kBeatSeconds, 0.006);
}

TEST_F(MusicgenTest, WholeSongLastsTwoToThreeMinutesWithQuietAndLoudSections)
{
    const ToolRun run = RunTool(Musicgen(), {"13_3.ogg"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const DecodedSong song = Decode("13_3.ogg");
    EXPECT_EQ(song.channels, 2);
    EXPECT_EQ(song.rate, 44100);
    EXPECT_GE(song.Seconds(), 120.0);
    EXPECT_LE(song.Seconds(), 180.0);
    EXPECT_LT(Peak(song), 1.0f);
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
}

TEST_F(MusicgenTest, CommandLineMistakesAreRefused)
{
    const std::vector<std::vector<std::string>> mistakes = {
        {},
        {"a.ogg", "b.ogg"},
        {"--seconds", "0", "out.ogg"},
        {"--seconds", "-3", "out.ogg"},
        {"--seconds", "four", "out.ogg"},
        {"--seconds"},
        {"--tempo", "120", "out.ogg"},
    };
    for (const std::vector<std::string>& arguments : mistakes) {
        const ToolRun run = RunTool(Musicgen(), arguments);
        EXPECT_EQ(run.exitCode, 2) << testing::PrintToString(arguments);
        EXPECT_NE(run.err.find("musicgen: "), std::string::npos)
            << testing::PrintToString(arguments);
        EXPECT_FALSE(std::filesystem::exists("out.ogg"));
    }
    const ToolRun unwritable = RunTool(Musicgen(), {"--seconds", "1", "no/such/dir/out.ogg"});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_NE(unwritable.err.find("no/such/dir/out.ogg"), std::string::npos) << unwritable.err;
}
