#pragma once
// A render interface that records every call, for the logic tests of the
// loaders, the registry and the actors. It keeps just enough state to answer
// as the real renderer does: an instance whose mesh was never created is
// refused, unregistered records give -1 (1 for ReleaseLight).

#include <string>
#include <vector>

#include "render/render_interface.h"

class RecordingRenderer : public RenderInterface {
public:
    // Every call as one line: the operation's name and its main argument.
    std::vector<std::string> calls;

    std::vector<Mesh*> meshes;
    std::vector<Material*> materials;
    std::vector<RenderInstance*> instances;
    std::vector<RenderLight*> lights;
    std::vector<TextInstance*> texts;
    std::vector<LineSet*> lineSets;
    std::vector<void*> auxObjects;
    Vec3 cameraPosition;
    Vec3 cameraDirection;
    Matrix4 cameraRotation;
    int frames = 0;

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

    // Calls whose line starts with the given operation name.
    int CountCalls(const std::string& operation) const;
};
