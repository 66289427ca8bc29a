// The deferred frame: instance update, geometry pass into four targets,
// shadow cube maps, additive lighting, composition, text, present.

#include <SDL.h>

#include <numbers>

#include "core/log.h"
#include "render/gl/renderer_gl.h"
#include "render/gl/timed_lock.h"

namespace {

constexpr float kShadowNear = 0.05f;
constexpr float kShadowFar = 30.0f;

struct CubeFace {
    Vec3 direction;
    Vec3 up;
};

// Faces in cube-map order: +X, -X, +Y, -Y, +Z, -Z.
constexpr CubeFace kCubeFaces[6] = {
    {{1, 0, 0}, {0, 1, 0}},  {{-1, 0, 0}, {0, 1, 0}}, {{0, 1, 0}, {0, 0, -1}},
    {{0, -1, 0}, {0, 0, 1}}, {{0, 0, 1}, {0, 1, 0}},  {{0, 0, -1}, {0, 1, 0}},
};

void ClearTargets(GLuint framebuffer, int colourTargets)
{
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    for (int i = 0; i < colourTargets; ++i) {
        glClearNamedFramebufferfv(framebuffer, GL_COLOR, i, black);
    }
    const float farthest = 1.0f;
    glClearNamedFramebufferfv(framebuffer, GL_DEPTH, 0, &farthest);
}

}  // namespace

void RendererGL::RenderFrame(float)
{
    if (!initialised_) {
        return;
    }
    {
        // Lights, meshes, materials, instances: the order every frame takes them.
        TimedListLock lights(lightLock_, kFrameWait, "light");
        TimedListLock meshes(meshLock_, kFrameWait, "mesh");
        TimedListLock materials(materialLock_, kFrameWait, "material");
        TimedListLock instances(instanceLock_, kFrameWait, "instance");
        glBindVertexArray(vertexArray_);
        glBindProgramPipeline(pipeline_);
        glUseProgram(0);
        UpdateInstances();
        GeometryPass();
        ShadowPass();
        LightingPass();
    }
    CompositionPass();
    TextPass();
    Present();
}

void RendererGL::UpdateInstances()
{
    for (RenderInstance* instance : instances_) {
        if (!instance || !instance->modelMatrix) {
            continue;
        }
        if (instance->position && instance->scale && instance->rotation) {
            MatrixWorldTransform(instance->modelMatrix, *instance->position, *instance->scale,
                                 *instance->rotation);
        }
        GpuMesh* gpu = instance->gpuMesh;
        if (instance->vertexDataChanged && *instance->vertexDataChanged && gpu && instance->mesh) {
            *instance->vertexDataChanged = 0;
            PackVertices(*instance->mesh, gpu->layout, scratch_);
            const size_t bytes = std::min(scratch_.size() * sizeof(float),
                                          size_t{gpu->vertexCount} * gpu->layout.stride);
            glNamedBufferSubData(gpu->buffer, 0, static_cast<GLsizeiptr>(bytes), scratch_.data());
        }
    }
}

void RendererGL::UseShaders(ShaderSlot vertex, ShaderSlot pixel)
{
    glUseProgramStages(pipeline_, GL_VERTEX_SHADER_BIT, shaders_[vertex].Program());
    glUseProgramStages(pipeline_, GL_FRAGMENT_SHADER_BIT, shaders_[pixel].Program());
}

void RendererGL::BindMesh(const GpuMesh& mesh)
{
    for (GLuint location = 0; location < 5; ++location) {
        glDisableVertexArrayAttrib(vertexArray_, location);
    }
    for (int a = 0; a < mesh.layout.count; ++a) {
        const VertexLayout::Attribute& attribute = mesh.layout.attributes[a];
        glEnableVertexArrayAttrib(vertexArray_, attribute.location);
        glVertexArrayAttribFormat(vertexArray_, attribute.location, attribute.components, GL_FLOAT,
                                  GL_FALSE, attribute.offset);
        glVertexArrayAttribBinding(vertexArray_, attribute.location, 0);
    }
    glVertexArrayVertexBuffer(vertexArray_, 0, mesh.buffer, 0, static_cast<GLsizei>(mesh.layout.stride));
}

const GpuMaterial* RendererGL::FindMaterialByName(const std::string& name) const
{
    for (const GpuMaterial& material : materials_) {
        if (material.name == name) {
            return &material;
        }
    }
    return nullptr;
}

void RendererGL::DrawInstances(ShaderProgram& vertexShader, const Matrix4& view, bool shadow)
{
    ShaderProgram& pixelShader = shaders_[kGeometryShader];
    for (RenderInstance* instance : instances_) {
        if (!instance) {
            LogLine("corrupt render instance");
            continue;
        }
        if (!instance->gpuMesh || !instance->modelMatrix) {
            continue;
        }
        const Matrix4& model = *instance->modelMatrix;
        Matrix4 worldView;
        MatrixMultiply(&worldView, &model, &view);
        vertexShader.SetMatrix("WorldView", worldView);
        if (!vertexShader.SetMatrix("ModelMat", model) && shadow) {
            LogLine("ModelMatError");
        }
        if (!shadow) {
            Matrix4 inverse;
            Matrix4 normalMatrix;
            if (!MatrixInverse(&inverse, nullptr, &model)) {
                MatrixIdentity(&inverse);  // a flattened object: any normal will do
            }
            MatrixTranspose(&normalMatrix, &inverse);
            vertexShader.SetMatrix("NormalMat", normalMatrix);
            if (const GpuMaterial* material = FindMaterialByName(instance->materialName)) {
                pixelShader.BindSampler("normalMap", material->normal ? material->normal : flatNormalTexture_);
                pixelShader.BindSampler("diffuseMap", material->diffuse ? material->diffuse : whiteTexture_);
            }
        }
        BindMesh(*instance->gpuMesh);
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(instance->gpuMesh->vertexCount / 3 * 3));
    }
}

void RendererGL::GeometryPass()
{
    BeginPassTimer(kGeometryPass);
    glBindFramebuffer(GL_FRAMEBUFFER, targets_.geometryFbo);
    const GLenum buffers[4] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1, GL_COLOR_ATTACHMENT2,
                               GL_COLOR_ATTACHMENT3};
    glNamedFramebufferDrawBuffers(targets_.geometryFbo, 4, buffers);
    glViewport(0, 0, static_cast<GLsizei>(width_), static_cast<GLsizei>(height_));
    ClearTargets(targets_.geometryFbo, 4);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDisable(GL_BLEND);

    // Until a material says otherwise: white, with flat normals.
    shaders_[kGeometryShader].BindSampler("diffuseMap", whiteTexture_);
    shaders_[kGeometryShader].BindSampler("normalMap", flatNormalTexture_);
    UseShaders(kMeshShader, kGeometryShader);
    shaders_[kMeshShader].SetMatrix("Proj", projection_);
    DrawInstances(shaders_[kMeshShader], view_, false);
    DrawLineSets();
    EndPassTimer();
}

void RendererGL::DrawLineSets()
{
    UseShaders(kMeshLinesShader, kGeometryLinesShader);
    shaders_[kMeshLinesShader].SetMatrix("WorldView", view_);
    shaders_[kMeshLinesShader].SetMatrix("Proj", projection_);
    glPointSize(2.0f);
    std::lock_guard<std::mutex> lock(overlayLock_);
    for (const LineSet* lines : lineSets_) {
        if (!lines || !lines->points || lines->count == 0) {
            continue;
        }
        DrawUserVertices(GL_POINTS, lines->points, static_cast<int>(lines->count),
                         UserVertexFormat::kPosition);
    }
}

void RendererGL::ShadowPass()
{
    if (lights_.empty()) {
        return;
    }
    BeginPassTimer(kShadowPass);
    glColorMask(GL_TRUE, GL_FALSE, GL_FALSE, GL_FALSE);
    Matrix4 shadowProjection;
    MatrixPerspectiveFovLH(&shadowProjection, std::numbers::pi_v<float> / 2, 1.0f, kShadowNear, kShadowFar);
    ShaderProgram& vertexShader = shaders_[kMeshSimpleShader];
    UseShaders(kMeshSimpleShader, kDepthShader);
    vertexShader.SetMatrix("Proj", shadowProjection);
    glBindFramebuffer(GL_FRAMEBUFFER, targets_.shadowFbo);
    glViewport(0, 0, kShadowMapSize, kShadowMapSize);
    glEnable(GL_DEPTH_TEST);
    for (RenderLight* light : lights_) {
        if (!light->shadowMap || !light->position) {
            continue;
        }
        const Vec3 eye = *light->position;
        vertexShader.SetVector("lightPosUT", eye.x, eye.y, eye.z, 1.0f);
        for (int face = 0; face < 6; ++face) {
            const Vec3 at = eye.Plus(kCubeFaces[face].direction.x, kCubeFaces[face].direction.y,
                                     kCubeFaces[face].direction.z);
            Matrix4 faceView;
            MatrixLookAtLH(&faceView, &eye, &at, &kCubeFaces[face].up);
            glNamedFramebufferTextureLayer(targets_.shadowFbo, GL_COLOR_ATTACHMENT0,
                                           light->shadowMap->texture, 0, face);
            glNamedFramebufferDrawBuffer(targets_.shadowFbo, GL_COLOR_ATTACHMENT0);
            ClearTargets(targets_.shadowFbo, 1);
            DrawInstances(vertexShader, faceView, true);
        }
    }
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    EndPassTimer();
}

void RendererGL::LightingPass()
{
    BeginPassTimer(kLightingPass);
    glBindFramebuffer(GL_FRAMEBUFFER, targets_.lightingFbo);
    const GLenum buffers[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glNamedFramebufferDrawBuffers(targets_.lightingFbo, 2, buffers);
    glViewport(0, 0, static_cast<GLsizei>(width_), static_cast<GLsizei>(height_));
    ClearTargets(targets_.lightingFbo, 2);
    if (lights_.empty()) {
        EndPassTimer();
        return;  // both targets stay black
    }
    glDisable(GL_DEPTH_TEST);
    UseShaders(kOverlayShader, kLightingShader);
    ShaderProgram& lighting = shaders_[kLightingShader];
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    lighting.SetVector("camPos", cameraPosition_.x, cameraPosition_.y, cameraPosition_.z, 0.0f);
    lighting.BindSampler("normalPass", targets_.normal);
    lighting.BindSampler("depthPass", targets_.depth);
    for (RenderLight* light : lights_) {
        if (!light->position || !light->colour || !light->cutoff || !light->shadowMap) {
            continue;
        }
        const Vec3& p = *light->position;
        const Vec3& c = *light->colour;
        lighting.SetVector("lightPosUT", p.x, p.y, p.z, 1.0f);
        lighting.SetVector("lightCol", c.x, c.y, c.z, 0.0f);
        lighting.SetFloat("lightCutoff", light->cutoff->x);
        lighting.BindSampler("shadowMap", light->shadowMap->texture);
        DrawScreenQuad();
    }
    glDisable(GL_BLEND);
    EndPassTimer();
}

void RendererGL::CompositionPass()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    BeginPassTimer(kCompositionPass);
    glViewport(0, 0, static_cast<GLsizei>(width_), static_cast<GLsizei>(height_));
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glBindVertexArray(vertexArray_);
    glBindProgramPipeline(pipeline_);
    UseShaders(kOverlayShader, kDeferredShader);
    ShaderProgram& deferred = shaders_[kDeferredShader];
    deferred.SetFloat("resX", static_cast<float>(width_));
    deferred.SetFloat("resY", static_cast<float>(height_));
    deferred.BindSampler("diffusePass", targets_.diffuse);
    deferred.BindSampler("lightingPass", targets_.lighting);
    deferred.BindSampler("specularPass", targets_.specular);
    deferred.BindSampler("emissivePass", targets_.emissive);
    DrawScreenQuad();
    EndPassTimer();
}

// Two triangles over the whole screen, in pixels: x, y, z, rhw, u, v.
void RendererGL::DrawScreenQuad()
{
    const float w = static_cast<float>(width_);
    const float h = static_cast<float>(height_);
    const float quad[6 * 6] = {
        0, 0, 1, 1, 0, 0, 0, h, 1, 1, 0, 1, w, h, 1, 1, 1, 1,
        w, h, 1, 1, 1, 1, w, 0, 1, 1, 1, 0, 0, 0, 1, 1, 0, 0,
    };
    shaders_[kOverlayShader].SetVec2("screenSize", w, h);
    DrawUserVertices(GL_TRIANGLES, quad, 6, UserVertexFormat::kScreenTextured);
}

// Draws vertices straight from memory through the stream buffer.
void RendererGL::DrawUserVertices(GLenum mode, const float* data, int count, UserVertexFormat format)
{
    const GLsizei floatsPerVertex = format == UserVertexFormat::kPosition ? 3
                                    : format == UserVertexFormat::kScreenTextured ? 6
                                                                                  : 8;
    const GLsizeiptr bytes = static_cast<GLsizeiptr>(count) * floatsPerVertex * sizeof(float);
    if (bytes > streamBufferBytes_) {
        glNamedBufferData(streamBuffer_, bytes, nullptr, GL_STREAM_DRAW);
        streamBufferBytes_ = bytes;
    }
    glNamedBufferSubData(streamBuffer_, 0, bytes, data);
    for (GLuint location = 0; location < 5; ++location) {
        glDisableVertexArrayAttrib(vertexArray_, location);
    }
    auto attribute = [this](GLuint location, GLint size, GLuint offset) {
        glEnableVertexArrayAttrib(vertexArray_, location);
        glVertexArrayAttribFormat(vertexArray_, location, size, GL_FLOAT, GL_FALSE, offset);
        glVertexArrayAttribBinding(vertexArray_, location, 0);
    };
    switch (format) {
    case UserVertexFormat::kPosition:
        attribute(0, 3, 0);
        break;
    case UserVertexFormat::kScreenTextured:
        attribute(0, 4, 0);
        attribute(1, 2, 4 * sizeof(float));
        break;
    case UserVertexFormat::kScreenColoured:
        attribute(0, 4, 0);
        attribute(2, 4, 4 * sizeof(float));
        break;
    }
    glVertexArrayVertexBuffer(vertexArray_, 0, streamBuffer_, 0,
                              floatsPerVertex * static_cast<GLsizei>(sizeof(float)));
    glDrawArrays(mode, 0, count);
}

void RendererGL::Present()
{
    const Uint64 start = SDL_GetPerformanceCounter();
    SDL_GL_SwapWindow(sdlWindow_);
    lastPresentMs_ = static_cast<double>(SDL_GetPerformanceCounter() - start) * 1000.0 /
                     static_cast<double>(SDL_GetPerformanceFrequency());
    if (passTiming_) {
        for (size_t pass = 0; pass < passQueries_.size(); ++pass) {
            GLuint64 nanoseconds = 0;
            // Waits for the result: timing is for measuring, not for shows.
            glGetQueryObjectui64v(passQueries_[pass], GL_QUERY_RESULT, &nanoseconds);
            lastPassMs_[pass] = static_cast<double>(nanoseconds) / 1e6;
        }
    }
}

void RendererGL::BeginPassTimer(int pass)
{
    if (passTiming_) {
        glBeginQuery(GL_TIME_ELAPSED, passQueries_[pass]);
        currentPass_ = pass;
    }
}

void RendererGL::EndPassTimer()
{
    if (passTiming_ && currentPass_ >= 0) {
        glEndQuery(GL_TIME_ELAPSED);
        currentPass_ = -1;
    }
}
