#include <gtest/gtest.h>

#include <limits>

#include "app/event_triggers.h"
#include "tests/support/test_support.h"
#include "world/world.h"

namespace {

class Listener : public Triggerable {
public:
    void Trigger(std::string event) override { received.push_back(event); }
    std::vector<std::string> received;
};

ShowState show;
bool exitFired = false;

// Runs one frame's trigger step at the given demo time.
std::vector<std::string> FrameAt(float time)
{
    show.demoTime = time;
    StdoutCapture capture;
    exitFired = FireEventTriggers(show);
    return capture.Lines();
}

}  // namespace

TEST(EventTriggerTest, TriggersFireOnceInListOrderWhenTheClockReachesThem)
{
    Listener first;
    Listener second;
    Subscribe(&first, "flash");
    Subscribe(&second, "flash");
    Subscribe(&second, "fade");
    // Every trigger here is new to the world of this process.
    AddEventTrigger("flash", 5, nullptr);
    AddEventTrigger("fade", 2, &second);
    AddEventTrigger("flash", 5, &first);
    AddEventTrigger("fade", 0, nullptr);     // at or below the start: never fires
    AddEventTrigger("fade", 1.25f, &first);  // first did not subscribe to fade

    EXPECT_TRUE(FrameAt(10).empty());  // nothing before the music starts
    show.musicStarted = true;
    EXPECT_TRUE(FrameAt(1).empty());
    EXPECT_EQ(FrameAt(1.25f), std::vector<std::string>{"Triggering Event: fade 1.25"});
    EXPECT_TRUE(first.received.empty());
    // A jump past several times fires them all in one frame, in list order.
    EXPECT_EQ(FrameAt(7.5f), (std::vector<std::string>{"Triggering Event: fade 2",
                                                       "Triggering Event: flash 5",
                                                       "Triggering Event: flash 5"}));
    EXPECT_EQ(first.received, (std::vector<std::string>{"flash", "flash"}));
    EXPECT_EQ(second.received, (std::vector<std::string>{"fade", "flash"}));

    // Added later at or below the newest time fired: never fires.
    AddEventTrigger("flash", 4, nullptr);
    EXPECT_TRUE(FrameAt(9).empty());
    EXPECT_FALSE(exitFired);
    EXPECT_EQ(show.lastTriggerTime, 5.0f);

    // "exit" ends the demo, also with a target, and is still delivered.
    AddEventTrigger("exit", 12.125f, &first);
    EXPECT_EQ(FrameAt(12.5f), std::vector<std::string>{"Triggering Event: exit 12.125"});
    EXPECT_TRUE(exitFired);

    // A trigger time that is not a number never fires.
    AddEventTrigger("flash", std::numeric_limits<float>::quiet_NaN(), nullptr);
    AddEventTrigger("flash", 123456.789f, nullptr);
    EXPECT_EQ(FrameAt(200000), std::vector<std::string>{"Triggering Event: flash 123457"});
    EXPECT_TRUE(FrameAt(300000).empty());
    EXPECT_FALSE(exitFired);
    TheWorld().Forget(&first);
    TheWorld().Forget(&second);
}
