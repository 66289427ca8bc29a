#pragma once
// The renderer on OpenGL 4.5 core: the render interface over the GL device,
// the scene's GPU resources, the deferred frame and the overlays. The loading
// thread registers resources through a context of its own that shares
// objects with the main one; every upload is fenced before the record is
// published.

#include <array>
#include <memory>
#include <string>

#include "render/gl/gl_device.h"
#include "render/gl/gl_frame.h"
#include "render/gl/gl_overlay.h"
#include "render/gl/gl_readback.h"
#include "render/gl/gl_resources.h"
#include "render/gl/picture_layout.h"
#include "render/show_renderer.h"

class RendererGL : public ShowRenderer {
public:
    static constexpr int kShadowMapSize = SceneResources::kShadowMapSize;
    using Pass = DeferredFrame::Pass;
    static constexpr int kPassCount = DeferredFrame::kPassCount;
    using LogHook = SceneResources::LogHook;

    RendererGL();
    ~RendererGL() override;

    int Init(Window* window) override;
    const std::string& InitFailure() const override { return initFailure_; }
    int Shutdown() override;
    void RenderFrame(float frameTimeMs) override;

    int CreateMesh(Mesh* mesh) override;
    int ReleaseMesh(Mesh* mesh) override;
    int AddRenderInstance(RenderInstance* instance) override;
    int RemoveRenderInstance(RenderInstance* instance) override;
    uint32_t MaxTextureSide() const override { return device_.MaxTextureSide(); }
    int CreateMaterial(Material* material) override;
    int ReleaseMaterial(Material* material) override;
    int AddLight(RenderLight* light) override;
    int RemoveLightById(int id) override;
    int ReleaseLight(RenderLight* light) override;

    int AddTextInstance(TextInstance* text) override;
    int RemoveTextInstance(TextInstance* text) override;
    int AddAuxObject(void* object) override;
    int RemoveAuxObject(void* object) override;
    int Reserved17(void* unused) override;
    int Reserved18(void* unused) override;
    int AddLineSet(LineSet* lines) override;
    int RemoveLineSet(LineSet* lines) override;

    void SetConsoleLine(unsigned index, const char* text, unsigned length, int colour) override;
    int GetConsoleLineCount() override;

    void SetCameraPosition(Vec3 position) override;
    void SetCameraDirection(Vec3 direction) override;
    void ApplyCameraRotation(const Matrix4* rotation) override;

    void DrawText(std::string text, int x, int y, uint32_t colour) override;
    void DrawLine2D(int x1, int y1, int x2, int y2, uint32_t colour) override;
    void DrawRect2D(int x1, int y1, int x2, int y2, uint32_t colour) override;
    void DrawLine3D(float x1, float y1, float z1, float x2, float y2, float z2,
                    uint32_t colour) override;

    // Live editing, on the main thread between frames.
    ShaderRecompiled RecompileShader(const std::string& fileName, std::string* error) override;
    int ReloadMesh(Mesh* mesh) override { return resources_.ReloadMesh(mesh); }
    int ReloadMaterial(Material* material) override { return resources_.ReloadMaterial(material); }
    // The lights' shadow maps that exist (at most SceneResources::kMostShadowMaps).
    size_t ShadowMapCount() const { return resources_.ShadowMapCount(); }

    void SetSceneShown(bool shown) override { sceneShown_ = shown; }

    // Milliseconds the last present took.
    double LastPresentMs() const { return lastPresentMs_; }
    // Milliseconds each pass of the last frame took (GPU timer queries,
    // waited for after the present), indexed by Pass; only while pass
    // timing is on.
    std::array<double, kPassCount> LastPassMs() const;
    void SetPassTiming(bool enabled);

    // The hook through which ReleaseMesh reports what it releases.
    void SetLogHook(LogHook hook) { resources_.SetLogHook(hook); }

    void SetLayoutSize(unsigned width, unsigned height) override;
    void SetPictureSize(unsigned width, unsigned height) override;
    // Where the picture sits in the window (after Init).
    const PictureLayout& Picture() const { return picture_; }

    void StartCapture() override;
    const uint8_t* TakeCapturedFrame(bool drain = false) override;
    unsigned CapturedWidth() const override { return picture_.windowWidth; }
    unsigned CapturedHeight() const override { return picture_.windowHeight; }

private:
    // Lets every GPU object go; the main context is made current first.
    void ReleaseGpuObjects();

    // Declared first: the contexts outlive every GL object below.
    GlDevice device_;
    SceneResources resources_;
    Overlays overlays_;
    std::unique_ptr<DeferredFrame> frame_;
    std::unique_ptr<FrameReadback> readback_;
    bool ready_ = false;  // the frame can be drawn
    bool sceneShown_ = true;

    unsigned layoutWidth_ = 0;
    unsigned layoutHeight_ = 0;
    unsigned pictureWidth_ = 0;
    unsigned pictureHeight_ = 0;
    PictureLayout picture_;
    FrameCamera camera_;
    double lastPresentMs_ = 0.0;
    bool passTiming_ = false;
    std::string initFailure_;
};
