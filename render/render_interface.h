#pragma once
// The renderer as the rest of the system sees it. Exactly one renderer exists;
// the viewport set-up creates it and publishes it through GetRenderer().
// Results: 0 success, -1 failure or "not registered", unless stated.

#include <cstdint>
#include <string>

#include "core/math.h"
#include "render/render_records.h"

class Window;

class RenderInterface {
public:
    RenderInterface();           // writes "ri ctor"
    virtual ~RenderInterface();  // writes "ri dtor"

    RenderInterface(const RenderInterface&) = delete;
    RenderInterface& operator=(const RenderInterface&) = delete;

    // -1: the graphics layer or a shader failed; -2: no device; -3: no font.
    virtual int Init(Window* window) = 0;
    virtual int Shutdown() = 0;
    virtual void RenderFrame(float frameTimeMs) = 0;

    // Always 0; a mesh whose vertex buffer cannot be built is logged and not registered.
    virtual int CreateMesh(Mesh* mesh) = 0;
    virtual int ReleaseMesh(Mesh* mesh) = 0;
    // -1 when the instance's mesh was never created.
    virtual int AddRenderInstance(RenderInstance* instance) = 0;
    virtual int RemoveRenderInstance(RenderInstance* instance) = 0;
    // The largest width and height a material's texture may have; 0 when
    // there is no such limit. The material loader refuses larger pictures.
    virtual uint32_t MaxTextureSide() const { return 0; }
    virtual int CreateMaterial(Material* material) = 0;
    virtual int ReleaseMaterial(Material* material) = 0;
    // -1 when null or when the shadow map cannot be made.
    virtual int AddLight(RenderLight* light) = 0;
    virtual int RemoveLightById(int id) = 0;
    // 1 when the light is not registered.
    virtual int ReleaseLight(RenderLight* light) = 0;

    virtual int AddTextInstance(TextInstance* text) = 0;
    virtual int RemoveTextInstance(TextInstance* text) = 0;
    // A set of opaque pointers that no pass reads; -1 when null or present.
    virtual int AddAuxObject(void* object) = 0;
    virtual int RemoveAuxObject(void* object) = 0;
    // Reserved slots: return 0 and do nothing.
    virtual int Reserved17(void* unused) = 0;
    virtual int Reserved18(void* unused) = 0;
    virtual int AddLineSet(LineSet* lines) = 0;
    virtual int RemoveLineSet(LineSet* lines) = 0;

    virtual void SetConsoleLine(unsigned index, const char* text, unsigned length, int colour) = 0;
    // The window height divided by 16, rounded down.
    virtual int GetConsoleLineCount() = 0;

    // View matrix := translation by the vector; camera position := its negation.
    virtual void SetCameraPosition(Vec3 position) = 0;
    virtual void SetCameraDirection(Vec3 direction) = 0;
    // View matrix := view matrix * rotation.
    virtual void ApplyCameraRotation(const Matrix4* rotation) = 0;

    // Immediate drawing, meaningful only while a frame is being drawn.
    virtual void DrawText(std::string text, int x, int y, uint32_t colour) = 0;
    virtual void DrawLine2D(int x1, int y1, int x2, int y2, uint32_t colour) = 0;
    virtual void DrawRect2D(int x1, int y1, int x2, int y2, uint32_t colour) = 0;
    virtual void DrawLine3D(float x1, float y1, float z1, float x2, float y2, float z2,
                            uint32_t colour) = 0;
};

// The one renderer, once the viewport has made it; null before and after.
RenderInterface* GetRenderer();
void SetRenderer(RenderInterface* renderer);
