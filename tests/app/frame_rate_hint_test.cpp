#include "app/frame_rate_hint.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// Feeds frames of frameMs until the hint decides or `limit` frames passed;
// how many frames were fed when it said yes, or -1.
int FramesUntilHint(FrameRateHint& hint, double frameMs, int limit)
{
    for (int frame = 1; frame <= limit; ++frame) {
        if (hint.AddFrame(frameMs)) {
            return frame;
        }
    }
    return -1;
}

TEST(FrameRateHintTest, SpeaksOnceWhenTheFirstSecondsStaySlowAndSuggestsHalfTheSize)
{
    // 4 frames a second: the first frame is left out, then 12 frames of
    // 250 ms fill the three watched seconds.
    FrameRateHint slow;
    EXPECT_EQ(FramesUntilHint(slow, 250.0, 100), 13);
    EXPECT_NEAR(slow.FramesPerSecond(), 4.0, 1e-9);
    EXPECT_EQ(FramesUntilHint(slow, 250.0, 100), -1) << "said twice";

    // A slow start that then catches up is judged on the whole span.
    FrameRateHint catchesUp;
    catchesUp.AddFrame(5000.0);  // the start of the show, left out
    for (int i = 0; i < 5; ++i) {
        catchesUp.AddFrame(100.0);
    }
    EXPECT_EQ(FramesUntilHint(catchesUp, 10.0, 1000), -1);

    // Bad times are ignored; one long frame decides.
    FrameRateHint hint;
    EXPECT_FALSE(hint.AddFrame(1.0) || hint.AddFrame(-5.0) || hint.AddFrame(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_TRUE(hint.AddFrame(4000.0));

    const std::string text = FrameRateHint::Text(3.26, 1920, 1080);
    EXPECT_NE(text.find("3.3 frames a second"), std::string::npos) << text;
    EXPECT_NE(text.find("--size 960x540"), std::string::npos) << text;
}

}  // namespace
