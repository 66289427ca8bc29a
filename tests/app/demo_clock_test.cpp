#include <gtest/gtest.h>

#include "app/demo_clock.h"

TEST(DemoClockTest, FixedStepsTakeTheTimeFromTheFrameNumberWithoutDriftAndRealTimeSumsTheFrames)
{
    DemoClock clock(60);
    ASSERT_TRUE(clock.FixedStep());
    float demoTime = 0.0f;
    for (int frame = 1; frame <= 60 * 600; ++frame) {
        EXPECT_DOUBLE_EQ(clock.BeginFrame(), 1000.0 / 60.0);
        demoTime = clock.AdvanceShow(demoTime, clock.StepMs());
    }
    // Ten minutes in: exactly 600 s, where a float sum of the steps drifts.
    EXPECT_EQ(demoTime, 600.0f);
    EXPECT_EQ(clock.FrameAt(600.0), 36000);
    EXPECT_EQ(clock.TimeOfFrame(90), 1.5f);

    // Without a frame rate the measured frames are summed.
    DemoClock realTime;
    EXPECT_FALSE(realTime.FixedStep());
    EXPECT_FLOAT_EQ(realTime.AdvanceShow(1.0f, 250.0), 1.25f);
}
