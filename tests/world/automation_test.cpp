#include <gtest/gtest.h>

#include <limits>

#include "world/automation.h"
#include "world/world.h"

namespace {

AutomationKey Key(float time, float x)
{
    return AutomationKey{{x, 2 * x, 3 * x}, 3, time};
}

// A track on the entity's parameter with the given keys, added in this order.
void Track(World& world, entity_base& entity, const char* param, const std::vector<AutomationKey>& keys)
{
    ASSERT_EQ(world.AddAutomation(&entity, param), 0);
    for (const AutomationKey& key : keys) {
        world.FindAutomation(&entity, param)->AddKey(key);
    }
}

}  // namespace

TEST(AutomationTest, TracksFollowTheirCurveUntilTheLastKeyAndWriteOnlyFiniteValues)
{
    World world;
    entity_base box("box");
    // Keys out of order are sorted by time; Catmull-Rom through them, with the
    // key before as first control point and the segment's end repeated.
    Track(world, box, "Position", {Key(2, 0), Key(0, 0), Key(1, 10)});
    const std::pair<float, float> expected[] = {{0, 0}, {0.5f, 5}, {1, 10}, {1.5f, 5.625f}};
    for (const auto& [time, x] : expected) {
        world.EvaluateAutomations(time);
        EXPECT_FLOAT_EQ(box.Position.x, x) << time;
        EXPECT_FLOAT_EQ(box.Position.z, 3 * x) << time;
    }
    // At the last key the track stops writing.
    box.Position.Set(9, 9, 9);
    world.EvaluateAutomations(2);
    EXPECT_EQ(box.Position.x, 9);

    // One key: its value until its time.
    Track(world, box, "Scale", {Key(5, 1)});
    world.EvaluateAutomations(4.9f);
    EXPECT_EQ(box.Scale.y, 2);
    // Two keys at one time, evaluated before them, would divide by zero: the
    // first added is taken.
    Track(world, box, "Rotation", {Key(3, 4), Key(3, 8)});
    world.EvaluateAutomations(1);
    EXPECT_EQ(box.Rotation.x, 4);
    // A key value that is not a number never reaches the entity.
    Light lamp("lamp");
    Track(world, lamp, "Color",
          {Key(0, std::numeric_limits<float>::quiet_NaN()), Key(10, std::numeric_limits<float>::infinity())});
    lamp.Color.Set(0.5f, 0.5f, 0.5f);
    world.EvaluateAutomations(2);
    EXPECT_EQ(lamp.Color.x, 0.5f);
}

// Keys added at once, in any order, end where adding them one by one puts
// them: sorted by time, equal times in the order given, after those of
// equal time already there.
TEST(AutomationTest, KeysAddedAtOnceAreOrderedAsIfAddedOneByOne)
{
    std::vector<AutomationKey> keys;
    for (int i = 0; i < 50; ++i) {
        keys.push_back(Key(static_cast<float>((i * 7) % 10), static_cast<float>(i)));  // ten distinct times, shuffled
    }
    Automation oneByOne;
    Automation atOnce;
    for (const AutomationKey& key : {Key(3, -1), Key(5, -2)}) {
        oneByOne.AddKey(key);
        atOnce.AddKey(key);
    }
    for (const AutomationKey& key : keys) {
        oneByOne.AddKey(key);
    }
    atOnce.AddKeys(keys);
    const auto order = [](const Automation& track) {
        std::vector<std::pair<float, float>> timesAndValues;
        for (const AutomationKey& key : track.Keys()) {
            timesAndValues.emplace_back(key.time, key.values[0]);
        }
        return timesAndValues;
    };
    ASSERT_EQ(order(atOnce).size(), 52u);
    EXPECT_EQ(order(atOnce), order(oneByOne));
}
