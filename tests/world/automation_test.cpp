#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "world/automation.h"
#include "world/random.h"
#include "world/world.h"

namespace {

AutomationKey Key(float time, float x, float y = 0, float z = 0)
{
    AutomationKey key;
    key.time = time;
    key.values[0] = x;
    key.values[1] = y;
    key.values[2] = z;
    key.count = 3;
    return key;
}

float ValueAt(Automation& track, float time)
{
    track.time = time;
    return track.Evaluate().values[0];
}

}  // namespace

TEST(AutomationTest, CatmullRomPassesThroughItsKeysAndRepeatsTheEndPoint)
{
    EXPECT_FLOAT_EQ(CatmullRom(1, 2, 3, 4, 0), 2);
    EXPECT_FLOAT_EQ(CatmullRom(1, 2, 3, 4, 1), 3);

    Automation two;
    two.AddKey(Key(0, 0));
    two.AddKey(Key(2, 10));
    EXPECT_FLOAT_EQ(ValueAt(two, 1), 5);  // p0 = p1 = 0, p2 = p3 = 10, s = 0.5

    Automation three;
    three.AddKey(Key(0, 0));
    three.AddKey(Key(1, 10));
    three.AddKey(Key(2, 0));
    EXPECT_FLOAT_EQ(ValueAt(three, 0.5f), 5);      // first segment
    EXPECT_FLOAT_EQ(ValueAt(three, 1.5f), 5.625f);  // p0 = 0, p1 = 10, p2 = p3 = 0
    // Before the first key the first segment is extended backwards. With
    // p0 = p1 = 0 and p2 = p3 = 10 the three nested terms are 5, 15 and -10.
    EXPECT_FLOAT_EQ(ValueAt(three, -0.5f), -0.5f * (5 + -0.5f * (15 + -0.5f * -10)));
    // Past the last key the first segment is used (s = 2).
    EXPECT_FLOAT_EQ(ValueAt(three, 2.0f), 2 * (5 + 2 * (15 + 2 * -10)));
    EXPECT_FLOAT_EQ(three.current.values[0], -10);

    Automation one;
    one.AddKey(Key(5, 7, 8, 9));
    const AutomationKey only = one.Evaluate();
    EXPECT_EQ(only.values[2], 9);
    EXPECT_EQ(only.time, 5);
}

TEST(AutomationTest, KeysStaySortedWithEqualTimesInInsertionOrder)
{
    Automation track;
    track.AddKey(Key(2, 1));
    track.AddKey(Key(1, 2));
    track.AddKey(Key(3, 3));
    track.AddKey(Key(2, 4));
    std::vector<float> order;
    for (const AutomationKey& key : track.Keys()) {
        order.push_back(key.values[0]);
    }
    EXPECT_EQ(order, (std::vector<float>{2, 1, 4, 3}));
}

TEST(AutomationTest, TracksWriteUntilTheirLastKeyAndNeverWriteNonFiniteValues)
{
    World world;
    entity_base box("box");
    ASSERT_EQ(world.AddAutomation(&box, "Position"), 0);
    Automation* position = world.FindAutomation(&box, "Position");
    position->AddKey(Key(5, 1, 2, 3));  // one key: its value until time 5

    world.EvaluateAutomations(0);
    EXPECT_EQ(box.Position.y, 2);
    box.Position.Set(9, 9, 9);
    world.EvaluateAutomations(4.9f);
    EXPECT_EQ(box.Position.x, 1);
    box.Position.Set(9, 9, 9);
    world.EvaluateAutomations(5);  // reached the last key: no longer written
    EXPECT_EQ(box.Position.x, 9);

    // Two keys at one time, evaluated before them, would divide by zero:
    // the first key's value is taken.
    ASSERT_EQ(world.AddAutomation(&box, "Scale"), 0);
    Automation* scale = world.FindAutomation(&box, "Scale");
    scale->AddKey(Key(3, 4, 4, 4));
    scale->AddKey(Key(3, 8, 8, 8));
    world.EvaluateAutomations(1);
    EXPECT_EQ(box.Scale.x, 4);

    // A key value that is not a number never reaches the entity.
    ASSERT_EQ(world.AddAutomation(&box, "Rotation"), 0);
    Automation* rotation = world.FindAutomation(&box, "Rotation");
    rotation->AddKey(Key(0, std::numeric_limits<float>::quiet_NaN()));
    rotation->AddKey(Key(10, std::numeric_limits<float>::infinity()));
    box.Rotation.Set(0.5f, 0.5f, 0.5f);
    world.EvaluateAutomations(2);
    EXPECT_EQ(box.Rotation.x, 0.5f);
}

TEST(RandomTest, SequenceFromStartUpAndItsRange)
{
    SeedRandom(1234);
    EXPECT_NEAR(NextRandom(), -0.990342f, 1e-6f);
    EXPECT_NEAR(NextRandom(), -0.682370f, 1e-6f);
    EXPECT_NEAR(NextRandom(), -0.584303f, 1e-6f);
    for (int i = 0; i < 100000; ++i) {
        const float r = NextRandom();
        ASSERT_GE(r, -1.0f);
        ASSERT_LT(r, 1.0f);
    }
    SeedRandom(0);  // top 23 bits zero: exactly -1
    EXPECT_EQ(NextRandom(), -1.0f);
    SeedRandom(1234);
}
