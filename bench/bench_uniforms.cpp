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

using Member = ConstantHandle FrameConstants::*;

// Every constant found by name just before it is set, as the frame once did.
struct ByName {
    ShaderSet& shaders;
    ConstantHandle operator()(ShaderSlot slot, const char* name, Member) const { return shaders[slot].Find(name); }
};

// Every constant from the handles found when the programs were built.
struct ByHandle {
    ShaderSet& shaders;
    ConstantHandle operator()(ShaderSlot slot, const char*, Member member) const
    {
        return shaders.Constants(slot).*member;
    }
};

// The frame's constants for the scene, in the frame's order.
template <class Constant>
void SetFrame(ShaderSet& shaders, GLuint texture, Constant c)
{
    using F = FrameConstants;
    const Matrix4 m = SomeMatrix(1.0f);
    const float four[4 * 8] = {1, 2, 3, 4};
    ShaderProgram& mesh = shaders[kMeshShader];
    ShaderProgram& geometry = shaders[kGeometryShader];
    geometry.BindSampler(c(kGeometryShader, "diffuseMap", &F::diffuseMap), texture);
    geometry.BindSampler(c(kGeometryShader, "normalMap", &F::normalMap), texture);
    mesh.SetMatrix(c(kMeshShader, "Proj", &F::proj), m);
    for (int i = 0; i < kInstances; ++i) {
        mesh.SetMatrix(c(kMeshShader, "WorldView", &F::worldView), m);
        mesh.SetMatrix(c(kMeshShader, "ModelMat", &F::modelMat), m);
        mesh.SetMatrix(c(kMeshShader, "NormalMat", &F::normalMat), m);
        geometry.BindSampler(c(kGeometryShader, "normalMap", &F::normalMap), texture);
        geometry.BindSampler(c(kGeometryShader, "diffuseMap", &F::diffuseMap), texture);
    }
    shaders[kMeshLinesShader].SetMatrix(c(kMeshLinesShader, "WorldView", &F::worldView), m);
    shaders[kMeshLinesShader].SetMatrix(c(kMeshLinesShader, "Proj", &F::proj), m);
    ShaderProgram& simple = shaders[kMeshSimpleShader];
    simple.SetMatrix(c(kMeshSimpleShader, "Proj", &F::proj), m);
    for (int light = 0; light < kLights; ++light) {
        simple.SetVector(c(kMeshSimpleShader, "lightPosUT", &F::lightPosUT), 1, 2, 3, 1);
        for (int draw = 0; draw < kCubeFaces * kInstances; ++draw) {
            simple.SetMatrix(c(kMeshSimpleShader, "WorldView", &F::worldView), m);
            simple.SetMatrix(c(kMeshSimpleShader, "ModelMat", &F::modelMat), m);
        }
    }
    ShaderProgram& lighting = shaders[kLightingShader];
    lighting.SetVector(c(kLightingShader, "camPos", &F::camPos), 1, 2, 3, 0);
    lighting.SetMatrix(c(kLightingShader, "ViewInverse", &F::viewInverse), m);
    lighting.SetVector(c(kLightingShader, "projectionTerms", &F::projectionTerms), 1, 2, 3, 4);
    lighting.BindSampler(c(kLightingShader, "normalPass", &F::normalPass), texture);
    lighting.BindSampler(c(kLightingShader, "depthPass", &F::depthPass), texture);
    lighting.SetFloat(c(kLightingShader, "lightCount", &F::lightCount), kLights);
    lighting.SetArray(c(kLightingShader, "lightPosUT", &F::lightPosUT), four, kLights, 4);
    lighting.SetArray(c(kLightingShader, "lightCol", &F::lightCol), four, kLights, 4);
    lighting.SetArray(c(kLightingShader, "lightCutoff", &F::lightCutoff), four, kLights, 1);
    for (int i = 0; i < kLights; ++i) {
        lighting.BindSampler(c(kLightingShader, "shadowMap", &F::shadowMap), texture, i);
    }
    ShaderProgram& overlay = shaders[kOverlayShader];
    overlay.SetVec2(c(kOverlayShader, "screenSize", &F::screenSize), 1920, 1080);
    ShaderProgram& deferred = shaders[kDeferredShader];
    deferred.SetFloat(c(kDeferredShader, "resX", &F::resX), 1920);
    deferred.SetFloat(c(kDeferredShader, "resY", &F::resY), 1080);
    deferred.BindSampler(c(kDeferredShader, "diffusePass", &F::diffusePass), texture);
    deferred.BindSampler(c(kDeferredShader, "lightingPass", &F::lightingPass), texture);
    deferred.BindSampler(c(kDeferredShader, "specularPass", &F::specularPass), texture);
    overlay.SetVec2(c(kOverlayShader, "screenSize", &F::screenSize), 1920, 1080);
    overlay.SetVec2(c(kOverlayShader, "screenSize", &F::screenSize), 1920, 1080);
    shaders[kTextShader].SetVector(c(kTextShader, "colour", &F::colour), 1, 1, 1, 1);
    shaders[kTextShader].BindSampler(c(kTextShader, "atlas", &F::atlas), texture);
}

void BM_FrameConstantsByName(benchmark::State& state)
{
    Context& context = TheContext();
    for (auto _ : state) {
        SetFrame(context.shaders, context.texture.get(), ByName{context.shaders});
    }
    glFinish();
}
BENCHMARK(BM_FrameConstantsByName)->Unit(benchmark::kMicrosecond)->Repetitions(5);

void BM_FrameConstantsByHandle(benchmark::State& state)
{
    Context& context = TheContext();
    for (auto _ : state) {
        SetFrame(context.shaders, context.texture.get(), ByHandle{context.shaders});
    }
    glFinish();
}
BENCHMARK(BM_FrameConstantsByHandle)->Unit(benchmark::kMicrosecond)->Repetitions(5);

}  // namespace

BENCHMARK_MAIN();
