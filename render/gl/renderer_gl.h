#pragma once
// The renderer on OpenGL 4.5 core: a deferred frame (geometry into four
// targets, a cube shadow map per light, additive lighting, composition), text
// over it, and the resources the loading thread registers while frames are
// drawn. The loading thread creates GPU objects through a context of its own
// that shares objects with the main one; every upload is fenced before the
// record is published.

#include <epoxy/gl.h>

#include <array>
#include <chrono>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/sdl_window.h"
#include "render/gl/font_atlas.h"
#include "render/gl/gl_shader_program.h"
#include "render/render_interface.h"

struct SDL_Window;

// Attributes of a mesh's vertex buffer, in packing order, present only when
// the mesh has the array: position, normal, texture coordinate, tangent,
// binormal.
struct VertexLayout {
    struct Attribute {
        GLuint location;
        GLint components;
        GLuint offset;
    };
    std::array<Attribute, 5> attributes{};
    int count = 0;
    GLuint stride = 0;
};

struct GpuMesh {
    Mesh* source = nullptr;
    std::string name;
    GLuint buffer = 0;
    VertexLayout layout;
    uint32_t vertexCount = 0;
};

struct GpuCubeMap {
    GLuint texture = 0;
};

struct GpuMaterial {
    std::string name;
    GLuint diffuse = 0;
    GLuint normal = 0;
    Material* source = nullptr;
};

// The twelve shader files, in the order they are compiled.
enum ShaderSlot : int {
    kDiffuseShader,
    kLightingShader,
    kGeometryShader,
    kGeometryLinesShader,
    kMeshShader,
    kDeferredShader,
    kFlat2dShader,
    kDepthShader,
    kOverlayShader,
    kPrim3dShader,
    kMeshSimpleShader,
    kMeshLinesShader,
    kShaderCount,
};

class RendererGL : public RenderInterface {
public:
    static constexpr int kShadowMapSize = 512;
    static constexpr auto kRegistrationWait = std::chrono::milliseconds(1000);
    static constexpr auto kFrameWait = std::chrono::milliseconds(4000);

    RendererGL();
    ~RendererGL() override;

    int Init(Window* window) override;
    int Shutdown() override;
    void RenderFrame(float frameTimeMs) override;

    int CreateMesh(Mesh* mesh) override;
    int ReleaseMesh(Mesh* mesh) override;
    int AddRenderInstance(RenderInstance* instance) override;
    int RemoveRenderInstance(RenderInstance* instance) override;
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

    // Milliseconds the last present took.
    double LastPresentMs() const { return lastPresentMs_; }
    // The passes of a frame, in order.
    enum Pass : int { kGeometryPass, kShadowPass, kLightingPass, kCompositionPass, kTextPass, kPassCount };
    // Milliseconds each pass of the last frame took (GPU timer queries,
    // waited for after the present), indexed by Pass; only while pass
    // timing is on.
    std::array<double, kPassCount> LastPassMs() const { return lastPassMs_; }
    void SetPassTiming(bool enabled) { passTiming_ = enabled; }

    // The replaceable hook through which ReleaseMesh reports what it releases.
    using LogHook = void (*)(const char* format, const char* name);
    void SetLogHook(LogHook hook);

private:
    struct ConsoleLine {
        char text[80] = {};
        unsigned length = 0;
        int colour = 0;
    };
    struct Targets {
        GLuint diffuse = 0, normal = 0, depth = 0, emissive = 0, lighting = 0, specular = 0;
        GLuint depthBuffer = 0, shadowDepthBuffer = 0;
        GLuint geometryFbo = 0, lightingFbo = 0, shadowFbo = 0;
    };

    // Device and context
    int CreateContexts();
    void DestroyContexts();
    void MakeThreadContextCurrent();
    void PublishUploads();
    bool OnMainThread() const;
    // Start-up pieces
    int CompileShaders();
    void CreateTargets();
    void CreateFixedObjects();
    void ReleaseGpuObjects();

    // Resources
    static VertexLayout LayoutFor(const Mesh& mesh);
    static void PackVertices(const Mesh& mesh, const VertexLayout& layout, std::vector<float>& out);
    GLuint CreateTexture(const Material& material, const uint8_t* pixels);
    GLuint CreateCubeMap();

    // Frame passes
    void UpdateInstances();
    void GeometryPass();
    void DrawLineSets();
    void ShadowPass();
    void LightingPass();
    void CompositionPass();
    void TextPass();
    void Present();
    void BindMesh(const GpuMesh& mesh);
    void DrawInstances(ShaderProgram& vertexShader, const Matrix4& view, bool shadow);
    const GpuMaterial* FindMaterialByName(const std::string& name) const;
    void UseShaders(ShaderSlot vertex, ShaderSlot pixel);
    void DrawScreenQuad();
    void DrawText(const FontAtlas& font, GLuint atlas, const char* text, int x, int y, uint32_t colour);
    // Vertices drawn from memory: world positions (x, y, z); screen pixels
    // (x, y, z, rhw) with a texture coordinate (u, v); or screen pixels with
    // a colour (r, g, b, a).
    enum class UserVertexFormat { kPosition, kScreenTextured, kScreenColoured };
    void DrawUserVertices(GLenum mode, const float* data, int count, UserVertexFormat format);
    void BeginPassTimer(int pass);
    void EndPassTimer();

    // Window and contexts
    Window* window_ = nullptr;
    SDL_Window* sdlWindow_ = nullptr;
    void* mainContext_ = nullptr;
    SdlWindowPtr loaderWindow_;
    void* loaderContext_ = nullptr;
    std::thread::id mainThread_;
    std::mutex loaderContextMutex_;
    bool initialised_ = false;

    unsigned width_ = 0;
    unsigned height_ = 0;
    Matrix4 projection_;
    Matrix4 view_;
    Vec3 cameraPosition_;
    Vec3 cameraDirection_;
    float scaleX_ = 0.0f;
    float scaleY_ = 0.0f;

    std::array<ShaderProgram, kShaderCount> shaders_;
    GLuint pipeline_ = 0;
    GLuint vertexArray_ = 0;
    GLuint streamBuffer_ = 0;
    GLsizeiptr streamBufferBytes_ = 0;
    GLuint textProgram_ = 0;
    GLuint whiteTexture_ = 0;
    GLuint flatNormalTexture_ = 0;
    Targets targets_;

    std::unique_ptr<FontAtlas> smallFont_;
    std::unique_ptr<FontAtlas> largeFont_;
    GLuint smallAtlas_ = 0;
    GLuint largeAtlas_ = 0;

    std::vector<ConsoleLine> console_;

    // The four scene lists, each with its lock.
    std::timed_mutex lightLock_;
    std::timed_mutex meshLock_;
    std::timed_mutex materialLock_;
    std::timed_mutex instanceLock_;
    std::vector<RenderLight*> lights_;
    std::list<GpuMesh> meshes_;
    std::list<GpuMaterial> materials_;
    std::list<RenderInstance*> instances_;

    // Overlay lists, changed by the loading thread while frames are drawn:
    // guarded for the short time of a change and of the passes that read them.
    std::mutex overlayLock_;
    std::list<TextInstance*> texts_;
    std::list<LineSet*> lineSets_;
    std::vector<void*> auxObjects_;

    LogHook logHook_;
    std::vector<float> scratch_;
    double lastPresentMs_ = 0.0;
    bool passTiming_ = false;
    std::array<GLuint, kPassCount> passQueries_{};
    std::array<double, kPassCount> lastPassMs_{};
    int currentPass_ = -1;
};
