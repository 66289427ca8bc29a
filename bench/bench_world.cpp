// Per-frame cost of the world: automations, actor updates and timed events
// over a scene about the size of a real one, plus the two heaviest actors on
// their own. The renderer is a stub that accepts everything, so only the
// world's own work is measured.
//
// The scene: 100 placed objects on a small shared mesh, 10 lights, 20 actors
// (one line effect, one mesh shatterer busy exploding a 10,000-triangle mesh,
// bouncers, flickers, cameras and the credits), 100 automation tracks of
// 8 keys and 100 timed events over the first 600 s of the demo clock.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/event_triggers.h"
#include "core/process_state.h"
#include "render/null_renderer.h"
#include "render/render_records.h"
#include "world/actor_factory.h"
#include "world/line_fx.h"
#include "world/object_pulsator.h"
#include "world/world.h"

namespace {

constexpr float kFrameMs = 16.6f;
constexpr float kTimelineSeconds = 600.0f;
constexpr int kObjects = 100;
constexpr int kLights = 10;
constexpr int kAutomations = 100;
constexpr int kEventTriggers = 100;
constexpr uint32_t kRockVertices = 30000;

// The two actors measured on their own; everything else lives in the world.
struct Scene {
    LineFX* lineFx = nullptr;
    ObjectPulsator* pulsator = nullptr;
};

// A mesh of `vertices` vertices (a multiple of 3) on a deterministic
// spiral, with the other attributes set to plain constants.
Mesh* MakeMesh(const std::string& name, uint32_t vertices)
{
    auto* mesh = new Mesh;
    mesh->name = name;
    mesh->AllocateArrays(vertices);
    for (uint32_t v = 0; v < vertices; ++v) {
        const float a = static_cast<float>(v) * 0.01f;
        const float r = 1.0f + static_cast<float>(v % 7) * 0.1f;
        float* p = mesh->positions + 3 * v;
        p[0] = r * std::cos(a);
        p[1] = r * std::sin(a);
        p[2] = static_cast<float>(v % 101) * 0.02f;
        float* n = mesh->normals + 3 * v;
        n[0] = 0.0f, n[1] = 0.0f, n[2] = 1.0f;
        float* t = mesh->tangents + 3 * v;
        t[0] = 1.0f, t[1] = 0.0f, t[2] = 0.0f;
        float* b = mesh->binormals + 3 * v;
        b[0] = 0.0f, b[1] = 1.0f, b[2] = 0.0f;
        mesh->texcoords[2 * v] = p[0];
        mesh->texcoords[2 * v + 1] = p[1];
    }
    AddMesh(mesh);
    return mesh;
}

std::vector<entity_base*> MakeObjects(Mesh* mesh, Material* material)
{
    std::vector<entity_base*> objects;
    for (int i = 0; i < kObjects; ++i) {
        auto* object = new entity_base("object" + std::to_string(i));
        object->Position.Set(static_cast<float>(i % 10), 0.0f, static_cast<float>(i / 10));
        object->Scale.Set(1.0f, 1.0f, 1.0f);
        object->meshInstance = mesh;
        object->materialInstance = material;
        AddObject(object);
        objects.push_back(object);
    }
    return objects;
}

std::vector<Light*> MakeLights()
{
    std::vector<Light*> lights;
    for (int i = 0; i < kLights; ++i) {
        auto* light = new Light("light" + std::to_string(i));
        light->Position.Set(static_cast<float>(i), 5.0f, 0.0f);
        light->Color.Set(1.0f, 0.9f, 0.8f);
        light->Cutoff.Set(50.0f, 0.0f, 0.0f);
        AddLight(light);
        lights.push_back(light);
    }
    return lights;
}

Actor* MakeActor(const std::string& className, const std::string& name)
{
    return ActorFactory::Instance().CreateActor(className, name);
}

// 20 actors, all published. The shatterer takes over its own object on the
// large mesh and is left exploding.
Scene MakeActors(const std::vector<entity_base*>& objects, const std::vector<Light*>& lights)
{
    Scene scene;
    scene.lineFx = static_cast<LineFX*>(MakeActor("LineFX", "lines"));
    scene.lineFx->Scale.Set(1.0f, 1.0f, 1.0f);
    AddActor(scene.lineFx);

    auto* rock = new entity_base("rock_object");
    rock->Scale.Set(1.0f, 1.0f, 1.0f);
    rock->meshInstance = MakeMesh("rock", kRockVertices);
    AddObject(rock);
    scene.pulsator = static_cast<ObjectPulsator*>(MakeActor("ObjectPulsator", "shatter"));
    scene.pulsator->AddEntity(rock);
    AddActor(scene.pulsator);
    scene.pulsator->Trigger("play");
    scene.pulsator->Trigger("destroy");

    for (int i = 0; i < 10; ++i) {  // three objects each
        Actor* bouncer = MakeActor("BassBouncer", "bouncer" + std::to_string(i));
        bouncer->Scale.Set(1.0f, 1.0f, 1.0f);
        for (int k = 0; k < 3; ++k) {
            bouncer->AddEntity(objects[3 * i + k]);
        }
        AddActor(bouncer);
    }
    for (int i = 0; i < 5; ++i) {  // two lights each
        Actor* flicker = MakeActor("LightFlicker", "flicker" + std::to_string(i));
        flicker->AddEntity(lights[2 * i]);
        flicker->AddEntity(lights[2 * i + 1]);
        AddActor(flicker);
        flicker->Trigger("play");
    }
    for (int i = 0; i < 2; ++i) {
        AddActor(MakeActor("Camera", "camera" + std::to_string(i)));
    }
    Actor* greeter = MakeActor("Greeter", "credits");
    AddActor(greeter);
    greeter->Trigger("activate");
    return scene;
}

// One track per object, on Position, Rotation or Scale in turn, with 8 keys
// spread evenly over the timeline.
void MakeAutomations(const std::vector<entity_base*>& objects)
{
    static const char* const kParams[] = {"Position", "Rotation", "Scale"};
    for (int i = 0; i < kAutomations; ++i) {
        entity_base* target = objects[i % objects.size()];
        const char* param = kParams[i % 3];
        AddAutomation(target, param);
        Automation* track = FindAutomation(target, param);
        for (int k = 0; k < 8; ++k) {
            AutomationKey key;
            key.count = 3;
            key.time = kTimelineSeconds * static_cast<float>(k) / 7.0f;
            for (int c = 0; c < 3; ++c) {
                key.values[c] = 1.0f + 0.5f * std::sin(static_cast<float>(i + 3 * k + c));
            }
            track->AddKey(key);
        }
    }
}

// Broadcast events spread over the timeline. Nothing subscribes to "tick", so
// firing one costs the lookup and delivery but leaves the scene as it was.
void MakeEventTriggers()
{
    const float spacing = kTimelineSeconds / static_cast<float>(kEventTriggers);
    for (int i = 0; i < kEventTriggers; ++i) {
        AddEventTrigger("tick", spacing * (static_cast<float>(i) + 0.5f), nullptr);
    }
}

Scene BuildScene()
{
    SetRenderer(new NullRenderer);
    SetViewportSize(1920, 1080);
    auto* material = new Material;
    material->name = "stone";
    AppendMaterial(material);
    const std::vector<entity_base*> objects = MakeObjects(MakeMesh("cube", 36), material);
    const std::vector<Light*> lights = MakeLights();
    const Scene scene = MakeActors(objects, lights);
    MakeAutomations(objects);
    MakeEventTriggers();
    musicStarted = true;
    return scene;
}

// Built on first use and kept for the rest of the run, like the world itself.
const Scene& TheScene()
{
    static const Scene scene = BuildScene();
    return scene;
}

// One main-loop frame of world work. The clock wraps shortly before the end
// of the timeline so that tracks keep evaluating and events keep firing.
void BM_WorldFrame(benchmark::State& state)
{
    TheScene();
    demoTime = 0.0f;
    lastTriggerTime = 0.0f;
    for (auto _ : state) {
        demoTime += kFrameMs / 1000.0f;
        if (demoTime > kTimelineSeconds - 5.0f) {
            demoTime = 0.0f;
            lastTriggerTime = 0.0f;
        }
        frameDeltaMs = kFrameMs;
        EvaluateAutomations();
        UpdateActors();
        FireEventTriggers();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_WorldFrame)->Unit(benchmark::kMicrosecond);

void BM_LineFXUpdate(benchmark::State& state)
{
    LineFX* lines = TheScene().lineFx;
    for (auto _ : state) {
        lines->Update(kFrameMs);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LineFXUpdate)->Unit(benchmark::kMicrosecond);

void BM_PulsatorExplodeUpdate(benchmark::State& state)
{
    ObjectPulsator* pulsator = TheScene().pulsator;
    if (!pulsator->Exploding()) {
        state.SkipWithError("the pulsator is not exploding");
        return;
    }
    for (auto _ : state) {
        pulsator->Update(kFrameMs);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PulsatorExplodeUpdate)->Unit(benchmark::kMicrosecond);

}  // namespace
