// The registry filled by a loading thread while the main thread drives it,
// as during a scene load. Run under ThreadSanitizer in CI.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "tests/support/recording_renderer.h"
#include "world/world.h"

namespace {

class CountingActor : public EntitylessActor {
public:
    explicit CountingActor(std::string name) : EntitylessActor(std::move(name)) {}
    std::string GetClassName() override { return "Counting"; }
    void Update(float) override { ++updates; }
    void Trigger(std::string) override { ++events; }
    int updates = 0;  // main thread only
    int events = 0;
};

constexpr int kItems = 300;

}  // namespace

TEST(WorldThreadsTest, LoadingThreadAppendsWhileTheMainThreadWalks)
{
    // Renderer calls stay on the loading thread: the double has no locks.
    RecordingRenderer renderer;
    SetRenderer(&renderer);
    World& world = TheWorld();

    std::vector<Mesh> meshes(kItems);
    std::vector<std::unique_ptr<entity_base>> objects;
    std::vector<std::unique_ptr<CountingActor>> actors;
    for (int i = 0; i < kItems; ++i) {
        objects.push_back(std::make_unique<entity_base>("object" + std::to_string(i)));
    }

    std::atomic<bool> loaded{false};
    std::thread loader([&] {
        for (int i = 0; i < kItems; ++i) {
            world.AddMesh(&meshes[i]);
            objects[i]->meshInstance = &meshes[i];
            objects[i]->Position.Set(static_cast<float>(i), 0, 0);
            world.AddObject(objects[i].get());
            auto actor = std::make_unique<CountingActor>("actor" + std::to_string(i));
            world.AddActor(actor.get());
            actors.push_back(std::move(actor));
            world.AddAutomation(objects[i].get(), "Position");
            Automation* track = world.FindAutomation(objects[i].get(), "Position");
            for (int k = 0; k < 4; ++k) {
                // The main thread may be evaluating the track already.
                track->AddKey(AutomationKey{{static_cast<float>(i)}, 3, static_cast<float>(10 * k)});
            }
            world.AddEventTrigger("activate", static_cast<float>(kItems - i), nullptr);
        }
        loaded = true;
    });

    // The main loop's side: walk, look up, deliver, as every frame does.
    int frames = 0;
    float seen = 0;
    auto frame = [&] {
        world.EvaluateAutomations(static_cast<float>(frames % 30));
        world.UpdateActors(16.0f);
        for (const AutomationEntry& entry : world.Automations()) {
            seen += entry.param->value->x;
        }
        for (const EventTrigger& trigger : world.EventTriggers()) {
            seen += trigger.time;
        }
        if (entity_base* found = world.FindObject("object7")) {
            seen += found->Position.x;
        }
        world.Broadcast("pause");
        ++frames;
    };
    while (!loaded) {
        frame();
    }
    loader.join();
    frame();  // the first frame after the load sees everything

    ASSERT_EQ(std::vector<size_t>({world.MeshCount(), world.ObjectCount(), world.Actors().size(),
                                   world.Automations().size(), world.EventTriggers().size()}),
              std::vector<size_t>(5, kItems));
    EXPECT_EQ(world.EventTriggers().front().time, 1.0f);
    EXPECT_EQ(world.FindObject("object7")->Position.x, 7.0f);  // written by its track
    // Every actor is updated and hears events from the frame after its registration on.
    EXPECT_TRUE(actors.back()->updates >= 1 && actors.back()->events >= 1);
    EXPECT_GE(seen, 0.0f);

    // Take the records back from the renderer before it goes.
    for (auto& object : objects) {
        world.RemoveObject(object.get());
    }
    SetRenderer(nullptr);
}
