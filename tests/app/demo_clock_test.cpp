#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <map>

#include "app/demo_clock.h"
#include "app/event_triggers.h"
#include "app/seek.h"
#include "scene/scene_loader.h"
#include "tests/scene/scene_files.h"
#include "tests/scene/scene_fixture.h"
#include "world/bass_bouncer.h"
#include "world/greeter.h"
#include "world/line_fx.h"
#include "world/random.h"

TEST(DemoClockTest, FixedStepsTakeTheTimeFromTheFrameNumberWithoutDriftAndRealTimeSumsTheFrames)
{
    DemoClock clock(60);
    ASSERT_TRUE(clock.FixedStep());
    float demoTime = 0.0f;
    for (int frame = 1; frame <= 60 * 600; ++frame) {
        EXPECT_DOUBLE_EQ(clock.BeginFrame(5.0), 1000.0 / 60.0);  // whatever the timer measured
        demoTime = clock.AdvanceShow(demoTime, clock.StepMs());
    }
    // Ten minutes in: exactly 600 s, where a float sum of the steps drifts.
    EXPECT_EQ(demoTime, 600.0f);
    EXPECT_EQ(clock.FrameAt(600.0), 36000);
    EXPECT_EQ(clock.TimeOfFrame(90), 1.5f);

    // Frame 0 is the show's first instant: no time has passed in it.
    clock.RestartAt(-1);
    EXPECT_EQ(clock.AdvanceShow(demoTime, clock.StepMs()), 0.0f);
    EXPECT_EQ(clock.AdvancedMs(), 0.0);
    clock.AdvanceShow(0.0f, clock.StepMs());
    EXPECT_DOUBLE_EQ(clock.AdvancedMs(), 1000.0 / 60.0);

    // A frame's time, read back (a float, often a little below the exact
    // time), gives that frame again, and so do times typed in seconds.
    for (const int fps : {10, 30, 60}) {
        const DemoClock steps(fps);
        for (int64_t frame = 0; frame < fps * 200; ++frame) {
            ASSERT_EQ(steps.FrameAt(steps.TimeOfFrame(frame)), frame) << fps;
            ASSERT_EQ(steps.FrameAt(double{steps.TimeOfFrame(frame)} + 5.0), frame + 5 * fps) << fps;
        }
    }
    EXPECT_EQ(DemoClock(30).FrameAt(0.7), 21);

    // NTSC's 30000/1001 steps exactly 1001/30000 s: three hours on, frame n
    // is still at n x 1001/30000 s, and every 30000th frame falls on a whole
    // 1001 s.
    DemoClock ntsc(FrameRate(30000, 1001));
    ASSERT_TRUE(ntsc.FixedStep());
    EXPECT_DOUBLE_EQ(ntsc.StepMs(), 1001.0 / 30.0);
    float ntscTime = 0.0f;
    const int64_t threeHours = 3 * 3600 * 30000 / 1001;
    for (int64_t frame = 1; frame <= threeHours; ++frame) {
        ntscTime = ntsc.AdvanceShow(ntscTime, ntsc.StepMs());
    }
    EXPECT_EQ(ntscTime, static_cast<float>(static_cast<double>(threeHours) * 1001.0 / 30000.0));
    EXPECT_EQ(ntsc.TimeOfFrame(30000 * 7), 7007.0f);
    EXPECT_EQ(FrameRate(30000, 1001).TimeOf(30000 * 7), 7007.0);
    EXPECT_EQ(FrameRate(30000, 1001).TimeOf(30000 * 7 + 15000), 7007.0 + 500.5);
    for (int64_t frame = 0; frame < 30 * 200; ++frame) {
        ASSERT_EQ(ntsc.FrameAt(ntsc.TimeOfFrame(frame)), frame);
    }

    // Without a frame rate the measured frames are summed.
    DemoClock realTime;
    EXPECT_FALSE(realTime.FixedStep());
    EXPECT_EQ(realTime.BeginFrame(37.5), 37.5);
    EXPECT_FLOAT_EQ(realTime.AdvanceShow(1.0f, 250.0), 1.25f);
    EXPECT_EQ(realTime.AdvancedMs(), 250.0);
}

namespace {

// Every actor that keeps time, with events between the frames of every
// frame rate tried: a shatter drawing random numbers every frame while two
// lamps flicker, a pause and a resume of the flicker, the credits.
constexpr char kTimedScene[] = R"(<base>
  <scene>
    <meshes> <shard /> </meshes>
    <materials> <stone /> </materials>
    <objects> <box> <Mesh name="shard" /> <Material name="stone" /> <Scale x="1" y="1" z="1" /> </box> </objects>
    <lights>
      <lamp1> <Color x="1" y="0.5" z="0.25" /> </lamp1>
      <lamp2> <Color x="0.2" y="0.4" z="1" /> </lamp2>
    </lights>
    <actors>
      <pulse classname="BassBouncer"> <child name="lamp2" /> <Scale x="1.5" y="0" z="0" /> </pulse>
      <flick classname="LightFlicker"> <child name="lamp1" /> <child name="lamp2" /> </flick>
      <shatter classname="ObjectPulsator"> <child name="box" /> </shatter>
      <credits classname="Greeter" />
      <curve classname="LineFX"> <Scale x="1" y="1" z="1" /> </curve>
    </actors>
    <eventtrigger>
      <destroy eventTime="0.3" />
      <pause eventTime="1.2345" target="flick" />
      <activate eventTime="1.4321" target="credits" />
      <pause eventTime="2.0101" target="flick" />
      <restore eventTime="4.567" />
      <exit eventTime="163.6364" />
    </eventtrigger>
  </scene>
</base>
)";

// What the picture shows of the timed actors at one moment.
struct Moment {
    Vec3 lamp1;
    Vec3 lamp2;
    std::string line;
    uint32_t textColour = 0;
    float pulse = 0.0f;
    Vec3 spin;   // of the bouncer's entity
    Vec3 curve;  // a point of the line effect
};

class ShowTimingTest : public SceneFixture {
protected:
    void SetUp() override
    {
        SceneFixture::SetUp();
        WriteFile("model/shard.obj", MeshFile(36));
        WriteFile("tex/stone.bmp", BitmapFile(1, 1, std::vector<uint8_t>(4, 90)));
        WriteFile("demofinal.xml", std::string(kTimedScene));
    }
    void TearDown() override
    {
        TheWorld().Clear();
        SceneFixture::TearDown();
    }

    // The show from its first frame to its exit at `fps`, as a render runs
    // it; `frame` sees the world after each frame at its demo time.
    void Play(int fps, const std::function<void(int64_t frame, double seconds)>& frame)
    {
        TheWorld().Clear();
        SeedRandom(1234);
        BassBouncer::SetPulseLevel(1.0f);
        show.demoTime = show.lastTriggerTime = 0.0f;
        {
            StdoutCapture quiet;
            ASSERT_EQ(LoadScene("demofinal.xml"), 0);
            show.musicStarted = true;
            Broadcast("play");
            DemoClock clock(fps);
            clock.RestartAt(-1);
            bool exited = false;
            for (int64_t n = 0; !exited; ++n) {
                exited = SeekShow(show, clock, n + 1);
                frame(n, static_cast<double>(n) / fps);
            }
        }
    }

    static Moment Now()
    {
        const auto* credits = dynamic_cast<const Greeter*>(FindActor("credits"));
        return Moment{FindLight("lamp1")->Color,
                      FindLight("lamp2")->Color,
                      credits->Active() ? credits->Text().text : "",
                      credits->Active() ? credits->Text().colour : 0u,
                      BassBouncer::PulseLevel(),
                      FindLight("lamp2")->Rotation,
                      dynamic_cast<const LineFX*>(FindActor("curve"))->Points()[1]};
    }
};

void ExpectSameMoment(const Moment& a, const Moment& b, const std::string& where)
{
    ExpectVec(a.lamp1, b.lamp1.x, b.lamp1.y, b.lamp1.z, 2e-3f);
    ExpectVec(a.lamp2, b.lamp2.x, b.lamp2.y, b.lamp2.z, 2e-3f);
    EXPECT_EQ(a.line, b.line) << where;
    EXPECT_NEAR(static_cast<int>(a.textColour & 0xFF), static_cast<int>(b.textColour & 0xFF), 1) << where;
    EXPECT_NEAR(a.pulse, b.pulse, 1e-4f) << where;
    ExpectVec(a.spin, b.spin.x, b.spin.y, b.spin.z, 0.01f);
    ExpectVec(a.curve, b.curve.x, b.curve.y, b.curve.z, 1e-3f);
}

}  // namespace

// A render at any frame rate shows the same thing at the same moment: the
// states of each flickering lamp, the line of the credits and its shade, the
// pulse level and the spin it drives, the line effect's curve. Compared
// every fifth of a second, which every rate here draws.
TEST_F(ShowTimingTest, TheTimedActorsShowTheSameAtEveryFrameRate)
{
    std::map<int, std::vector<Moment>> seen;
    for (const int fps : {60, 30, 15, 10}) {
        Play(fps, [&](int64_t frame, double) {
            if (frame % (fps / 5) == 0) {
                seen[fps].push_back(Now());
            }
        });
    }
    const std::vector<Moment>& reference = seen[60];
    ASSERT_EQ(reference.size(), 819u);  // 0 to 163.6 s, the exit frame included
    int lamp1Dark = 0;
    int lamp2Differs = 0;
    int credited = 0;
    for (size_t i = 0; i < reference.size(); ++i) {
        lamp1Dark += reference[i].lamp1.x < 0.5f;
        lamp2Differs += std::fabs(reference[i].lamp2.z - reference[i].lamp1.x) > 0.1f;
        credited += reference[i].textColour != 0;
        for (const int fps : {30, 15, 10}) {
            ASSERT_LT(i, seen[fps].size()) << fps;
            ExpectSameMoment(seen[fps][i], reference[i], std::to_string(fps) + " fps at " + std::to_string(i / 5.0));
            if (HasFailure()) {
                return;
            }
        }
    }
    // The lamps flicker, each its own way, and the credits run their 42 s.
    EXPECT_GT(lamp1Dark, 50);
    EXPECT_GT(lamp2Differs, 50);
    EXPECT_EQ(credited, 14 * 3 * 5);
}

// The bouncer's pulse level tells how long ago its last beat was (it falls
// 0.0005 a millisecond from 1.1 to 0.8): every beat is read back from the
// level of each frame and compared with the beat grid of the show, 1363.6364
// ms from its start.
TEST_F(ShowTimingTest, PulsesKeepToTheBeatGridThroughTheWholeShow)
{
    for (const int fps : {60, 10}) {
        double worstMs = 0.0;
        int beats = 0;
        float before = 1.0f;
        Play(fps, [&](int64_t, double seconds) {
            const float level = BassBouncer::PulseLevel();
            beats += level > before;
            before = level;
            if (beats > 0 && level > 0.8f) {
                const double beatMs = seconds * 1000.0 - (1.1 - level) / 0.0005;
                const double offMs = beatMs - std::round(beatMs / BassBouncer::kBeatMs) * BassBouncer::kBeatMs;
                worstMs = std::max(worstMs, std::fabs(offMs));
            }
        });
        std::cout << fps << " fps: " << beats << " beats, worst offset from the grid " << worstMs << " ms\n";
        EXPECT_EQ(beats, 120) << fps;
        EXPECT_LT(worstMs, 1000.0 / fps) << fps;
    }
}
