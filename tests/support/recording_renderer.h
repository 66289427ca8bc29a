#pragma once
// A renderer that records the registrations the loaders, the registry and the
// actors make, for their logic tests. It keeps just enough state to answer as
// the real renderer does: an instance whose mesh was never created is
// refused, unregistered records give -1 (1 for ReleaseLight).

#include <string>
#include <vector>

#include "render/null_renderer.h"

class RecordingRenderer : public NullRenderer {
public:
    // Every recorded call as one line: the operation's name and its main argument.
    std::vector<std::string> calls;

    std::vector<Mesh*> meshes;
    std::vector<Material*> materials;
    std::vector<RenderInstance*> instances;
    std::vector<RenderLight*> lights;
    std::vector<TextInstance*> texts;
    std::vector<LineSet*> lineSets;

    int CreateMesh(Mesh* mesh) override;
    int ReleaseMesh(Mesh* mesh) override;
    int AddRenderInstance(RenderInstance* instance) override;
    int RemoveRenderInstance(RenderInstance* instance) override;
    int CreateMaterial(Material* material) override;
    int AddLight(RenderLight* light) override;
    int ReleaseLight(RenderLight* light) override;
    int AddTextInstance(TextInstance* text) override;
    int RemoveTextInstance(TextInstance* text) override;
    int AddLineSet(LineSet* lines) override;
    int RemoveLineSet(LineSet* lines) override;

    // Calls whose line starts with the given operation name.
    int CountCalls(const std::string& operation) const;
};
