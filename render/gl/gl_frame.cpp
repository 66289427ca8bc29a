#include "render/gl/gl_frame.h"

#include <limits>
#include <numbers>

#include "core/log.h"
#include "render/gl/draw_order.h"
#include "render/gl/light_bounds.h"
#include "render/gl/pass_culling.h"
#include "render/gl/shadow_signature.h"

namespace {

constexpr float kShadowNear = 0.05f;
constexpr float kShadowFar = 30.0f;
// Drawn with this near-plane reach, no instance has faces left out: shadow
// faces are seen from lights that may be inside a mesh.
constexpr float kKeepEveryFace = std::numeric_limits<float>::infinity();

struct CubeFace {
    Vec3 direction;
    Vec3 up;
};

// Faces in cube-map order: +X, -X, +Y, -Y, +Z, -Z.
constexpr CubeFace kCubeFaces[6] = {
    {{1, 0, 0}, {0, 1, 0}},  {{-1, 0, 0}, {0, 1, 0}}, {{0, 1, 0}, {0, 0, -1}},
    {{0, -1, 0}, {0, 0, 1}}, {{0, 0, 1}, {0, 1, 0}},  {{0, 0, -1}, {0, 1, 0}},
};

void ClearColourTargets(GLuint framebuffer, int colourTargets)
{
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    for (int i = 0; i < colourTargets; ++i) {
        glClearNamedFramebufferfv(framebuffer, GL_COLOR, i, black);
    }
}

void ClearTargets(GLuint framebuffer, int colourTargets)
{
    ClearColourTargets(framebuffer, colourTargets);
    const float farthest = 1.0f;
    glClearNamedFramebufferfv(framebuffer, GL_DEPTH, 0, &farthest);
}

GlTexture CreateSolidTexture(uint8_t r, uint8_t g, uint8_t b)
{
    const uint8_t pixel[4] = {r, g, b, 255};
    GlTexture texture = NewTexture(GL_TEXTURE_2D);
    glTextureStorage2D(texture.get(), 1, GL_RGBA8, 1, 1);
    glTextureSubImage2D(texture.get(), 0, 0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return texture;
}

// A 1 x 1 cube map that sees nothing in any direction.
GlTexture CreateEmptyCubeMap()
{
    GlTexture texture = NewTexture(GL_TEXTURE_CUBE_MAP);
    glTextureStorage2D(texture.get(), 1, GL_R32F, 1, 1);
    const float nothing = 0.0f;
    glClearTexImage(texture.get(), 0, GL_RED, GL_FLOAT, &nothing);
    return texture;
}

}  // namespace

void DeferredFrame::Create(const PictureLayout& picture)
{
    picture_ = picture;
    width_ = picture.width;
    height_ = picture.height;
    targets_.Create(width_, height_, SceneResources::kShadowMapSize);
    stream_.Create();
    whiteTexture_ = CreateSolidTexture(255, 255, 255);
    flatNormalTexture_ = CreateSolidTexture(127, 127, 255);
    noShadowTexture_ = CreateEmptyCubeMap();
    for (GlQuery& query : passQueries_) {
        query = NewQuery(GL_TIME_ELAPSED);
    }
}

void DeferredFrame::Render(SceneResources& resources, Overlays& overlays, const FrameCamera& camera)
{
    {
        SceneResources::FrameLock lock(resources);
        stream_.Bind();
        shaders_.Bind();
        resources.UpdateInstances();
        const std::vector<ShownLight> shown = ShownLights(resources, camera);
        GeometryPass(resources, overlays, camera);
        std::vector<RenderLight*> lights;
        for (const ShownLight& entry : shown) {
            lights.push_back(entry.light);
        }
        resources.AssignShadowMaps(lights);
        ShadowPass(resources, shown);
        LightingPass(shown, camera);
    }
    CompositionPass();
    TextPass(overlays);
    ShowPicture();
}

void DeferredFrame::RenderTextsOnly(Overlays& overlays)
{
    ClearPicture();
    TextPass(overlays);
    ShowPicture();
}

void DeferredFrame::DrawInstances(const std::vector<RenderInstance*>& instances, ShaderSlot vertexSlot,
                                  const Matrix4& view, bool shadow, float nearReach)
{
    ShaderProgram& vertexShader = shaders_[vertexSlot];
    const FrameConstants& vertex = shaders_.Constants(vertexSlot);
    ShaderProgram& pixelShader = shaders_[kGeometryShader];
    const FrameConstants& pixel = shaders_.Constants(kGeometryShader);
    for (RenderInstance* instance : instances) {
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
        vertexShader.SetMatrix(vertex.worldView, worldView);
        if (!vertexShader.SetMatrix(vertex.modelMat, model) && shadow) {
            LogLine("ModelMatError");
        }
        if (!shadow) {
            Matrix4 inverse;
            Matrix4 normalMatrix;
            if (!MatrixInverse(&inverse, nullptr, &model)) {
                MatrixIdentity(&inverse);  // a flattened object: any normal will do
            }
            MatrixTranspose(&normalMatrix, &inverse);
            vertexShader.SetMatrix(vertex.normalMat, normalMatrix);
            if (const GpuMaterial* material = instance->gpuMaterial) {
                pixelShader.BindSampler(pixel.normalMap,
                                        material->normal ? material->normal.get() : flatNormalTexture_.get());
                pixelShader.BindSampler(pixel.diffuseMap,
                                        material->diffuse ? material->diffuse.get() : whiteTexture_.get());
            }
        }
        const GpuMesh& mesh = *instance->gpuMesh;
        LeaveOut(HiddenFacesOf(mesh.closedWinding, mesh.radius, worldView, nearReach));
        stream_.UseBuffer(mesh.buffer.get(), mesh.layout);
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(mesh.vertexCount / 3 * 3));
    }
    LeaveOut(HiddenFaces::kNone);
}

void DeferredFrame::LeaveOut(HiddenFaces faces)
{
    if (faces == HiddenFaces::kNone) {
        glDisable(GL_CULL_FACE);
        return;
    }
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(faces == HiddenFaces::kClockwise ? GL_CCW : GL_CW);
}

void DeferredFrame::GeometryPass(SceneResources& resources, Overlays& overlays, const FrameCamera& camera)
{
    BeginPassTimer(kGeometryPass);
    const GLuint framebuffer = targets_.geometryFbo.get();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    const GLenum buffers[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glNamedFramebufferDrawBuffers(framebuffer, 2, buffers);
    glViewport(0, 0, static_cast<GLsizei>(width_), static_cast<GLsizei>(height_));
    ClearTargets(framebuffer, 2);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDisable(GL_BLEND);

    // Until a material says otherwise: white, with flat normals.
    const FrameConstants& geometry = shaders_.Constants(kGeometryShader);
    shaders_[kGeometryShader].BindSampler(geometry.diffuseMap, whiteTexture_.get());
    shaders_[kGeometryShader].BindSampler(geometry.normalMap, flatNormalTexture_.get());
    shaders_.Use(kMeshShader, kGeometryShader);
    shaders_[kMeshShader].SetMatrix(shaders_.Constants(kMeshShader).proj, camera.projection);
    Matrix4 viewProjection;
    MatrixMultiply(&viewProjection, &camera.view, &camera.projection);
    DrawInstances(InView(NearestFirst(resources.Instances(), camera.position), viewProjection),
                  kMeshShader, camera.view, false, NearPlaneReach(camera.projection));
    overlays.DrawLineSets(camera.view, camera.projection);
    EndPassTimer();
}

void DeferredFrame::ShadowPass(SceneResources& resources, const std::vector<ShownLight>& shown)
{
    if (shown.empty()) {
        return;
    }
    BeginPassTimer(kShadowPass);
    glColorMask(GL_TRUE, GL_FALSE, GL_FALSE, GL_FALSE);
    Matrix4 shadowProjection;
    MatrixPerspectiveFovLH(&shadowProjection, std::numbers::pi_v<float> / 2, 1.0f, kShadowNear, kShadowFar);
    ShaderProgram& vertexShader = shaders_[kMeshSimpleShader];
    const FrameConstants& vertex = shaders_.Constants(kMeshSimpleShader);
    shaders_.Use(kMeshSimpleShader, kDepthShader);
    vertexShader.SetMatrix(vertex.proj, shadowProjection);
    const GLuint framebuffer = targets_.shadowFbo.get();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, SceneResources::kShadowMapSize, SceneResources::kShadowMapSize);
    glEnable(GL_DEPTH_TEST);
    // A light that reaches no pixel of this frame keeps its faces as they
    // are; they are drawn anew when it does, if its scene changed meanwhile.
    // One beyond the shadow maps there are casts no shadow.
    for (const ShownLight& entry : shown) {
        RenderLight* light = entry.light;
        if (!light->shadowMap) {
            continue;
        }
        // Nothing within the light's reach moved: its faces are still right.
        const float cutoff = light->cutoff->x;
        const uint64_t scene = ShadowSignature(*light->position, cutoff, resources.Instances());
        if (light->shadowMap->shownScene == scene) {
            continue;
        }
        light->shadowMap->shownScene = scene;
        const Vec3 eye = *light->position;
        const std::vector<RenderInstance*> instances =
            WithinLightReach(NearestFirst(resources.Instances(), eye), eye, cutoff);
        vertexShader.SetVector(vertex.lightPosUT, eye.x, eye.y, eye.z, 1.0f);
        for (int face = 0; face < 6; ++face) {
            const Vec3& direction = kCubeFaces[face].direction;
            const Vec3 at = eye.Plus(direction.x, direction.y, direction.z);
            Matrix4 faceView;
            MatrixLookAtLH(&faceView, &eye, &at, &kCubeFaces[face].up);
            glNamedFramebufferTextureLayer(framebuffer, GL_COLOR_ATTACHMENT0, light->shadowMap->texture.get(), 0,
                                           face);
            glNamedFramebufferDrawBuffer(framebuffer, GL_COLOR_ATTACHMENT0);
            ClearTargets(framebuffer, 1);
            DrawInstances(instances, kMeshSimpleShader, faceView, true, kKeepEveryFace);
        }
    }
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    EndPassTimer();
}

void DeferredFrame::LightingPass(const std::vector<ShownLight>& shown, const FrameCamera& camera)
{
    BeginPassTimer(kLightingPass);
    const GLuint framebuffer = targets_.lightingFbo.get();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    const GLenum buffers[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glNamedFramebufferDrawBuffers(framebuffer, 2, buffers);
    glViewport(0, 0, static_cast<GLsizei>(width_), static_cast<GLsizei>(height_));
    ClearColourTargets(framebuffer, 2);
    const std::vector<LightBatch> batches = BatchLights(shown);
    if (batches.empty()) {
        EndPassTimer();
        return;  // both targets stay black
    }
    targets_.CopyDepthForLighting();  // the depth buffer is the geometry pass's
    shaders_.Use(kOverlayShader, kLightingShader);
    SetLightingCamera(camera);
    const FrameConstants& constants = shaders_.Constants(kLightingShader);
    shaders_[kLightingShader].BindSampler(constants.normalPass, targets_.normal.get());
    shaders_[kLightingShader].BindSampler(constants.depthPass, targets_.depth.get());
    // The quad lies at the far side of the farthest reach and passes only
    // where a surface is nearer, which leaves out the background.
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_GREATER);
    glEnable(GL_SCISSOR_TEST);
    glBlendFunc(GL_ONE, GL_ONE);
    for (size_t i = 0; i < batches.size(); ++i) {
        // The first batch writes the cleared targets; any later one adds to them.
        if (i == 0) {
            glDisable(GL_BLEND);
        } else {
            glEnable(GL_BLEND);
        }
        DrawLightBatch(batches[i]);
    }
    glDisable(GL_SCISSOR_TEST);
    glDepthRangef(0.0f, 1.0f);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    EndPassTimer();
}

std::vector<DeferredFrame::ShownLight> DeferredFrame::ShownLights(SceneResources& resources,
                                                                  const FrameCamera& camera) const
{
    std::vector<ShownLight> shown;
    for (RenderLight* light : resources.Lights()) {
        if (!light->position || !light->colour || !light->cutoff || !LightReaches(light->cutoff->x)) {
            continue;
        }
        const LightBounds bounds = ComputeLightBounds(*light->position, light->cutoff->x, camera.view,
                                                      camera.projection, width_, height_);
        if (bounds.visible) {
            shown.push_back({light, bounds});
        }
    }
    return shown;
}

std::vector<DeferredFrame::LightBatch> DeferredFrame::BatchLights(const std::vector<ShownLight>& shown) const
{
    std::vector<LightBatch> batches;
    for (const ShownLight& entry : shown) {
        if (batches.empty() || batches.back().count == kLightsPerBatch) {
            batches.emplace_back();
        }
        LightBatch& batch = batches.back();
        const Vec3& p = *entry.light->position;
        const Vec3& c = *entry.light->colour;
        const int i = batch.count++;
        batch.bounds = UniteLightBounds(batch.bounds, entry.bounds);
        batch.positions[4 * i + 0] = p.x;
        batch.positions[4 * i + 1] = p.y;
        batch.positions[4 * i + 2] = p.z;
        batch.positions[4 * i + 3] = 1.0f;
        batch.colours[4 * i + 0] = c.x;
        batch.colours[4 * i + 1] = c.y;
        batch.colours[4 * i + 2] = c.z;
        batch.cutoffs[i] = entry.light->cutoff->x;
        batch.shadowMaps[i] =
            entry.light->shadowMap ? entry.light->shadowMap->texture.get() : noShadowTexture_.get();
    }
    return batches;
}

void DeferredFrame::DrawLightBatch(const LightBatch& batch)
{
    ShaderProgram& lighting = shaders_[kLightingShader];
    const FrameConstants& constants = shaders_.Constants(kLightingShader);
    glScissor(batch.bounds.x, batch.bounds.y, batch.bounds.width, batch.bounds.height);
    glDepthRangef(batch.bounds.farDepth, batch.bounds.farDepth);
    lighting.SetFloat(constants.lightCount, static_cast<float>(batch.count));
    lighting.SetArray(constants.lightPosUT, batch.positions.data(), batch.count, 4);
    lighting.SetArray(constants.lightCol, batch.colours.data(), batch.count, 4);
    lighting.SetArray(constants.lightCutoff, batch.cutoffs.data(), batch.count, 1);
    for (int i = 0; i < batch.count; ++i) {
        lighting.BindSampler(constants.shadowMap, batch.shadowMaps[i], i);
    }
    DrawScreenQuad();
}

// What the lighting shader needs to turn a depth back into a world position.
void DeferredFrame::SetLightingCamera(const FrameCamera& camera)
{
    ShaderProgram& lighting = shaders_[kLightingShader];
    const FrameConstants& constants = shaders_.Constants(kLightingShader);
    Matrix4 viewInverse;
    if (!MatrixInverse(&viewInverse, nullptr, &camera.view)) {
        MatrixIdentity(&viewInverse);
    }
    const Matrix4& p = camera.projection;
    lighting.SetVector(constants.camPos, camera.position.x, camera.position.y, camera.position.z, 0.0f);
    lighting.SetMatrix(constants.viewInverse, viewInverse);
    lighting.SetVector(constants.projectionTerms, p.m[0][0], p.m[1][1], p.m[2][2], p.m[3][2]);
}

void DeferredFrame::ClearPicture()
{
    glBindFramebuffer(GL_FRAMEBUFFER, targets_.pictureFbo.get());
    glViewport(0, 0, static_cast<GLsizei>(width_), static_cast<GLsizei>(height_));
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
}

void DeferredFrame::CompositionPass()
{
    BeginPassTimer(kCompositionPass);
    ClearPicture();
    stream_.Bind();
    shaders_.Bind();
    shaders_.Use(kOverlayShader, kDeferredShader);
    ShaderProgram& deferred = shaders_[kDeferredShader];
    const FrameConstants& constants = shaders_.Constants(kDeferredShader);
    deferred.SetFloat(constants.resX, static_cast<float>(width_));
    deferred.SetFloat(constants.resY, static_cast<float>(height_));
    deferred.BindSampler(constants.diffusePass, targets_.diffuse.get());
    deferred.BindSampler(constants.lightingPass, targets_.lighting.get());
    deferred.BindSampler(constants.specularPass, targets_.specular.get());
    DrawScreenQuad();
    EndPassTimer();
}

void DeferredFrame::TextPass(Overlays& overlays)
{
    glBindFramebuffer(GL_FRAMEBUFFER, targets_.pictureFbo.get());
    BeginPassTimer(kTextPass);
    overlays.DrawTexts();
    EndPassTimer();
}

void DeferredFrame::ShowPicture()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, static_cast<GLsizei>(picture_.windowWidth), static_cast<GLsizei>(picture_.windowHeight));
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const GLint x = static_cast<GLint>(picture_.x);
    const GLint y = static_cast<GLint>(picture_.y);
    const GLint shownWidth = static_cast<GLint>(picture_.shownWidth);
    const GLint shownHeight = static_cast<GLint>(picture_.shownHeight);
    const bool scaled = picture_.shownWidth != width_ || picture_.shownHeight != height_;
    glBlitNamedFramebuffer(targets_.pictureFbo.get(), 0, 0, 0, static_cast<GLint>(width_), static_cast<GLint>(height_),
                           x, y, x + shownWidth, y + shownHeight, GL_COLOR_BUFFER_BIT, scaled ? GL_LINEAR : GL_NEAREST);
}

// Two triangles over the whole screen, in pixels: x, y, z, rhw, u, v.
void DeferredFrame::DrawScreenQuad()
{
    const float w = static_cast<float>(width_);
    const float h = static_cast<float>(height_);
    const float quad[6 * 6] = {
        0, 0, 1, 1, 0, 0, 0, h, 1, 1, 0, 1, w, h, 1, 1, 1, 1,
        w, h, 1, 1, 1, 1, w, 0, 1, 1, 1, 0, 0, 0, 1, 1, 0, 0,
    };
    shaders_[kOverlayShader].SetVec2(shaders_.Constants(kOverlayShader).screenSize, w, h);
    stream_.Draw(GL_TRIANGLES, quad, 6, UserVertexFormat::kScreenTextured);
}

void DeferredFrame::BeginPassTimer(Pass pass)
{
    if (passTiming_) {
        glBeginQuery(GL_TIME_ELAPSED, passQueries_[pass].get());
        timing_ = true;
    }
}

void DeferredFrame::EndPassTimer()
{
    if (timing_) {
        glEndQuery(GL_TIME_ELAPSED);
        timing_ = false;
    }
}

void DeferredFrame::ReadPassTimes()
{
    if (!passTiming_) {
        return;
    }
    for (size_t pass = 0; pass < passQueries_.size(); ++pass) {
        GLuint64 nanoseconds = 0;
        // Waits for the result: timing is for measuring, not for shows.
        glGetQueryObjectui64v(passQueries_[pass].get(), GL_QUERY_RESULT, &nanoseconds);
        lastPassMs_[pass] = static_cast<double>(nanoseconds) / 1e6;
    }
}
