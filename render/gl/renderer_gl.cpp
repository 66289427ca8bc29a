#include "render/gl/renderer_gl.h"

#include <SDL.h>

#include "core/log.h"
#include "platform/window.h"
#include "render/camera_lens.h"

namespace {

constexpr unsigned kConsoleLineHeight = 16;

}  // namespace

RendererGL::RendererGL() : resources_(device_)
{
    MatrixIdentity(&camera_.projection);
    MatrixIdentity(&camera_.view);
}

RendererGL::~RendererGL()
{
    // The registered records belong to their callers; they are let go, and
    // whatever a failed start-up left behind goes with them.
    ReleaseGpuObjects();
    device_.Destroy();
}

int RendererGL::Init(Window* window)
{
    initFailure_.clear();
    if (!window || !window->handle || SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        initFailure_ = "no window to draw in";
        return -1;
    }
    const unsigned pictureWidth = pictureWidth_ ? pictureWidth_ : window->width;
    const unsigned pictureHeight = pictureHeight_ ? pictureHeight_ : window->height;
    picture_ = PictureLayout::Fit(window->width, window->height, pictureWidth, pictureHeight,
                                  layoutWidth_ ? layoutWidth_ : pictureWidth, layoutHeight_ ? layoutHeight_ : pictureHeight);
    if (const int device = device_.Create(window->handle.get()); device != 0) {
        initFailure_ = device == -1 ? "the graphics driver gives no OpenGL 4.5 core context"
                                    : "no second OpenGL context for the loading thread";
        return -2;
    }
    Log("Adapter 0: ", device_.AdapterName());
    window->Show();
    if (!overlays_.LoadFonts(picture_.scale)) {
        initFailure_ = "the fonts cannot be loaded";
        return -3;
    }
    overlays_.SetConsoleLineCount(picture_.layoutHeight / kConsoleLineHeight);

    frame_ = std::make_unique<DeferredFrame>();
    if (frame_->Shaders().Compile() != 0) {
        initFailure_ = frame_->Shaders().Failure();
        return -1;
    }
    camera_.projection =
        SceneProjection(static_cast<float>(picture_.layoutWidth) / static_cast<float>(picture_.layoutHeight));
    Log("scaleX = ", camera_.projection.m[0][0], " scaleY = ", camera_.projection.m[1][1]);
    MatrixIdentity(&camera_.view);
    glDisable(GL_CULL_FACE);
    frame_->Create(picture_);
    frame_->SetPassTiming(passTiming_);
    overlays_.CreateGpuObjects(frame_->Shaders(), frame_->Stream(), picture_);
    ready_ = true;
    return 0;
}

int RendererGL::Shutdown()
{
    ReleaseGpuObjects();
    device_.Destroy();
    Log("d3dx9 destroy ", HexAddress{this});
    return 0;
}

void RendererGL::ReleaseGpuObjects()
{
    if (device_.Ready()) {
        device_.MakeMainCurrent();
    }
    ready_ = false;
    readback_.reset();
    overlays_.ReleaseGpuObjects();
    resources_.ReleaseAll();
    frame_.reset();
}

void RendererGL::RenderFrame(float)
{
    if (!ready_) {
        return;
    }
    if (sceneShown_) {
        frame_->Render(resources_, overlays_, camera_);
    } else {
        frame_->RenderTextsOnly(overlays_);
    }
    if (readback_) {
        readback_->Queue();
    }
    lastPresentMs_ = device_.Present();
    frame_->ReadPassTimes();
}

std::array<double, RendererGL::kPassCount> RendererGL::LastPassMs() const
{
    return frame_ ? frame_->LastPassMs() : std::array<double, kPassCount>{};
}

void RendererGL::SetPassTiming(bool enabled)
{
    passTiming_ = enabled;
    if (frame_) {
        frame_->SetPassTiming(enabled);
    }
}

void RendererGL::SetLayoutSize(unsigned width, unsigned height)
{
    layoutWidth_ = width;
    layoutHeight_ = height;
}

void RendererGL::SetPictureSize(unsigned width, unsigned height)
{
    pictureWidth_ = width;
    pictureHeight_ = height;
}

void RendererGL::StartCapture()
{
    if (ready_ && !readback_) {
        readback_ = std::make_unique<FrameReadback>(picture_.windowWidth, picture_.windowHeight);
    }
}

const uint8_t* RendererGL::TakeCapturedFrame(bool drain)
{
    return readback_ ? readback_->Take(drain) : nullptr;
}

int RendererGL::CreateMesh(Mesh* mesh) { return resources_.CreateMesh(mesh); }
int RendererGL::ReleaseMesh(Mesh* mesh) { return resources_.ReleaseMesh(mesh); }
int RendererGL::AddRenderInstance(RenderInstance* instance) { return resources_.AddRenderInstance(instance); }
int RendererGL::RemoveRenderInstance(RenderInstance* instance) { return resources_.RemoveRenderInstance(instance); }
int RendererGL::CreateMaterial(Material* material) { return resources_.CreateMaterial(material); }
int RendererGL::ReleaseMaterial(Material* material) { return resources_.ReleaseMaterial(material); }
int RendererGL::AddLight(RenderLight* light) { return resources_.AddLight(light); }
int RendererGL::RemoveLightById(int id) { return resources_.RemoveLightById(id); }
int RendererGL::ReleaseLight(RenderLight* light) { return resources_.ReleaseLight(light); }

int RendererGL::AddTextInstance(TextInstance* text) { return overlays_.AddText(text); }
int RendererGL::RemoveTextInstance(TextInstance* text) { return overlays_.RemoveText(text); }
int RendererGL::AddAuxObject(void* object) { return overlays_.AddAux(object); }
int RendererGL::RemoveAuxObject(void* object) { return overlays_.RemoveAux(object); }
int RendererGL::Reserved17(void*) { return 0; }
int RendererGL::Reserved18(void*) { return 0; }
int RendererGL::AddLineSet(LineSet* lines) { return overlays_.AddLineSet(lines); }
int RendererGL::RemoveLineSet(LineSet* lines) { return overlays_.RemoveLineSet(lines); }

ShaderRecompiled RendererGL::RecompileShader(const std::string& fileName, std::string* error)
{
    if (!frame_) {
        return ShaderRecompiled::kNotAShaderFile;
    }
    switch (frame_->Shaders().Recompile(fileName, error)) {
    case ShaderSet::Recompiled::kSwapped: return ShaderRecompiled::kSwapped;
    case ShaderSet::Recompiled::kFailed: return ShaderRecompiled::kFailed;
    case ShaderSet::Recompiled::kNotAShaderFile: break;
    }
    return ShaderRecompiled::kNotAShaderFile;
}

void RendererGL::SetConsoleLine(unsigned index, const char* text, unsigned length, int colour)
{
    overlays_.SetConsoleLine(index, text, length, colour);
}

int RendererGL::GetConsoleLineCount()
{
    return overlays_.ConsoleLineCount();
}

void RendererGL::SetCameraPosition(Vec3 position)
{
    MatrixTranslation(&camera_.view, position.x, position.y, position.z);
    camera_.position = Vec3{-position.x, -position.y, -position.z};
}

void RendererGL::SetCameraDirection(Vec3 direction)
{
    camera_.direction = direction;
}

void RendererGL::ApplyCameraRotation(const Matrix4* rotation)
{
    if (rotation) {
        MatrixMultiply(&camera_.view, &camera_.view, rotation);
    }
}

void RendererGL::DrawText(std::string text, int x, int y, uint32_t colour)
{
    overlays_.DrawText(text, x, y, colour);
}

void RendererGL::DrawLine2D(int x1, int y1, int x2, int y2, uint32_t colour)
{
    overlays_.DrawLine2D(x1, y1, x2, y2, colour);
}

void RendererGL::DrawRect2D(int x1, int y1, int x2, int y2, uint32_t colour)
{
    overlays_.DrawRect2D(x1, y1, x2, y2, colour);
}

void RendererGL::DrawLine3D(float x1, float y1, float z1, float x2, float y2, float z2, uint32_t colour)
{
    overlays_.DrawLine3D(x1, y1, z1, x2, y2, z2, colour, camera_.view, camera_.projection);
}
