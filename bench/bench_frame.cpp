// Cost of one frame of the GL renderer at 1920 x 1080 against a bare frame of
// the same size (clear, then present) and against the floor (the same scene
// drawn once, textured and unlit, into one 8-bit target with depth) through
// the same window and context. The closing lines give the median of each and
// the frame's ratio to the floor, the figure that compares across machines.
// Meant for SDL's offscreen driver on Mesa's software rasteriser:
//   SDL_VIDEODRIVER=offscreen ./bench_frame
//
// The scene: 40 spheres of 1,250 triangles each (50,000 in all) spread in
// front of the camera, each with its own 64 x 64 checker material, 3 lights
// with their shadow cube maps, and one line of text.

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "bench/bench_floor.h"
#include "core/log.h"
#include "platform/window.h"
#include "render/gl/renderer_gl.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kColumns = 8;
constexpr int kRows = 5;  // 40 objects
constexpr int kSlices = 25;
constexpr int kStacks = 25;  // 2 * 25 * 25 = 1,250 triangles a sphere
constexpr int kTextureSize = 64;
constexpr float kFrameMs = 16.6f;

struct Object {
    Vec3 position;
    Vec3 scale{0.7f, 0.7f, 0.7f};
    Vec3 rotation;
    uint8_t dirty = 0;
    RenderInstance instance;
};

struct Light {
    Vec3 position;
    Vec3 colour;
    Vec3 cutoff{20.0f, 0.0f, 0.0f};
    RenderLight record;
};

struct Scene {
    fs::path previousDir;
    fs::path workDir;
    Window window;
    std::unique_ptr<RendererGL> renderer;
    std::unique_ptr<Mesh> sphere;
    std::vector<std::unique_ptr<Material>> materials;
    std::vector<std::unique_ptr<Object>> objects;
    std::vector<std::unique_ptr<Light>> lights;
    char label[32] = "frame benchmark";
    TextInstance text{label, 0, 20, 20, 0xFFFFFFFFu};
    FloorFrame floor;
    bool ready = false;
};

// Milliseconds of each iteration of each benchmark, for the closing medians.
struct Timings {
    std::vector<double> frame;
    std::vector<double> clearAndPresent;
    std::vector<double> floor;
};
Timings theTimings;

double Median(std::vector<double> values)
{
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double MsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// A unit sphere as a triangle list, quads of (stack, slice) split in two.
std::unique_ptr<Mesh> MakeSphere()
{
    auto mesh = std::make_unique<Mesh>();
    mesh->AllocateArrays(kStacks * kSlices * 6);
    mesh->name = "sphere";
    uint32_t v = 0;
    auto vertex = [&](int stack, int slice) {
        const float theta = std::numbers::pi_v<float> * static_cast<float>(stack) / kStacks;
        const float phi = 2.0f * std::numbers::pi_v<float> * static_cast<float>(slice) / kSlices;
        const Vec3 normal{std::sin(theta) * std::cos(phi), std::cos(theta), std::sin(theta) * std::sin(phi)};
        const Vec3 tangent{-std::sin(phi), 0.0f, std::cos(phi)};
        const Vec3 binormal = Cross(normal, tangent);
        const Vec3* vectors[4] = {&normal, &normal, &tangent, &binormal};
        float* arrays[4] = {mesh->positions, mesh->normals, mesh->tangents, mesh->binormals};
        for (int k = 0; k < 4; ++k) {
            arrays[k][3 * v + 0] = vectors[k]->x;
            arrays[k][3 * v + 1] = vectors[k]->y;
            arrays[k][3 * v + 2] = vectors[k]->z;
        }
        mesh->texcoords[2 * v + 0] = static_cast<float>(slice) / kSlices;
        mesh->texcoords[2 * v + 1] = static_cast<float>(stack) / kStacks;
        ++v;
    };
    for (int stack = 0; stack < kStacks; ++stack) {
        for (int slice = 0; slice < kSlices; ++slice) {
            const int corners[6][2] = {{0, 0}, {0, 1}, {1, 1}, {0, 0}, {1, 1}, {1, 0}};
            for (const auto& corner : corners) {
                vertex(stack + corner[0], slice + corner[1]);
            }
        }
    }
    return mesh;
}

// A checker of 8-pixel squares in a colour of its own, with a flat normal map.
std::unique_ptr<Material> MakeMaterial(int index)
{
    auto material = std::make_unique<Material>();
    material->name = "checker" + std::to_string(index);
    material->width = material->height = kTextureSize;
    material->channels = 3;
    material->size = kTextureSize * kTextureSize * 3;
    material->diffuse = std::make_unique<uint8_t[]>(material->size);
    material->normalMap = std::make_unique<uint8_t[]>(material->size);
    const uint8_t tint[3] = {static_cast<uint8_t>(60 + index * 37 % 196), static_cast<uint8_t>(60 + index * 71 % 196),
                             static_cast<uint8_t>(60 + index * 113 % 196)};
    for (uint32_t i = 0; i < kTextureSize * kTextureSize; ++i) {
        const bool light = ((i % kTextureSize) / 8 + (i / kTextureSize) / 8) % 2 == 0;
        for (int c = 0; c < 3; ++c) {
            material->diffuse[3 * i + c] = light ? tint[c] : static_cast<uint8_t>(tint[c] / 3);
            material->normalMap[3 * i + c] = c == 2 ? 255 : 127;
        }
    }
    return material;
}

void AddObjects(Scene& scene)
{
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const int index = row * kColumns + column;
            scene.materials.push_back(MakeMaterial(index));
            scene.renderer->CreateMaterial(scene.materials.back().get());
            auto object = std::make_unique<Object>();
            object->position = Vec3{-7.0f + 2.0f * column, -3.2f + 1.6f * row, 7.0f + 1.5f * (index % 3)};
            object->rotation = Vec3{0.3f * index, 0.2f * index, 0.0f};
            object->instance = RenderInstance{scene.sphere.get(), &object->position, &object->scale,
                                              &object->rotation, &object->dirty, nullptr, nullptr,
                                              scene.materials.back()->name};
            scene.renderer->AddRenderInstance(&object->instance);
            scene.objects.push_back(std::move(object));
        }
    }
}

void AddLights(Scene& scene)
{
    const Vec3 places[3] = {{-4.0f, 2.4f, 5.0f}, {4.0f, -0.8f, 5.0f}, {0.0f, 0.8f, 12.0f}};
    const Vec3 colours[3] = {{1.0f, 0.9f, 0.8f}, {0.6f, 0.7f, 1.0f}, {0.8f, 1.0f, 0.6f}};
    for (int i = 0; i < 3; ++i) {
        auto light = std::make_unique<Light>();
        light->position = places[i];
        light->colour = colours[i];
        light->record = RenderLight{i, &light->position, &light->colour, &light->cutoff, nullptr};
        scene.renderer->AddLight(&light->record);
        scene.lights.push_back(std::move(light));
    }
}

// The floor's copy of the scene: the same mesh, transforms and textures.
bool StartFloor(Scene& scene)
{
    std::vector<FloorFrame::Object> objects;
    for (size_t i = 0; i < scene.objects.size(); ++i) {
        const Object& object = *scene.objects[i];
        FloorFrame::Object floorObject{{}, scene.materials[i].get()};
        MatrixWorldTransform(&floorObject.model, object.position, object.scale, object.rotation);
        objects.push_back(floorObject);
    }
    return scene.floor.Create(*scene.sphere, objects, kWidth, kHeight);
}

// The window, the renderer in a working directory holding the shaders, and
// the scene; ready is false when any of it failed.
void StartScene(Scene& scene)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    scene.previousDir = fs::current_path();
    scene.workDir = fs::temp_directory_path() / ("bench_frame." + std::to_string(getpid()));
    fs::create_directories(scene.workDir);
    fs::current_path(scene.workDir);
    for (const auto& entry : fs::directory_iterator(DEMO_SHADER_DIR)) {
        fs::copy_file(entry.path(), entry.path().filename(), fs::copy_options::overwrite_existing);
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return;
    }
    scene.window.width = kWidth;
    scene.window.height = kHeight;
    scene.window.handle = CreateHiddenGlWindow("bench", kWidth, kHeight);
    scene.renderer = std::make_unique<RendererGL>();
    if (!scene.window.handle || scene.renderer->Init(&scene.window) != 0) {
        return;
    }
    scene.sphere = MakeSphere();
    scene.renderer->CreateMesh(scene.sphere.get());
    AddObjects(scene);
    AddLights(scene);
    scene.renderer->AddTextInstance(&scene.text);
    scene.renderer->SetCameraPosition(Vec3{0, 0, 0});
    Matrix4 identity;
    scene.renderer->ApplyCameraRotation(MatrixIdentity(&identity));
    scene.renderer->SetCameraDirection(Vec3{0, 0, 1});
    scene.ready = StartFloor(scene);
}

void StopScene(Scene& scene)
{
    if (scene.renderer) {
        scene.renderer->RemoveTextInstance(&scene.text);
        for (auto& object : scene.objects) {
            scene.renderer->RemoveRenderInstance(&object->instance);
        }
        for (auto& light : scene.lights) {
            scene.renderer->ReleaseLight(&light->record);
        }
        scene.renderer->Shutdown();
        scene.renderer.reset();
    }
    scene.window.Destroy();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    fs::current_path(scene.previousDir);
    fs::remove_all(scene.workDir);
}

std::unique_ptr<Scene> theScene;

Scene& TheScene()
{
    if (!theScene) {
        theScene = std::make_unique<Scene>();
        StartScene(*theScene);
    }
    return *theScene;
}

// The offscreen driver's swap neither flushes nor waits, and the software
// rasteriser defers its work, so both benchmarks end each iteration with
// glFinish: a frame's work is done inside the iteration that asked for it.

bool Ready(const Scene& scene, benchmark::State& state)
{
    if (!scene.ready) {
        state.SkipWithError("renderer did not start");
    }
    return scene.ready;
}

// One whole frame; the counters are each pass's GPU milliseconds and the
// present's, averaged over the iterations. A pass whose timer query is not
// yet answered when the renderer polls it after the swap reads 0.
void BM_Frame(benchmark::State& state)
{
    Scene& scene = TheScene();
    if (!Ready(scene, state)) {
        return;
    }
    RendererGL& renderer = *scene.renderer;
    renderer.SetPassTiming(true);
    renderer.RenderFrame(kFrameMs);  // the first frame pays for shader and texture set-up
    std::array<double, RendererGL::kPassCount> passMs{};
    double presentMs = 0.0;
    for (auto _ : state) {
        renderer.RenderFrame(kFrameMs);
        glFinish();
        const auto last = renderer.LastPassMs();
        for (int pass = 0; pass < RendererGL::kPassCount; ++pass) {
            passMs[pass] += last[pass];
        }
        presentMs += renderer.LastPresentMs();
    }
    renderer.SetPassTiming(false);
    const char* names[RendererGL::kPassCount] = {"geometry_ms", "shadow_ms", "lighting_ms", "composition_ms",
                                                 "text_ms"};
    for (int pass = 0; pass < RendererGL::kPassCount; ++pass) {
        state.counters[names[pass]] = benchmark::Counter(passMs[pass], benchmark::Counter::kAvgIterations);
    }
    state.counters["present_ms"] = benchmark::Counter(presentMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Frame)->Unit(benchmark::kMillisecond)->Iterations(20);

// The least a frame of this size costs: clear the window's colour and depth,
// then present.
void BM_ClearAndPresent(benchmark::State& state)
{
    Scene& scene = TheScene();
    if (!Ready(scene, state)) {
        return;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, kWidth, kHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SDL_GL_SwapWindow(scene.window.handle.get());
        glFinish();
        theTimings.clearAndPresent.push_back(MsSince(start));
    }
}
BENCHMARK(BM_ClearAndPresent)->Unit(benchmark::kMillisecond)->Iterations(20);

void DrawFloor(Scene& scene)
{
    Matrix4 view;
    Matrix4 projection;
    MatrixIdentity(&view);
    MatrixPerspectiveFovLH(&projection, 1.2217305f, static_cast<float>(kWidth) / kHeight, 0.05f, 30.0f);
    scene.floor.Draw(view, projection);
    SDL_GL_SwapWindow(scene.window.handle.get());
    glFinish();
}


// A frame and the floor in turn, each timed: on a machine shared with other
// work, the load changes less between the two halves of one iteration than
// between two benchmarks. The closing ratio comes from these.
void BM_FrameThenFloor(benchmark::State& state)
{
    Scene& scene = TheScene();
    if (!Ready(scene, state)) {
        return;
    }
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        scene.renderer->RenderFrame(kFrameMs);
        glFinish();
        theTimings.frame.push_back(MsSince(start));
        start = std::chrono::steady_clock::now();
        DrawFloor(scene);
        theTimings.floor.push_back(MsSince(start));
    }
}
BENCHMARK(BM_FrameThenFloor)->Unit(benchmark::kMillisecond)->Iterations(30);

// The closing lines: medians of the frames and floors drawn in turn and of
// the bare frames, and the frame as a multiple of the floor.
void PrintSummary()
{
    const double frame = Median(theTimings.frame);
    const double floor = Median(theTimings.floor);
    std::printf("median ms: frame %.2f  clear-and-present %.2f  floor %.2f\n", frame,
                Median(theTimings.clearAndPresent), floor);
    if (frame > 0.0 && floor > 0.0) {
        std::printf("frame/floor: %.2f\n", frame / floor);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    SetLogSink(nullptr);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    PrintSummary();
    if (theScene) {
        StopScene(*theScene);
        theScene.reset();
    }
    benchmark::Shutdown();
    return 0;
}
