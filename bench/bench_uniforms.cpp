// Cost of setting one frame's worth of shader constants: what the deferred
// frame hands its shaders for 40 instances and 3 lights with shadows (the
// scene of bench_frame), without drawing anything. Run by hand with
//   SDL_VIDEODRIVER=offscreen ./bench_uniforms

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>

#include "render/gl/gl_objects.h"
#include "render/gl/gl_shader_set.h"

namespace {

constexpr int kInstances = 40;
constexpr int kLights = 3;
constexpr int kCubeFaces = 6;

struct Context {
    SDL_Window* window = nullptr;
    SDL_GLContext gl = nullptr;
    ShaderSet shaders;
    GlTexture texture;
    bool ready = false;
};

Context& TheContext()
{
    static Context context;
    if (context.ready) {
        return context;
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        std::exit(1);
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    context.window = SDL_CreateWindow("uniforms", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    context.gl = context.window ? SDL_GL_CreateContext(context.window) : nullptr;
    if (!context.gl || chdir(DEMO_SHADER_DIR) != 0 || context.shaders.Compile() != 0) {
        std::fprintf(stderr, "no GL context or shaders: %s\n", SDL_GetError());
        std::exit(1);
    }
    context.texture = NewTexture(GL_TEXTURE_2D);
    glTextureStorage2D(context.texture.get(), 1, GL_RGBA8, 1, 1);
    context.ready = true;
    return context;
}

Matrix4 SomeMatrix(float seed)
{
    Matrix4 m;
    MatrixTranslation(&m, seed, 2 * seed, 3 * seed);
    return m;
}

// The frame's constants for the scene, by name, in the frame's order.
void SetFrameByName(ShaderSet& shaders, GLuint texture)
{
    const Matrix4 m = SomeMatrix(1.0f);
    const float four[4 * 8] = {1, 2, 3, 4};
    ShaderProgram& mesh = shaders[kMeshShader];
    ShaderProgram& geometry = shaders[kGeometryShader];
    geometry.BindSampler("diffuseMap", texture);
    geometry.BindSampler("normalMap", texture);
    mesh.SetMatrix("Proj", m);
    for (int i = 0; i < kInstances; ++i) {
        mesh.SetMatrix("WorldView", m);
        mesh.SetMatrix("ModelMat", m);
        mesh.SetMatrix("NormalMat", m);
        geometry.BindSampler("normalMap", texture);
        geometry.BindSampler("diffuseMap", texture);
    }
    shaders[kMeshLinesShader].SetMatrix("WorldView", m);
    shaders[kMeshLinesShader].SetMatrix("Proj", m);
    ShaderProgram& simple = shaders[kMeshSimpleShader];
    simple.SetMatrix("Proj", m);
    for (int light = 0; light < kLights; ++light) {
        simple.SetVector("lightPosUT", 1, 2, 3, 1);
        for (int draw = 0; draw < kCubeFaces * kInstances; ++draw) {
            simple.SetMatrix("WorldView", m);
            simple.SetMatrix("ModelMat", m);
        }
    }
    ShaderProgram& lighting = shaders[kLightingShader];
    lighting.SetVector("camPos", 1, 2, 3, 0);
    lighting.SetMatrix("ViewInverse", m);
    lighting.SetVector("projectionTerms", 1, 2, 3, 4);
    lighting.BindSampler("normalPass", texture);
    lighting.BindSampler("depthPass", texture);
    lighting.SetFloat("lightCount", kLights);
    lighting.SetArray("lightPosUT", four, kLights, 4);
    lighting.SetArray("lightCol", four, kLights, 4);
    lighting.SetArray("lightCutoff", four, kLights, 1);
    for (int i = 0; i < kLights; ++i) {
        lighting.BindSampler("shadowMap", texture, i);
    }
    shaders[kOverlayShader].SetVec2("screenSize", 1920, 1080);
    ShaderProgram& deferred = shaders[kDeferredShader];
    deferred.SetFloat("resX", 1920);
    deferred.SetFloat("resY", 1080);
    deferred.BindSampler("diffusePass", texture);
    deferred.BindSampler("lightingPass", texture);
    deferred.BindSampler("specularPass", texture);
    shaders[kOverlayShader].SetVec2("screenSize", 1920, 1080);
    shaders[kOverlayShader].SetVec2("screenSize", 1920, 1080);
    shaders[kTextShader].SetVector("colour", 1, 1, 1, 1);
    shaders[kTextShader].BindSampler("atlas", texture);
}

void BM_FrameConstantsByName(benchmark::State& state)
{
    Context& context = TheContext();
    for (auto _ : state) {
        SetFrameByName(context.shaders, context.texture.get());
    }
    glFinish();
}
BENCHMARK(BM_FrameConstantsByName)->Unit(benchmark::kMicrosecond)->Repetitions(5);

}  // namespace

BENCHMARK_MAIN();
