#pragma once
// The deferred frame: instance update, geometry pass into two targets (with
// the line sets; instances out of view left out, closed meshes seen from
// outside without the faces turned away from the camera), a cube shadow map
// per light that reaches the picture (with the instances within its reach),
// lighting (one quad for up to eight lights, added up in the shader),
// composition into the picture, the texts over it, and the picture into the
// window. The frame
// owns the shaders, the targets and the vertex stream it draws with.

#include <array>
#include <vector>

#include "render/gl/gl_objects.h"
#include "render/gl/gl_overlay.h"
#include "render/gl/gl_resources.h"
#include "render/gl/gl_shader_set.h"
#include "render/gl/gl_targets.h"
#include "render/gl/gl_vertex_stream.h"
#include "render/gl/hidden_faces.h"
#include "render/gl/light_bounds.h"
#include "render/gl/picture_layout.h"
#include "core/math.h"

// The camera as the frame sees it.
struct FrameCamera {
    Matrix4 projection;
    Matrix4 view;
    Vec3 position;
    Vec3 direction;
};

class DeferredFrame {
public:
    // The passes of a frame, in order.
    enum Pass : int { kGeometryPass, kShadowPass, kLightingPass, kCompositionPass, kTextPass, kPassCount };

    ShaderSet& Shaders() { return shaders_; }
    VertexStream& Stream() { return stream_; }

    // The targets of the picture and the objects every frame uses; the
    // shaders must be compiled.
    void Create(const PictureLayout& picture);
    // Draws the frame into the window's back buffer; the caller presents it.
    void Render(SceneResources& resources, Overlays& overlays, const FrameCamera& camera);
    // The same with a black picture under the texts: no scene at all.
    void RenderTextsOnly(Overlays& overlays);

    // Times each pass on the GPU; the times are read after the present.
    void SetPassTiming(bool enabled) { passTiming_ = enabled; }
    void ReadPassTimes();
    std::array<double, kPassCount> LastPassMs() const { return lastPassMs_; }

private:
    // A light with everything it needs, and where on the screen it reaches.
    struct ShownLight {
        RenderLight* light = nullptr;
        LightBounds bounds;
    };
    // The lights that reach some pixel of this frame: only they are drawn,
    // and only their shadow faces need to be right.
    std::vector<ShownLight> ShownLights(SceneResources& resources, const FrameCamera& camera) const;

    void GeometryPass(SceneResources& resources, Overlays& overlays, const FrameCamera& camera);
    void ShadowPass(SceneResources& resources, const std::vector<ShownLight>& shown);
    void LightingPass(const std::vector<ShownLight>& shown, const FrameCamera& camera);
    // Up to kLightsPerBatch lights drawn by one lighting quad, and where
    // on the screen any of them reaches.
    static constexpr int kLightsPerBatch = 8;  // as many as the lighting shader takes
    struct LightBatch {
        int count = 0;
        LightBounds bounds;
        std::array<float, 4 * kLightsPerBatch> positions{};
        std::array<float, 4 * kLightsPerBatch> colours{};
        std::array<float, kLightsPerBatch> cutoffs{};
        std::array<GLuint, kLightsPerBatch> shadowMaps{};
    };
    // The lights shown, kLightsPerBatch at a time; one without a shadow map
    // of its own casts no shadow.
    std::vector<LightBatch> BatchLights(const std::vector<ShownLight>& shown) const;
    void DrawLightBatch(const LightBatch& batch);
    void SetLightingCamera(const FrameCamera& camera);
    // The picture's target bound and cleared to black.
    void ClearPicture();
    void CompositionPass();
    void TextPass(Overlays& overlays);
    // The picture into the window, black around it.
    void ShowPicture();
    // nearReach: the camera's NearPlaneReach, which decides whether a
    // closed mesh's far faces may be left out; infinite keeps them all.
    void DrawInstances(const std::vector<RenderInstance*>& instances, ShaderSlot vertexSlot, const Matrix4& view,
                       bool shadow, float nearReach);
    // Culls the given faces, or none.
    static void LeaveOut(HiddenFaces faces);
    void DrawScreenQuad();
    void BeginPassTimer(Pass pass);
    void EndPassTimer();

    PictureLayout picture_;
    unsigned width_ = 0;  // the picture, pixels
    unsigned height_ = 0;
    ShaderSet shaders_;
    VertexStream stream_;
    FrameTargets targets_;
    // What a material without a picture shows: white, and flat normals.
    GlTexture whiteTexture_;
    GlTexture flatNormalTexture_;
    // The shadow map of a light that has none: no occluder anywhere.
    GlTexture noShadowTexture_;

    bool passTiming_ = false;
    std::array<GlQuery, kPassCount> passQueries_;
    std::array<double, kPassCount> lastPassMs_{};
    bool timing_ = false;
};
