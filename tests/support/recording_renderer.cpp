#include "tests/support/recording_renderer.h"

#include <algorithm>

namespace {

template <typename T>
bool Contains(const std::vector<T*>& list, const T* item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

template <typename T>
int Unlink(std::vector<T*>& list, const T* item)
{
    const auto found = std::find(list.begin(), list.end(), item);
    if (found == list.end()) {
        return -1;
    }
    list.erase(found);
    return 0;
}

}  // namespace

int RecordingRenderer::CreateMesh(Mesh* mesh)
{
    calls.push_back("CreateMesh " + (mesh ? mesh->name : std::string("null")));
    if (mesh) {
        meshes.push_back(mesh);
    }
    return 0;
}

int RecordingRenderer::ReleaseMesh(Mesh* mesh)
{
    calls.push_back("ReleaseMesh");
    return Unlink(meshes, mesh);
}

int RecordingRenderer::AddRenderInstance(RenderInstance* instance)
{
    calls.push_back("AddRenderInstance " + (instance ? instance->materialName : "null"));
    if (!instance || !Contains(meshes, instance->mesh)) {
        return -1;
    }
    instances.insert(instances.begin(), instance);
    return 0;
}

int RecordingRenderer::RemoveRenderInstance(RenderInstance* instance)
{
    calls.push_back("RemoveRenderInstance");
    return Unlink(instances, instance);
}

int RecordingRenderer::CreateMaterial(Material* material)
{
    calls.push_back("CreateMaterial " + (material ? material->name : std::string("null")));
    materials.insert(materials.begin(), material);
    return 0;
}

int RecordingRenderer::AddLight(RenderLight* light)
{
    calls.push_back("AddLight " + (light ? std::to_string(light->id) : std::string("null")));
    if (!light) {
        return -1;
    }
    lights.push_back(light);
    return 0;
}

int RecordingRenderer::ReleaseLight(RenderLight* light)
{
    calls.push_back("ReleaseLight");
    return Unlink(lights, light) == 0 ? 0 : 1;
}

int RecordingRenderer::AddTextInstance(TextInstance* text)
{
    calls.push_back("AddTextInstance");
    if (!text) {
        return -1;
    }
    texts.insert(texts.begin(), text);
    return 0;
}

int RecordingRenderer::RemoveTextInstance(TextInstance* text)
{
    calls.push_back("RemoveTextInstance");
    return Unlink(texts, text);
}

int RecordingRenderer::AddLineSet(LineSet* lines)
{
    calls.push_back("AddLineSet");
    lineSets.push_back(lines);
    return 0;
}

int RecordingRenderer::RemoveLineSet(LineSet* lines)
{
    calls.push_back("RemoveLineSet");
    return Unlink(lineSets, lines);
}

int RecordingRenderer::CountCalls(const std::string& operation) const
{
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const std::string& call) {
        return call.compare(0, operation.size(), operation) == 0 &&
               (call.size() == operation.size() || call[operation.size()] == ' ');
    }));
}
