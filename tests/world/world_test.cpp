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
class JournalActor : public Actor {
public:
    JournalActor(std::string name, std::vector<std::string>& journal)
        : Actor(std::move(name)), journal_(journal)
    {
    }
    int AddEntity(entity_base*) override { return 0; }
    int GetEntityCount() override { return 0; }
    entity_base* GetEntity(int) override { return nullptr; }
    std::string GetClassName() override { return "Journal"; }
    void Update(float dtMs) override
    {
        journal_.push_back(name + " " + std::to_string(static_cast<int>(dtMs)));
    }
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

TEST_F(WorldTest, ObjectsGetARenderInstanceBoundToTheirLiveVectors)
{
    Mesh mesh;
    mesh.name = "cube";
    Material material;
    material.name = "metal";
    renderer.CreateMesh(&mesh);
    renderer.calls.clear();

    entity_base crate("crate");
    crate.meshInstance = &mesh;
    crate.materialInstance = &material;
    EXPECT_EQ(world.AddObject(&crate), 0);
    const RenderInstance* instance = world.FindRenderInstance(&crate);
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(instance->mesh, &mesh);
    EXPECT_EQ(instance->position, &crate.Position);
    EXPECT_EQ(instance->scale, &crate.Scale);
    EXPECT_EQ(instance->rotation, &crate.Rotation);
    EXPECT_EQ(instance->vertexDataChanged, &crate.meshDirty);
    EXPECT_EQ(instance->materialName, "metal");
    EXPECT_EQ(renderer.instances, std::vector<RenderInstance*>{const_cast<RenderInstance*>(instance)});

    // A second registration is refused and reaches no renderer.
    EXPECT_EQ(world.AddObject(&crate), -1);
    EXPECT_EQ(world.AddObject(nullptr), -1);
    EXPECT_EQ(renderer.CountCalls("AddRenderInstance"), 1);
    EXPECT_EQ(world.FindObject("crate"), &crate);
    EXPECT_EQ(world.FindObject("Crate"), nullptr);

    EXPECT_EQ(world.RemoveObject(&crate), 0);
    EXPECT_TRUE(renderer.instances.empty());
    EXPECT_EQ(world.FindObject("crate"), nullptr);
    EXPECT_EQ(world.RemoveObject(&crate), -1);
    EXPECT_EQ(renderer.CountCalls("RemoveRenderInstance"), 1);
}

TEST_F(WorldTest, LightsTakeSequentialIdsAndDuplicatesConsumeNone)
{
    Light first("first");
    Light second("second");
    EXPECT_EQ(world.AddLight(&first), 0);
    EXPECT_EQ(world.AddLight(&first), -1);
    EXPECT_EQ(world.AddLight(nullptr), -1);
    EXPECT_EQ(world.AddLight(&second), 0);
    EXPECT_EQ(renderer.calls, (std::vector<std::string>{"AddLight 0", "AddLight 1"}));

    const RenderLight* record = world.FindRenderLight(&second);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->position, &second.Position);
    EXPECT_EQ(record->colour, &second.Color);
    EXPECT_EQ(record->cutoff, &second.Cutoff);
    EXPECT_EQ(record->shadowMap, nullptr);
    EXPECT_EQ(world.FindLight("second"), &second);
    EXPECT_EQ(world.FindLight("third"), nullptr);
}

TEST_F(WorldTest, MeshesAndMaterialsAreFoundFirstByName)
{
    Mesh a;
    a.name = "rock";
    Mesh b;
    b.name = "rock";
    EXPECT_EQ(world.AddMesh(&a), 0);
    world.AppendMesh(&b);
    EXPECT_EQ(world.AddMesh(nullptr), -1);
    EXPECT_EQ(world.FindMesh("rock"), &a);
    EXPECT_EQ(world.MeshCount(), 2u);
    EXPECT_EQ(renderer.calls, std::vector<std::string>{"CreateMesh rock"});

    SetRenderer(nullptr);  // nothing to create the mesh on: refused
    Mesh c;
    EXPECT_EQ(world.AddMesh(&c), -1);
    EXPECT_EQ(world.MeshCount(), 2u);

    Material m1;
    m1.name = "metal";
    Material m2;
    m2.name = "metal";
    world.AppendMaterial(&m1);
    world.AppendMaterial(&m2);
    EXPECT_EQ(world.FindMaterial("metal"), &m1);
    EXPECT_EQ(world.FindMaterial("wood"), nullptr);
}

TEST_F(WorldTest, EventTriggersStaySortedByTimeAndStable)
{
    Listener a;
    Listener b;
    world.AddEventTrigger("five-first", 5, &a);
    world.AddEventTrigger("two", 2, nullptr);
    world.AddEventTrigger("five-second", 5, &b);
    world.AddEventTrigger("one", 1, nullptr);
    std::vector<std::string> order;
    for (const EventTrigger& trigger : world.EventTriggers()) {
        order.push_back(trigger.name);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"one", "two", "five-first", "five-second"}));
    EXPECT_EQ(world.EventTriggers()[2].target, &a);
}

TEST_F(WorldTest, AutomationsAreOnePerTargetAndParameter)
{
    Light lamp("lamp");
    EXPECT_EQ(world.AddAutomation(&lamp, "Color"), 0);
    Automation* first = world.FindAutomation(&lamp, "Color");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(world.AddAutomation(&lamp, "Color"), -1);
    EXPECT_EQ(world.FindAutomation(&lamp, "Color"), first);
    EXPECT_EQ(world.AddAutomation(&lamp, "Colour"), -1);  // no such parameter
    EXPECT_EQ(world.AddAutomation(nullptr, "Color"), -1);
    EXPECT_EQ(world.FindAutomation(&lamp, "Position"), nullptr);

    entity_base other("lamp");  // same name, another entity
    EXPECT_EQ(world.AddAutomation(&other, "Color"), -1);
    EXPECT_EQ(world.AddAutomation(&other, "Position"), 0);
    const std::vector<AutomationEntry> entries = world.Automations();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].param->value, &lamp.Color);
    EXPECT_EQ(entries[1].target, &other);
    EXPECT_TRUE(entries[0].automation->Keys().empty());
}

TEST_F(WorldTest, EventsReachSubscribersInOrderOnce)
{
    Listener a;
    Listener b;
    EXPECT_EQ(world.Subscribe(&a, "activate"), 0);
    EXPECT_EQ(world.Subscribe(&b, "activate"), 0);
    EXPECT_EQ(world.Subscribe(&a, "activate"), 0);  // already there: not added again
    EXPECT_EQ(world.Subscribe(nullptr, "activate"), -1);
    world.Subscribe(&b, "destroy");

    world.Broadcast("activate");
    world.Broadcast("nobody");
    EXPECT_EQ(a.received, std::vector<std::string>{"activate"});
    EXPECT_EQ(b.received, std::vector<std::string>{"activate"});

    world.SendEvent("destroy", &a);  // a did not subscribe to destroy
    world.SendEvent("destroy", &b);
    EXPECT_EQ(a.received.size(), 1u);
    EXPECT_EQ(b.received, (std::vector<std::string>{"activate", "destroy"}));
}

TEST(WorldActorsTest, ActorsSubscribeToPlayPauseStopAndUpdateInOrder)
{
    std::vector<std::string> journal;
    JournalActor first("first", journal);
    JournalActor second("second", journal);
    World& world = TheWorld();
    EXPECT_EQ(world.AddActor(&first), 0);
    EXPECT_EQ(world.AddActor(&second), 0);
    EXPECT_EQ(world.AddActor(nullptr), -1);
    EXPECT_EQ(FindActor("second"), &second);

    frameDeltaMs = 16.0f;
    UpdateActors();
    world.Broadcast("pause");
    world.Broadcast("activate");  // not subscribed
    SendEvent("stop", &second);
    EXPECT_EQ(journal, (std::vector<std::string>{"first 16", "second 16", "first got pause",
                                                 "second got pause", "second got stop"}));
}

TEST(WorldActorsTest, ActorsMayUseTheRegistryFromUpdateAndTrigger)
{
    // An actor that registers and looks things up while being driven.
    class Busy : public Actor {
    public:
        Busy() : Actor("busy") {}
        int AddEntity(entity_base*) override { return 0; }
        int GetEntityCount() override { return 0; }
        entity_base* GetEntity(int) override { return nullptr; }
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

TEST(WorldActorsTest, EventsReachAnActorOnlyOnceItIsPublished)
{
    std::vector<std::string> journal;
    Listener early;
    Subscribe(&early, "play");
    {
        JournalActor building("building", journal);
        Broadcast("play");  // still being set up by the loader: not reached
        EXPECT_TRUE(journal.empty());
        JournalActor camera("camera", journal);  // never listed, published by hand
        PublishSubscriptions(&camera);
        AddActor(&building);
        Broadcast("play");
        // Subscription order is publication order, after earlier subscribers.
        EXPECT_EQ(journal, (std::vector<std::string>{"camera got play", "building got play"}));
        EXPECT_EQ(early.received.size(), 2u);
    }
    // Destroyed actors leave the registry.
    journal.clear();
    Broadcast("play");
    UpdateActors();
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(FindActor("building"), nullptr);
    TheWorld().Forget(&early);
}
