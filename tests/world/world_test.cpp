#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/recording_renderer.h"
#include "world/world.h"

namespace {

// Remembers the events it received.
class Listener : public Triggerable {
public:
    void Trigger(std::string event) override { received.push_back(event); }
    std::vector<std::string> received;
};

// An actor that records its updates and events, in a shared journal.
class JournalActor : public EntitylessActor {
public:
    JournalActor(std::string name, std::vector<std::string>& journal)
        : EntitylessActor(std::move(name)), journal_(journal)
    {
    }
    std::string GetClassName() override { return "Journal"; }
    void Update(float dtMs) override { journal_.push_back(name + " " + std::to_string(static_cast<int>(dtMs))); }
    void Trigger(std::string event) override
    {
        // A late event says how late; the lateness lasts only its delivery.
        const int lateMs = static_cast<int>(TheWorld().EventLatenessMs());
        journal_.push_back(name + " got " + event + (lateMs > 0 ? " " + std::to_string(lateMs) + " ms late" : ""));
    }

private:
    std::vector<std::string>& journal_;
};

class WorldTest : public testing::Test {
protected:
    void SetUp() override { SetRenderer(&renderer); }
    void TearDown() override { SetRenderer(nullptr); }

    RecordingRenderer renderer;
    World world;
};

}  // namespace

TEST_F(WorldTest, ObjectsAndLightsReachTheRendererBoundToTheirLiveValuesAndAutomationsAreOnePerParameter)
{
    Mesh mesh;
    entity_base crate("crate");
    crate.meshInstance = &mesh;
    EXPECT_EQ(std::vector<int>({world.AddObject(&crate), world.AddObject(&crate), world.AddObject(nullptr)}),
              std::vector<int>({0, -1, -1}));
    ASSERT_EQ(renderer.instances.size(), 1u);
    const RenderInstance& instance = *renderer.instances[0];
    crate.Position.Set(1, 2, 3);
    crate.Scale.Set(4, 5, 6);
    crate.Rotation.Set(7, 8, 9);
    crate.meshDirty = 1;
    EXPECT_EQ(instance.position->y + instance.scale->y * 10 + instance.rotation->y * 100, 2 + 50 + 800);
    EXPECT_EQ(*instance.vertexDataChanged, 1);
    EXPECT_EQ(world.FindObject("crate"), &crate);
    EXPECT_EQ((std::pair{world.RemoveObject(&crate), world.RemoveObject(&crate)}), std::pair(0, -1));
    EXPECT_TRUE(renderer.instances.empty());
    EXPECT_EQ(world.FindObject("crate"), nullptr);

    // Lights take sequential ids; a refused duplicate consumes none.
    Light first("first");
    Light second("second");
    EXPECT_EQ(std::vector<int>({world.AddLight(&first), world.AddLight(&first), world.AddLight(&second)}),
              std::vector<int>({0, -1, 0}));
    second.Color.Set(0.5f, 0.25f, 1);
    EXPECT_EQ(renderer.lights.back()->colour->y, 0.25f);

    // Automations are one per entity and existing parameter.
    Light lamp("lamp");
    EXPECT_EQ(world.AddAutomation(&lamp, "Color"), 0);
    Automation* track = world.FindAutomation(&lamp, "Color");
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(world.AddAutomation(&lamp, "Color"), -1);
    EXPECT_EQ(world.FindAutomation(&lamp, "Color"), track);
    entity_base other("lamp");  // same name, another entity: no colour
    EXPECT_EQ(world.AddAutomation(&other, "Color"), -1);
    EXPECT_EQ(world.AddAutomation(&other, "Position"), 0);
    EXPECT_EQ(world.Automations().size(), 2u);
}

TEST(WorldActorsTest, ActorsUpdateInOrderHearEventsOnceInOrderOnlyWhilePublishedAndMayUseTheRegistry)
{
    std::vector<std::string> journal;
    Listener early;
    // Subscribing twice adds nothing the second time.
    EXPECT_EQ(std::vector<int>({Subscribe(&early, "play"), Subscribe(&early, "play"), Subscribe(nullptr, "play")}),
              std::vector<int>({0, 0, -1}));
    {
        JournalActor first("first", journal);
        JournalActor second("second", journal);
        Broadcast("play");  // still being set up by the loader: not reached
        EXPECT_TRUE(journal.empty());
        JournalActor camera("camera", journal);  // never listed, published by hand
        PublishSubscriptions(&camera);
        EXPECT_EQ(std::vector<int>({AddActor(&first), AddActor(&second), AddActor(nullptr)}),
                  std::vector<int>({0, 0, -1}));
        TheWorld().UpdateActors(16.0f);
        Broadcast("play");
        Broadcast("activate");  // not subscribed
        SendEvent("stop", &second, 12.0f);
        SendEvent("activate", &first);
        Broadcast("play", 3.0f);
        // Subscription order is publication order, after earlier subscribers.
        EXPECT_EQ(journal, (std::vector<std::string>{"first 16", "second 16", "camera got play", "first got play",
                                                     "second got play", "second got stop 12 ms late",
                                                     "camera got play 3 ms late", "first got play 3 ms late",
                                                     "second got play 3 ms late"}));
        EXPECT_EQ(TheWorld().EventLatenessMs(), 0.0f);
        EXPECT_EQ(early.received.size(), 3u);
    }
    // Destroyed actors leave the registry.
    journal.clear();
    Broadcast("play");
    TheWorld().UpdateActors(16.0f);
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(FindActor("first"), nullptr);
    TheWorld().Forget(&early);

    // Actors may use the registry from Update and Trigger: one that
    // registers and looks things up while being driven.
    class Busy : public EntitylessActor {
    public:
        Busy() : EntitylessActor("busy") {}
        std::string GetClassName() override { return "Busy"; }
        void Update(float) override
        {
            found = FindActor("busy") == this;
            AddEventTrigger("later", 99, this);
        }
        void Trigger(std::string event) override
        {
            if (event == "play") {
                Subscribe(this, "restore");
                Broadcast("restore");
            } else {
                received.push_back(event);
            }
        }
        bool found = false;
        std::vector<std::string> received;
    } busy;
    AddActor(&busy);
    TheWorld().UpdateActors(16.0f);
    EXPECT_TRUE(busy.found);
    Broadcast("play");
    EXPECT_EQ(busy.received, std::vector<std::string>{"restore"});
}

TEST_F(WorldTest, TriggersAddedBetweenReadsKeepTimeOrderWithEqualTimesInTheOrderAdded)
{
    auto names = [&] {
        std::vector<std::string> out;
        for (const EventTrigger& trigger : world.EventTriggers()) {
            out.push_back(trigger.name);
        }
        return out;
    };
    world.AddEventTrigger("t3", 3.0f, nullptr);
    world.AddEventTrigger("t1", 1.0f, nullptr);
    world.AddEventTrigger("t2a", 2.0f, nullptr);
    EXPECT_EQ(names(), std::vector<std::string>({"t1", "t2a", "t3"}));
    world.AddEventTrigger("nan", std::nanf(""), nullptr);
    world.AddEventTrigger("t2b", 2.0f, nullptr);
    world.AddEventTrigger("t0", 0.0f, nullptr);
    world.AddEventTrigger("t3b", 3.0f, nullptr);
    std::vector<EventTrigger> due;
    world.DueEventTriggers(1.0f, 3.0f, due);
    ASSERT_EQ(due.size(), 4u);
    EXPECT_EQ(due[0].name + due[1].name + due[2].name + due[3].name, "t2at2bt3t3b");
    EXPECT_EQ(names(), std::vector<std::string>({"t0", "t1", "t2a", "t2b", "t3", "t3b", "nan"}));
}

TEST_F(WorldTest, ClearDestroysWhatTheRegistryListsAndHandsTheRecordsBack)
{
    World& registry = *new World;  // its contents are destroyed by Clear, not by the test
    auto* mesh = new Mesh;
    mesh->name = "rock";
    registry.AppendMesh(mesh);
    auto* material = new Material;
    material->name = "stone";
    registry.AppendMaterial(material);
    auto* crate = new entity_base("crate");
    registry.AddObject(crate);
    registry.AddLight(new Light("lamp"));
    std::vector<std::string> journal;
    auto* actor = new JournalActor("mover", journal);
    registry.AddActor(actor);
    registry.Subscribe(actor, "go");
    registry.AddAutomation(crate, "Position");
    registry.AddEventTrigger("go", 1.0f, nullptr);
    ASSERT_EQ(renderer.instances.size() + renderer.lights.size(), 2u);

    registry.Clear();
    EXPECT_EQ(renderer.instances.size() + renderer.lights.size(), 0u);
    EXPECT_EQ(registry.MeshCount() + registry.MaterialCount() + registry.ObjectCount() +
                  registry.LightCount() + registry.Actors().size() + registry.Automations().size() +
                  registry.EventTriggers().size(),
              0u);
    EXPECT_EQ(registry.FindMesh("rock"), nullptr);  // the name index goes too
    Listener listener;
    registry.Subscribe(&listener, "go");
    registry.Broadcast("go");
    EXPECT_EQ(listener.received, std::vector<std::string>({"go"}));
    delete &registry;
}
