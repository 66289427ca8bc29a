#include <gtest/gtest.h>

#include "core/process_state.h"
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
    void Trigger(std::string event) override { journal_.push_back(name + " got " + event); }

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
    Material material;
    material.name = "metal";
    entity_base crate("crate");
    crate.meshInstance = &mesh;
    crate.materialInstance = &material;
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
    EXPECT_EQ(instance.mesh, &mesh);
    EXPECT_EQ(instance.materialName, "metal");
    EXPECT_EQ(world.FindObject("crate"), &crate);
    EXPECT_EQ(world.FindObject("Crate"), nullptr);
    EXPECT_EQ((std::pair{world.RemoveObject(&crate), world.RemoveObject(&crate)}), std::pair(0, -1));
    EXPECT_TRUE(renderer.instances.empty());
    EXPECT_EQ(world.FindObject("crate"), nullptr);

    // Lights take sequential ids; a refused duplicate consumes none.
    Light first("first");
    Light second("second");
    EXPECT_EQ(std::vector<int>({world.AddLight(&first), world.AddLight(&first), world.AddLight(&second)}),
              std::vector<int>({0, -1, 0}));
    EXPECT_EQ(renderer.calls.back(), "AddLight 1");
    second.Position.Set(1, 2, 3);
    second.Color.Set(0.5f, 0.25f, 1);
    second.Cutoff.x = 7;
    const RenderLight& record = *renderer.lights.back();
    EXPECT_EQ(record.position->z + record.colour->y + record.cutoff->x, 3 + 0.25f + 7);
    EXPECT_EQ(world.FindLight("second"), &second);

    // Automations are one per entity and existing parameter.
    Light lamp("lamp");
    EXPECT_EQ(world.AddAutomation(&lamp, "Color"), 0);
    Automation* track = world.FindAutomation(&lamp, "Color");
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(world.AddAutomation(&lamp, "Color"), -1);
    EXPECT_EQ(world.FindAutomation(&lamp, "Color"), track);
    EXPECT_EQ(world.AddAutomation(&lamp, "color"), -1);  // names are exact
    EXPECT_EQ(world.FindAutomation(&lamp, "Position"), nullptr);
    entity_base other("lamp");  // same name, another entity
    EXPECT_EQ(world.AddAutomation(&other, "Color"), -1);
    EXPECT_EQ(world.AddAutomation(&other, "Position"), 0);
    EXPECT_EQ(world.AddAutomation(&lamp, "Cutoff"), 0);  // lights add colour and cutoff
    EXPECT_EQ(world.Automations().size(), 3u);
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
        EXPECT_EQ(FindActor("second"), &second);
        frameDeltaMs = 16.0f;
        UpdateActors();
        Broadcast("play");
        Broadcast("activate");  // not subscribed
        SendEvent("stop", &second);
        SendEvent("activate", &first);
        // Subscription order is publication order, after earlier subscribers.
        EXPECT_EQ(journal, (std::vector<std::string>{"first 16", "second 16", "camera got play", "first got play",
                                                     "second got play", "second got stop"}));
        EXPECT_EQ(early.received.size(), 2u);
    }
    // Destroyed actors leave the registry.
    journal.clear();
    Broadcast("play");
    UpdateActors();
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
    UpdateActors();
    EXPECT_TRUE(busy.found);
    Broadcast("play");
    EXPECT_EQ(busy.received, std::vector<std::string>{"restore"});
}
