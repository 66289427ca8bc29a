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

int RecordingRenderer::Init(Window*)
{
    calls.push_back("Init");
    return 0;
}

int RecordingRenderer::Shutdown()
{
    calls.push_back("Shutdown");
    return 0;
}

void RecordingRenderer::RenderFrame(float)
{
    calls.push_back("RenderFrame");
    ++frames;
}

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

int RecordingRenderer::ReleaseMaterial(Material* material)
{
    calls.push_back("ReleaseMaterial");
    return Unlink(materials, material);
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

int RecordingRenderer::RemoveLightById(int id)
{
    calls.push_back("RemoveLightById " + std::to_string(id));
    for (auto it = lights.begin(); it != lights.end(); ++it) {
        if ((*it)->id == id) {
            lights.erase(it);
            return 0;
        }
    }
    return -1;
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

int RecordingRenderer::AddAuxObject(void* object)
{
    calls.push_back("AddAuxObject");
    if (!object || Contains(auxObjects, object)) {
        return -1;
    }
    auxObjects.push_back(object);
    return 0;
}

int RecordingRenderer::RemoveAuxObject(void* object)
{
    calls.push_back("RemoveAuxObject");
    return Unlink(auxObjects, object);
}

int RecordingRenderer::Reserved17(void*)
{
    calls.push_back("Reserved17");
    return 0;
}

int RecordingRenderer::Reserved18(void*)
{
    calls.push_back("Reserved18");
    return 0;
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

void RecordingRenderer::SetConsoleLine(unsigned index, const char* text, unsigned length, int)
{
    calls.push_back("SetConsoleLine " + std::to_string(index) + " " +
                    std::string(text ? text : "", text ? length : 0));
}

int RecordingRenderer::GetConsoleLineCount()
{
    calls.push_back("GetConsoleLineCount");
    return 1080 / 16;
}

void RecordingRenderer::SetCameraPosition(Vec3 position)
{
    calls.push_back("SetCameraPosition");
    cameraPosition = position;
}

void RecordingRenderer::SetCameraDirection(Vec3 direction)
{
    calls.push_back("SetCameraDirection");
    cameraDirection = direction;
}

void RecordingRenderer::ApplyCameraRotation(const Matrix4* rotation)
{
    calls.push_back("ApplyCameraRotation");
    if (rotation) {
        cameraRotation = *rotation;
    }
}

void RecordingRenderer::DrawText(std::string text, int, int, uint32_t)
{
    calls.push_back("DrawText " + text);
}

void RecordingRenderer::DrawLine2D(int, int, int, int, uint32_t)
{
    calls.push_back("DrawLine2D");
}

void RecordingRenderer::DrawRect2D(int, int, int, int, uint32_t)
{
    calls.push_back("DrawRect2D");
}

void RecordingRenderer::DrawLine3D(float, float, float, float, float, float, uint32_t)
{
    calls.push_back("DrawLine3D");
}

int RecordingRenderer::CountCalls(const std::string& operation) const
{
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const std::string& call) {
        return call.compare(0, operation.size(), operation) == 0 &&
               (call.size() == operation.size() || call[operation.size()] == ' ');
    }));
}
