#pragma once
// A renderer that draws nothing: every operation succeeds and keeps nothing.
// Benchmarks measure the world with it, and the tests' recording renderer
// builds on it.

#include "render/render_interface.h"

class NullRenderer : public RenderInterface {
public:
    int Init(Window*) override { return 0; }
    int Shutdown() override { return 0; }
    void RenderFrame(float) override {}

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

    void SetConsoleLine(unsigned, const char*, unsigned, int) override {}
    int GetConsoleLineCount() override { return 0; }

    void SetCameraPosition(Vec3) override {}
    void SetCameraDirection(Vec3) override {}
    void ApplyCameraRotation(const Matrix4*) override {}

    void DrawText(std::string, int, int, uint32_t) override {}
    void DrawLine2D(int, int, int, int, uint32_t) override {}
    void DrawRect2D(int, int, int, int, uint32_t) override {}
    void DrawLine3D(float, float, float, float, float, float, uint32_t) override {}
};
