#pragma once
// A renderer that records the registrations the loaders, the registry and the
// actors make, for their logic tests: every call as a line, and the records
// it currently holds. Null records are refused, as the real renderer does.

#include <algorithm>
#include <string>
#include <vector>

#include "render/null_renderer.h"

class RecordingRenderer : public NullRenderer {
public:
    // Every recorded call as one line: the operation's name and its main argument.
    std::vector<std::string> calls;

    std::vector<RenderInstance*> instances;
    std::vector<RenderLight*> lights;
    std::vector<TextInstance*> texts;
    std::vector<LineSet*> lineSets;

    // The texture limit it states; 0: none.
    uint32_t maxTextureSide = 0;
    uint32_t MaxTextureSide() const override { return maxTextureSide; }

    int CreateMesh(Mesh* mesh) override { return Note("CreateMesh " + (mesh ? mesh->name : "null")); }
    int CreateMaterial(Material* m) override { return Note("CreateMaterial " + (m ? m->name : "null")); }
    int AddRenderInstance(RenderInstance* instance) override
    {
        return Link("AddRenderInstance " + (instance ? instance->materialName : "null"), instances, instance);
    }
    int RemoveRenderInstance(RenderInstance* instance) override
    {
        return Unlink("RemoveRenderInstance", instances, instance);
    }
    int AddLight(RenderLight* light) override
    {
        return Link("AddLight " + (light ? std::to_string(light->id) : "null"), lights, light);
    }
    // 1 for a light that is not registered, as the real renderer answers.
    int ReleaseLight(RenderLight* light) override { return Unlink("ReleaseLight", lights, light) == 0 ? 0 : 1; }
    int AddTextInstance(TextInstance* text) override { return Link("AddTextInstance", texts, text); }
    int RemoveTextInstance(TextInstance* text) override { return Unlink("RemoveTextInstance", texts, text); }
    int AddLineSet(LineSet* lines) override { return Link("AddLineSet", lineSets, lines); }
    int RemoveLineSet(LineSet* lines) override { return Unlink("RemoveLineSet", lineSets, lines); }

    // Calls whose line starts with the given operation name.
    int CountCalls(const std::string& operation) const
    {
        return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const std::string& call) {
            return call == operation || call.rfind(operation + " ", 0) == 0;
        }));
    }

private:
    int Note(const std::string& call)
    {
        calls.push_back(call);
        return 0;
    }
    template <typename T>
    int Link(const std::string& call, std::vector<T*>& list, T* item)
    {
        calls.push_back(call);
        return item ? (list.push_back(item), 0) : -1;
    }
    template <typename T>
    int Unlink(const std::string& call, std::vector<T*>& list, T* item)
    {
        calls.push_back(call);
        const auto found = std::find(list.begin(), list.end(), item);
        return found == list.end() ? -1 : (list.erase(found), 0);
    }
};
