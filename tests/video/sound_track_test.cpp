// The sound track against the music it comes from: the span's samples, the
// music repeating sample for sample, whatever the rate it is resampled to.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/support/test_support.h"
#include "tests/video/test_music.h"
#include "video/sound_track.h"

namespace {

// A tone in the first half of a quarter second, silence in the second.
float Burst(double t)
{
    return t < 0.125 ? Tone(t) : 0.0f;
}

// The left channel of the whole span, read in pieces of changing size.
std::vector<float> ReadSpan(const std::string& music, double start, double end, int* rate)
{
    std::string error;
    auto track = SoundTrack::Open(music, start, end, &error);
    EXPECT_TRUE(track) << error;
    if (!track) {
        return {};
    }
    *rate = track->SampleRate();
    std::vector<float> left;
    std::vector<float> piece(5000);
    std::vector<float> right(5000);
    for (int size = 1; track->RemainingSamples() > 0; size = size * 3 % 4999 + 1) {
        int count = static_cast<int>(std::min<int64_t>(size, track->RemainingSamples()));
        EXPECT_TRUE(track->Read(piece.data(), right.data(), count, &error)) << error;
        left.insert(left.end(), piece.begin(), piece.begin() + count);
    }
    EXPECT_FALSE(track->Read(piece.data(), right.data(), 1, &error));
    return left;
}

}  // namespace

TEST(SoundTrack, SpanRepeatsTheMusicSampleForSample)
{
    ScopedWorkDir dir;
    for (int musicRate : {44100, 32000}) {
        SCOPED_TRACE(musicRate);
        ASSERT_EQ(WriteTestMusic("burst.ogg", 0.25, musicRate, Burst), "");
        int rate = 0;
        // One pass: exactly the music, so its end is the silent half, not the
        // beginning of the next pass.
        std::vector<float> once = ReadSpan("burst.ogg", 0, 0.25, &rate);
        const size_t length = rate / 4;
        ASSERT_EQ(once.size(), length);
        EXPECT_EQ(rate, musicRate == 44100 ? 44100 : 48000);
        float tail = 0;
        for (size_t i = length - length / 10; i < length; ++i) {
            tail = std::max(tail, std::abs(once[i]));
        }
        EXPECT_LT(tail, 0.01f) << "the pass is shorter than the music";

        // Eight passes, starting 0.3 s in: each sample is the music's sample at
        // the same place in its pass.
        std::vector<float> span = ReadSpan("burst.ogg", 0.3, 2.3, &rate);
        ASSERT_EQ(span.size(), static_cast<size_t>(2 * rate));
        const size_t skip = static_cast<size_t>(std::llround(0.3 * rate));
        size_t mismatches = 0;
        for (size_t i = 0; i < span.size(); ++i) {
            mismatches += std::abs(span[i] - once[(i + skip) % length]) > 1e-6f;
        }
        EXPECT_EQ(mismatches, 0u);
    }
}
