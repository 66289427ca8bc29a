// Start-up and shutdown of the GL renderer, its contexts, and the small
// list and camera operations.

#include "render/gl/renderer_gl.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "core/log.h"
#include "platform/message_box.h"
#include "platform/window.h"

namespace {

struct ShaderFile {
    const char* name;
    ShaderProgram::Stage stage;
};

// Compiled in this order; the first failure stops start-up.
constexpr ShaderFile kShaderFiles[kShaderCount] = {
    {"diffuse_shader.psh", ShaderProgram::Stage::kPixel},
    {"lighting_shader.psh", ShaderProgram::Stage::kPixel},
    {"gshader.psh", ShaderProgram::Stage::kPixel},
    {"gshader_nv.psh", ShaderProgram::Stage::kPixel},
    {"mesh_shader.vsh", ShaderProgram::Stage::kVertex},
    {"deffered_shader.psh", ShaderProgram::Stage::kPixel},
    {"2dflat_shader.psh", ShaderProgram::Stage::kPixel},
    {"depth_shader.psh", ShaderProgram::Stage::kPixel},
    {"ovrlay_shader.vsh", ShaderProgram::Stage::kVertex},
    {"prim3d_shader.vsh", ShaderProgram::Stage::kVertex},
    {"mesh_shader_simple.vsh", ShaderProgram::Stage::kVertex},
    {"mesh_shader_nv.vsh", ShaderProgram::Stage::kVertex},
};

constexpr float kFieldOfView = 1.2217305f;  // 70 degrees
constexpr float kNearPlane = 0.05f;
constexpr float kFarPlane = 30.0f;

void DefaultLogHook(const char*, const char*)
{
    LogLine("dummy");
}

// Text is drawn as alpha-blended quads from the font atlas.
constexpr const char* kTextVertexSource = R"(#version 450 core
layout(location = 0) in vec2 inPosition;
layout(location = 1) in vec2 inTexcoord;
uniform vec2 screenSize;
out gl_PerVertex { vec4 gl_Position; };
layout(location = 0) out vec2 texcoord;
void main()
{
    gl_Position = vec4(inPosition.x / screenSize.x * 2.0 - 1.0, 1.0 - inPosition.y / screenSize.y * 2.0, 0.5, 1.0);
    texcoord = inTexcoord;
}
)";

constexpr const char* kTextPixelSource = R"(#version 450 core
layout(location = 0) in vec2 texcoord;
layout(binding = 0) uniform sampler2D atlas;
uniform vec4 colour;
layout(location = 0) out vec4 outColour;
void main()
{
    outColour = vec4(colour.rgb, colour.a * texture(atlas, texcoord).r);
}
)";

GLuint LinkTextProgram()
{
    const GLuint vertex = glCreateShader(GL_VERTEX_SHADER);
    const GLuint pixel = glCreateShader(GL_FRAGMENT_SHADER);
    glShaderSource(vertex, 1, &kTextVertexSource, nullptr);
    glShaderSource(pixel, 1, &kTextPixelSource, nullptr);
    glCompileShader(vertex);
    glCompileShader(pixel);
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, pixel);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(pixel);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

GLuint CreateTarget(GLenum format, unsigned width, unsigned height)
{
    GLuint texture = 0;
    glCreateTextures(GL_TEXTURE_2D, 1, &texture);
    glTextureStorage2D(texture, 1, format, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    glTextureParameteri(texture, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTextureParameteri(texture, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTextureParameteri(texture, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTextureParameteri(texture, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return texture;
}

GLuint CreateSolidTexture(uint8_t r, uint8_t g, uint8_t b)
{
    const uint8_t pixel[4] = {r, g, b, 255};
    GLuint texture = 0;
    glCreateTextures(GL_TEXTURE_2D, 1, &texture);
    glTextureStorage2D(texture, 1, GL_RGBA8, 1, 1);
    glTextureSubImage2D(texture, 0, 0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return texture;
}

GLuint UploadAtlas(const FontAtlas& font)
{
    GLuint texture = 0;
    glCreateTextures(GL_TEXTURE_2D, 1, &texture);
    glTextureStorage2D(texture, 1, GL_R8, font.Width(), font.Height());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTextureSubImage2D(texture, 0, 0, 0, font.Width(), font.Height(), GL_RED, GL_UNSIGNED_BYTE,
                        font.Pixels());
    glTextureParameteri(texture, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTextureParameteri(texture, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTextureParameteri(texture, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTextureParameteri(texture, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return texture;
}

}  // namespace

RendererGL::RendererGL() : logHook_(DefaultLogHook)
{
    MatrixIdentity(&projection_);
    MatrixIdentity(&view_);
}

RendererGL::~RendererGL()
{
    // The registered records belong to their callers; only the lists go.
    // GPU objects left behind (a failed start-up, no Shutdown) go with the
    // contexts.
    DestroyContexts();
    for (RenderInstance* instance : instances_) {
        delete instance->modelMatrix;
        instance->modelMatrix = nullptr;
        instance->gpuMesh = nullptr;
    }
    for (RenderLight* light : lights_) {
        delete light->shadowMap;
        light->shadowMap = nullptr;
    }
    meshes_.clear();
    materials_.clear();
    instances_.clear();
    lights_.clear();
    texts_.clear();
    lineSets_.clear();
}

int RendererGL::Init(Window* window)
{
    if (!window || !window->handle || SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return -1;
    }
    width_ = window->width;
    height_ = window->height;
    window_ = window;
    sdlWindow_ = window->handle.get();
    mainThread_ = std::this_thread::get_id();

    if (CreateContexts() != 0) {
        return -2;
    }
    Log("Adapter 0: ", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    initialised_ = true;
    window->Show();

    smallFont_ = FontAtlas::Create("Tahoma", 16);
    if (!smallFont_) {
        return -3;
    }
    largeFont_ = FontAtlas::Create("Consolas", 64);
    if (!largeFont_) {
        return -3;
    }
    console_.assign(height_ / 16, ConsoleLine{});

    if (CompileShaders() != 0) {
        return -1;
    }
    MatrixPerspectiveFovLH(&projection_, kFieldOfView,
                           static_cast<float>(width_) / static_cast<float>(height_), kNearPlane,
                           kFarPlane);
    scaleX_ = projection_.m[0][0];
    scaleY_ = projection_.m[1][1];
    Log("scaleX = ", scaleX_, " scaleY = ", scaleY_);
    MatrixIdentity(&view_);
    glDisable(GL_CULL_FACE);
    CreateTargets();
    CreateFixedObjects();
    return 0;
}

int RendererGL::CreateContexts()
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
    mainContext_ = SDL_GL_CreateContext(sdlWindow_);
    if (!mainContext_) {
        return -1;
    }
    if (epoxy_gl_version() < 45) {
        SDL_GL_DeleteContext(mainContext_);
        mainContext_ = nullptr;
        return -1;
    }
    SDL_GL_SetSwapInterval(0);
    // The loading thread's context: made here, on the main thread, against a
    // hidden window, sharing objects with the main context.
    loaderWindow_ = CreateHiddenGlWindow("loader", 1, 1);
    if (loaderWindow_) {
        SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
        loaderContext_ = SDL_GL_CreateContext(loaderWindow_.get());
        SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
    }
    SDL_GL_MakeCurrent(sdlWindow_, mainContext_);
    // Left-handed projections with depth 0..1 are used as they are.
    glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
    glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
    return 0;
}

bool RendererGL::OnMainThread() const
{
    return std::this_thread::get_id() == mainThread_;
}

namespace {

// Releases the loading thread's context when that thread ends, so that a
// later thread can take it.
struct ThreadContext {
    SDL_Window* window = nullptr;
    ~ThreadContext()
    {
        if (window) {
            SDL_GL_MakeCurrent(window, nullptr);
        }
    }
};

thread_local ThreadContext threadContext;

}  // namespace

void RendererGL::MakeThreadContextCurrent()
{
    if (OnMainThread() || SDL_GL_GetCurrentContext() != nullptr || !loaderContext_) {
        return;
    }
    std::lock_guard<std::mutex> lock(loaderContextMutex_);
    if (SDL_GL_MakeCurrent(loaderWindow_.get(), loaderContext_) == 0) {
        threadContext.window = loaderWindow_.get();
    }
}

void RendererGL::PublishUploads()
{
    if (OnMainThread()) {
        return;  // the main context orders its own commands
    }
    // The main context may use the objects only once the uploads are done.
    GLsync fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    glClientWaitSync(fence, GL_SYNC_FLUSH_COMMANDS_BIT, 5'000'000'000ull);
    glDeleteSync(fence);
}

int RendererGL::CompileShaders()
{
    for (int slot = 0; slot < kShaderCount; ++slot) {
        std::string errors;
        if (!shaders_[slot].CompileFile(kShaderFiles[slot].name, kShaderFiles[slot].stage, errors)) {
            const bool vertex = kShaderFiles[slot].stage == ShaderProgram::Stage::kVertex;
            ShowMessageBox(vertex ? "VShaderFailed" : "PShaderError", errors);
            return -1;
        }
    }
    return 0;
}

void RendererGL::CreateTargets()
{
    targets_.diffuse = CreateTarget(GL_RGBA8, width_, height_);
    targets_.normal = CreateTarget(GL_RGBA16F, width_, height_);
    // World positions: 32-bit floats keep the shadow test steady far from the
    // camera, where half floats would band.
    targets_.depth = CreateTarget(GL_RGBA32F, width_, height_);
    targets_.emissive = CreateTarget(GL_RGBA8, width_, height_);
    targets_.lighting = CreateTarget(GL_RGBA8, width_, height_);
    targets_.specular = CreateTarget(GL_RGBA8, width_, height_);

    glCreateRenderbuffers(1, &targets_.depthBuffer);
    glNamedRenderbufferStorage(targets_.depthBuffer, GL_DEPTH_COMPONENT16, static_cast<GLsizei>(width_),
                               static_cast<GLsizei>(height_));
    glCreateRenderbuffers(1, &targets_.shadowDepthBuffer);
    glNamedRenderbufferStorage(targets_.shadowDepthBuffer, GL_DEPTH_COMPONENT24, kShadowMapSize,
                               kShadowMapSize);

    glCreateFramebuffers(1, &targets_.geometryFbo);
    const GLuint geometry[4] = {targets_.diffuse, targets_.normal, targets_.depth, targets_.emissive};
    for (GLuint i = 0; i < 4; ++i) {
        glNamedFramebufferTexture(targets_.geometryFbo, GL_COLOR_ATTACHMENT0 + i, geometry[i], 0);
    }
    glNamedFramebufferRenderbuffer(targets_.geometryFbo, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                   targets_.depthBuffer);

    glCreateFramebuffers(1, &targets_.lightingFbo);
    glNamedFramebufferTexture(targets_.lightingFbo, GL_COLOR_ATTACHMENT0, targets_.lighting, 0);
    glNamedFramebufferTexture(targets_.lightingFbo, GL_COLOR_ATTACHMENT1, targets_.specular, 0);

    glCreateFramebuffers(1, &targets_.shadowFbo);
    glNamedFramebufferRenderbuffer(targets_.shadowFbo, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                   targets_.shadowDepthBuffer);
}

void RendererGL::CreateFixedObjects()
{
    glCreateProgramPipelines(1, &pipeline_);
    glCreateVertexArrays(1, &vertexArray_);
    glCreateBuffers(1, &streamBuffer_);
    textProgram_ = LinkTextProgram();
    // What a material without a picture shows: white, and flat normals.
    whiteTexture_ = CreateSolidTexture(255, 255, 255);
    flatNormalTexture_ = CreateSolidTexture(127, 127, 255);
    smallAtlas_ = UploadAtlas(*smallFont_);
    largeAtlas_ = UploadAtlas(*largeFont_);
    glCreateQueries(GL_TIME_ELAPSED, static_cast<GLsizei>(passQueries_.size()), passQueries_.data());
}

int RendererGL::Shutdown()
{
    if (initialised_) {
        SDL_GL_MakeCurrent(sdlWindow_, mainContext_);
        ReleaseGpuObjects();
        initialised_ = false;
    }
    DestroyContexts();
    Log("d3dx9 destroy ", HexAddress{this});
    return 0;
}

void RendererGL::DestroyContexts()
{
    if (loaderContext_) {
        SDL_GL_DeleteContext(loaderContext_);
        loaderContext_ = nullptr;
    }
    loaderWindow_.reset();
    if (mainContext_) {
        SDL_GL_MakeCurrent(sdlWindow_, nullptr);
        SDL_GL_DeleteContext(mainContext_);
        mainContext_ = nullptr;
    }
}

void RendererGL::ReleaseGpuObjects()
{
    for (ShaderProgram& shader : shaders_) {
        shader.Release();
    }
    for (GpuMesh& mesh : meshes_) {
        glDeleteBuffers(1, &mesh.buffer);
    }
    for (GpuMaterial& material : materials_) {
        glDeleteTextures(1, &material.diffuse);
        glDeleteTextures(1, &material.normal);
    }
    const GLuint textures[] = {targets_.diffuse, targets_.normal,   targets_.depth,
                               targets_.emissive, targets_.lighting, targets_.specular,
                               whiteTexture_,     flatNormalTexture_, smallAtlas_, largeAtlas_};
    glDeleteTextures(static_cast<GLsizei>(std::size(textures)), textures);
    const GLuint renderbuffers[] = {targets_.depthBuffer, targets_.shadowDepthBuffer};
    glDeleteRenderbuffers(2, renderbuffers);
    const GLuint framebuffers[] = {targets_.geometryFbo, targets_.lightingFbo, targets_.shadowFbo};
    glDeleteFramebuffers(3, framebuffers);
    glDeleteProgramPipelines(1, &pipeline_);
    glDeleteVertexArrays(1, &vertexArray_);
    glDeleteBuffers(1, &streamBuffer_);
    glDeleteProgram(textProgram_);
    glDeleteQueries(static_cast<GLsizei>(passQueries_.size()), passQueries_.data());
}

void RendererGL::SetLogHook(LogHook hook)
{
    logHook_ = hook ? hook : DefaultLogHook;
}

int RendererGL::AddTextInstance(TextInstance* text)
{
    if (!text) {
        return -1;
    }
    std::lock_guard<std::mutex> lock(overlayLock_);
    texts_.push_front(text);
    return 0;
}

int RendererGL::RemoveTextInstance(TextInstance* text)
{
    std::lock_guard<std::mutex> lock(overlayLock_);
    const auto found = std::find(texts_.begin(), texts_.end(), text);
    if (found == texts_.end()) {
        return -1;
    }
    texts_.erase(found);
    return 0;
}

int RendererGL::AddAuxObject(void* object)
{
    std::lock_guard<std::mutex> lock(overlayLock_);
    if (!object || std::find(auxObjects_.begin(), auxObjects_.end(), object) != auxObjects_.end()) {
        return -1;
    }
    auxObjects_.push_back(object);
    return 0;
}

int RendererGL::RemoveAuxObject(void* object)
{
    std::lock_guard<std::mutex> lock(overlayLock_);
    const auto found = std::find(auxObjects_.begin(), auxObjects_.end(), object);
    if (found == auxObjects_.end()) {
        return -1;
    }
    auxObjects_.erase(found);
    return 0;
}

int RendererGL::Reserved17(void*)
{
    return 0;
}

int RendererGL::Reserved18(void*)
{
    return 0;
}

int RendererGL::AddLineSet(LineSet* lines)
{
    std::lock_guard<std::mutex> lock(overlayLock_);
    lineSets_.push_back(lines);
    return 0;
}

int RendererGL::RemoveLineSet(LineSet* lines)
{
    std::lock_guard<std::mutex> lock(overlayLock_);
    const auto found = std::find(lineSets_.begin(), lineSets_.end(), lines);
    if (found == lineSets_.end()) {
        return -1;
    }
    lineSets_.erase(found);
    return 0;
}

void RendererGL::SetConsoleLine(unsigned index, const char* text, unsigned length, int colour)
{
    if (index >= console_.size() || length >= sizeof(ConsoleLine::text) || !text) {
        return;
    }
    ConsoleLine& line = console_[index];
    line.colour = colour;
    line.length = length;
    // At most 79 characters and the terminator: a longer text is cut.
    const size_t copied = strnlen(text, sizeof(line.text) - 1);
    std::memcpy(line.text, text, copied);
    line.text[copied] = '\0';
}

int RendererGL::GetConsoleLineCount()
{
    return static_cast<int>(console_.size());
}

void RendererGL::SetCameraPosition(Vec3 position)
{
    MatrixTranslation(&view_, position.x, position.y, position.z);
    cameraPosition_ = Vec3{-position.x, -position.y, -position.z};
}

void RendererGL::SetCameraDirection(Vec3 direction)
{
    cameraDirection_ = direction;
}

void RendererGL::ApplyCameraRotation(const Matrix4* rotation)
{
    if (rotation) {
        MatrixMultiply(&view_, &view_, rotation);
    }
}
