#include "app/live_edit.h"

#include <algorithm>

#include "app/event_triggers.h"
#include "core/log.h"
#include "core/process_state.h"
#include "render/gl/renderer_gl.h"
#include "scene/behaviour_reload.h"
#include "scene/material_loader.h"
#include "scene/mesh_loader.h"
#include "world/world.h"

namespace {

// Where the resource files lie, as the file manager's search paths say.
constexpr char kTextureFolder[] = "tex/";
constexpr char kTextureExtension[] = ".bmp";
constexpr char kModelFolder[] = "model/";
constexpr char kModelExtension[] = ".obj";
constexpr char kNormalMapSuffix[] = "_normal";

// Console lines hold 79 characters.
constexpr size_t kConsoleLineLength = 79;
constexpr int kMessageColour = static_cast<int>(0xFFFFFF40u);  // yellow

SceneFileCheck& ChangedSceneCheck()
{
    static SceneFileCheck check;
    return check;
}

bool StartsWith(const std::string& text, std::string_view prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const std::string& text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The name between a folder prefix and an extension; empty when the path is
// not of that form (or lies in a folder below).
std::string NameBetween(const std::string& path, std::string_view folder, std::string_view extension)
{
    if (!StartsWith(path, folder) || !EndsWith(path, extension)) {
        return {};
    }
    std::string name = path.substr(folder.size(), path.size() - folder.size() - extension.size());
    return name.find('/') == std::string::npos ? name : std::string{};
}

}  // namespace

ChangedFile ClassifyChangedFile(const std::string& path, const std::string& sceneFile)
{
    if (path == sceneFile) {
        return {ChangedFileKind::kScene, path};
    }
    if (path.find('/') == std::string::npos && (EndsWith(path, ".psh") || EndsWith(path, ".vsh"))) {
        return {ChangedFileKind::kShader, path};
    }
    if (std::string name = NameBetween(path, kTextureFolder, kTextureExtension); !name.empty()) {
        return {ChangedFileKind::kTexture, name};
    }
    if (std::string name = NameBetween(path, kModelFolder, kModelExtension); !name.empty()) {
        return {ChangedFileKind::kMesh, name};
    }
    return {};
}

void SetChangedSceneCheck(SceneFileCheck check)
{
    ChangedSceneCheck() = std::move(check);
}

LiveEdit::LiveEdit(std::string sceneFile) : sceneFile_(std::move(sceneFile))
{
    if (!watcher_.Usable()) {
        LogLine("Cannot watch the production's files: changes will not show");
        return;
    }
    watcher_.Watch("");
    watcher_.Watch(kTextureFolder);
    watcher_.Watch(kModelFolder);
    LogLine("Watching the production's files");
}

void LiveEdit::ApplyChanges(RendererGL& renderer)
{
    for (const std::string& path : watcher_.Poll()) {
        const ChangedFile changed = ClassifyChangedFile(path, sceneFile_);
        switch (changed.kind) {
        case ChangedFileKind::kScene: ReloadScene(); break;
        case ChangedFileKind::kShader: ReloadShader(renderer, changed.name); break;
        case ChangedFileKind::kTexture: ReloadTexture(renderer, changed.name); break;
        case ChangedFileKind::kMesh: ReloadMesh(renderer, changed.name); break;
        case ChangedFileKind::kIgnored: break;
        }
    }
}

void LiveEdit::ReloadShader(RendererGL& renderer, const std::string& fileName)
{
    std::string error;
    switch (renderer.RecompileShader(fileName, &error)) {
    case ShaderSet::Recompiled::kNotAShaderFile:
        return;
    case ShaderSet::Recompiled::kFailed:
        Log("Shader ", fileName, " does not compile at show time ", demoTime, " s; the old one stays: ", error);
        ShowOnConsole(renderer, error);
        failedShader_ = fileName;
        return;
    case ShaderSet::Recompiled::kSwapped:
        Log("Reloaded ", fileName, " at show time ", demoTime, " s");
        if (fileName == failedShader_) {
            ClearConsole(renderer);
        }
        return;
    }
}

void LiveEdit::ReloadTexture(RendererGL& renderer, const std::string& name)
{
    Material* material = FindMaterial(name);
    if (!material && EndsWith(name, kNormalMapSuffix)) {
        material = FindMaterial(name.substr(0, name.size() - std::string_view(kNormalMapSuffix).size()));
    }
    if (!material) {
        return;
    }
    if (ReloadMaterialFile(*material) != 0 || renderer.ReloadMaterial(material) != 0) {
        Log("Kept material ", material->name, " as it was at show time ", demoTime, " s");
        return;
    }
    Log("Reloaded material ", material->name, " at show time ", demoTime, " s");
}

void LiveEdit::ReloadMesh(RendererGL& renderer, const std::string& name)
{
    Mesh* mesh = FindMesh(name);
    if (!mesh) {
        return;
    }
    if (ReloadMeshFile(*mesh) != 0) {
        Log("Kept mesh ", name, " as it was at show time ", demoTime, " s");
        return;
    }
    if (renderer.ReloadMesh(mesh) != 0) {
        return;
    }
    Log("Reloaded mesh ", name, " at show time ", demoTime, " s");
}

void LiveEdit::ReloadScene()
{
    if (ReloadBehaviour(sceneFile_) == 0) {
        // Events up to now have had their moment, in the file as it was.
        lastTriggerTime = std::max(lastTriggerTime, demoTime);
        // The new tracks take hold now, so that a paused show shows them too.
        EvaluateAutomations();
        Log("Reloaded ", sceneFile_, " at show time ", demoTime, " s");
    }
    if (ChangedSceneCheck()) {
        ChangedSceneCheck()(sceneFile_);
    }
}

void LiveEdit::ShowOnConsole(RendererGL& renderer, const std::string& text)
{
    ClearConsole(renderer);
    const unsigned count = static_cast<unsigned>(std::max(renderer.GetConsoleLineCount(), 0));
    size_t at = 0;
    while (at < text.size() && consoleLinesUsed_ < count) {
        size_t end = text.find('\n', at);
        end = std::min(end == std::string::npos ? text.size() : end, at + kConsoleLineLength);
        const std::string line = text.substr(at, end - at);
        renderer.SetConsoleLine(consoleLinesUsed_++, line.c_str(), static_cast<unsigned>(line.size()), kMessageColour);
        at = end < text.size() && text[end] == '\n' ? end + 1 : end;
    }
}

void LiveEdit::ClearConsole(RendererGL& renderer)
{
    for (unsigned i = 0; i < consoleLinesUsed_; ++i) {
        renderer.SetConsoleLine(i, "", 0, 0);
    }
    consoleLinesUsed_ = 0;
    failedShader_.clear();
}
