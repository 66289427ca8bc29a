// Loading large scene descriptions into the registry: the cases whose cost
// once grew with the square of the entry count. Each builds a scene of N
// entries of one kind, loads it from memory through the scene loader with a
// renderer that draws nothing, and clears the registry again inside the
// timed loop. A load that stays near linear keeps the time per entry flat as
// N grows.

#include <benchmark/benchmark.h>

#include <string>

#include "render/null_renderer.h"
#include "render/render_interface.h"
#include "scene/scene_loader.h"
#include "world/world.h"

namespace {

std::string Scene(const std::string& sections)
{
    return "<?xml version=\"1.0\"?>\n<base>\n<scene>\n" + sections + "</scene>\n</base>\n";
}

// Triggers in falling time order: each one is due before every earlier one.
std::string FallingTriggers(int count)
{
    std::string xml = "<eventtrigger>\n";
    for (int i = 0; i < count; ++i) {
        xml += "<tick eventTime=\"" + std::to_string(count - i) + ".5\" />\n";
    }
    return Scene(xml + "</eventtrigger>\n");
}

// Actors that each subscribe to several events.
std::string Cameras(int count)
{
    std::string xml = "<actors>\n";
    for (int i = 0; i < count; ++i) {
        xml += "<cam" + std::to_string(i) + " classname=\"Camera\" />\n";
    }
    return Scene(xml + "</actors>\n");
}

// One light each automation animates, found by name among all the lights.
std::string LightAutomations(int count)
{
    std::string lights = "<lights>\n";
    std::string automations = "<automations>\n";
    for (int i = 0; i < count; ++i) {
        const std::string name = "lamp" + std::to_string(i);
        lights += "<" + name + "> <Position x=\"1\" y=\"2\" z=\"3\" /> </" + name + ">\n";
        automations += "<" + name + "::Color> <key t=\"0\" x=\"1\" y=\"0\" z=\"0\" /> </" + name +
                       "::Color>\n";
    }
    return Scene(lights + "</lights>\n" + automations + "</automations>\n");
}

void LoadAndClear(benchmark::State& state, const std::string& xml)
{
    static NullRenderer renderer;
    SetRenderer(&renderer);
    for (auto _ : state) {
        LoadSceneText(xml.data(), xml.size(), "bench.xml");
        TheWorld().Clear();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(xml.size()));
}

void BM_LoadFallingTriggers(benchmark::State& state)
{
    LoadAndClear(state, FallingTriggers(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_LoadFallingTriggers)->Arg(10000)->Arg(40000)->Arg(80000)->Unit(benchmark::kMillisecond);

void BM_LoadSubscribingActors(benchmark::State& state)
{
    LoadAndClear(state, Cameras(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_LoadSubscribingActors)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);

void BM_LoadLightAutomations(benchmark::State& state)
{
    LoadAndClear(state, LightAutomations(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_LoadLightAutomations)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);

}  // namespace
