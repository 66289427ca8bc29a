#pragma once
// A renderer that draws nothing: every operation succeeds and keeps nothing
// of the scene, so the loading thread and the main thread may both call it.
// Benchmarks measure the world with it, and the tests' recording renderer
// builds on it. Beside the render interface it does what the app asks of a
// show's renderer in a way a test can read back: captured frames are a
// counter pattern, reloads are recorded, console lines are kept. Those are
// main-thread operations, as on the real renderer.

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "render/show_renderer.h"

class NullRenderer : public ShowRenderer {
public:
    // The picture's size until SetPictureSize says otherwise.
    static constexpr unsigned kDefaultWidth = 160;
    static constexpr unsigned kDefaultHeight = 90;

    int Init(Window*) override { return 0; }
    const std::string& InitFailure() const override { return initFailure_; }
    int Shutdown() override { return 0; }
    // While capturing, the frame drawn is read back (see TakeCapturedFrame).
    void RenderFrame(float) override;

    int CreateMesh(Mesh*) override { return 0; }
    int ReleaseMesh(Mesh*) override { return 0; }
    int AddRenderInstance(RenderInstance*) override { return 0; }
    int RemoveRenderInstance(RenderInstance*) override { return 0; }
    int CreateMaterial(Material*) override { return 0; }
    int ReleaseMaterial(Material*) override { return 0; }
    int AddLight(RenderLight*) override { return 0; }
    int RemoveLightById(int) override { return 0; }
    int ReleaseLight(RenderLight*) override { return 0; }

    int AddTextInstance(TextInstance*) override { return 0; }
    int RemoveTextInstance(TextInstance*) override { return 0; }
    int AddAuxObject(void*) override { return 0; }
    int RemoveAuxObject(void*) override { return 0; }
    int Reserved17(void*) override { return 0; }
    int Reserved18(void*) override { return 0; }
    int AddLineSet(LineSet*) override { return 0; }
    int RemoveLineSet(LineSet*) override { return 0; }

    // The lines are kept; there are picture height / 16 of them.
    void SetConsoleLine(unsigned index, const char* text, unsigned length, int colour) override;
    int GetConsoleLineCount() override { return static_cast<int>(pictureHeight_ / 16); }
    // The text of a console line; empty for one never set or out of range.
    std::string ConsoleLine(unsigned index) const;

    void SetCameraPosition(Vec3) override {}
    void SetCameraDirection(Vec3) override {}
    void ApplyCameraRotation(const Matrix4*) override {}

    void DrawText(std::string, int, int, uint32_t) override {}
    void DrawLine2D(int, int, int, int, uint32_t) override {}
    void DrawRect2D(int, int, int, int, uint32_t) override {}
    void DrawLine3D(float, float, float, float, float, float, uint32_t) override {}

    void SetLayoutSize(unsigned, unsigned) override {}
    void SetPictureSize(unsigned width, unsigned height) override;
    void SetSceneShown(bool shown) override { sceneShown_ = shown; }
    bool SceneShown() const { return sceneShown_; }

    void StartCapture() override { capturing_ = true; }
    // Frame n drawn since StartCapture is every byte n % 256 but alpha,
    // which is 255. The newest frame stays in flight until the next is
    // drawn or a drain asks for it, as read-backs do on a GPU.
    const uint8_t* TakeCapturedFrame(bool drain = false) override;
    unsigned CapturedWidth() const override { return pictureWidth_; }
    unsigned CapturedHeight() const override { return pictureHeight_; }

    // Every file asked for is recorded and swaps, unless FailShader named it.
    ShaderRecompiled RecompileShader(const std::string& fileName, std::string* error) override;
    int ReloadMesh(Mesh* mesh) override;
    int ReloadMaterial(Material* material) override;
    // From now on the file does not compile, with this compiler text; an
    // empty text mends it.
    void FailShader(const std::string& fileName, const std::string& compilerText);
    // What was reloaded, in order: shader file names, mesh and material names.
    const std::vector<std::string>& RecompiledShaders() const { return recompiledShaders_; }
    const std::vector<std::string>& ReloadedMeshes() const { return reloadedMeshes_; }
    const std::vector<std::string>& ReloadedMaterials() const { return reloadedMaterials_; }

private:
    std::string initFailure_;
    unsigned pictureWidth_ = kDefaultWidth;
    unsigned pictureHeight_ = kDefaultHeight;
    bool sceneShown_ = true;
    std::vector<std::string> consoleLines_;

    bool capturing_ = false;
    unsigned framesCaptured_ = 0;
    std::deque<std::vector<uint8_t>> inFlight_;
    std::vector<uint8_t> taken_;

    std::map<std::string, std::string> failingShaders_;
    std::vector<std::string> recompiledShaders_;
    std::vector<std::string> reloadedMeshes_;
    std::vector<std::string> reloadedMaterials_;
};
