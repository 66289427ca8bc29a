#include "app/live_edit.h"

#include <algorithm>
#include <sstream>

#include "check/production_check.h"
#include "core/log.h"
#include "render/show_renderer.h"
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

bool StartsWith(const std::string& text, std::string_view prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const std::string& text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Where the console line that starts at `at` ends: at the text's line end,
// or after at most kConsoleLineLength characters, after a word where the
// text has one there.
size_t ConsoleLineEnd(const std::string& text, size_t at)
{
    const size_t lineEnd = std::min(text.find('\n', at), text.size());
    const size_t end = std::min(lineEnd, at + kConsoleLineLength);
    if (end == lineEnd) {
        return end;
    }
    const size_t space = text.rfind(' ', end);
    return space != std::string::npos && space > at ? space + 1 : end;
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

LiveEdit::LiveEdit(ShowState& show, std::string sceneFile, std::optional<double> musicSeconds)
    : show_(show), sceneFile_(std::move(sceneFile)), musicSeconds_(musicSeconds)
{
    if (!watcher_.Usable()) {
        ProblemLine("Cannot watch the production's files: changes will not show");
        return;
    }
    watcher_.Watch("");
    watcher_.Watch(kTextureFolder);
    watcher_.Watch(kModelFolder);
    LogLine("Watching the production's files");
}

void LiveEdit::ApplyChanges(ShowRenderer& renderer)
{
    for (const std::string& path : watcher_.Poll()) {
        const ChangedFile changed = ClassifyChangedFile(path, sceneFile_);
        switch (changed.kind) {
        case ChangedFileKind::kScene: ReloadScene(renderer); break;
        case ChangedFileKind::kShader: ReloadShader(renderer, changed.name); break;
        case ChangedFileKind::kTexture: ReloadTexture(renderer, changed.name); break;
        case ChangedFileKind::kMesh: ReloadMesh(renderer, changed.name); break;
        case ChangedFileKind::kIgnored: break;
        }
    }
}

void LiveEdit::ReloadShader(ShowRenderer& renderer, const std::string& fileName)
{
    std::string error;
    switch (renderer.RecompileShader(fileName, &error)) {
    case ShaderRecompiled::kNotAShaderFile:
        return;
    case ShaderRecompiled::kFailed:
        Problem("Shader ", fileName, " does not compile at show time ", show_.demoTime,
                " s; the old one stays: ", error);
        SetMessage(renderer, fileName, error);
        return;
    case ShaderRecompiled::kSwapped:
        Log("Reloaded ", fileName, " at show time ", show_.demoTime, " s");
        SetMessage(renderer, fileName, {});
        return;
    }
}

void LiveEdit::ReloadTexture(ShowRenderer& renderer, const std::string& name)
{
    Material* material = FindMaterial(name);
    if (!material && EndsWith(name, kNormalMapSuffix)) {
        material = FindMaterial(name.substr(0, name.size() - std::string_view(kNormalMapSuffix).size()));
    }
    if (!material) {
        return;
    }
    if (ReloadMaterialFile(*material) != 0 || renderer.ReloadMaterial(material) != 0) {
        Problem("Kept material ", material->name, " as it was at show time ", show_.demoTime, " s");
        return;
    }
    Log("Reloaded material ", material->name, " at show time ", show_.demoTime, " s");
}

void LiveEdit::ReloadMesh(ShowRenderer& renderer, const std::string& name)
{
    Mesh* mesh = FindMesh(name);
    if (!mesh) {
        return;
    }
    if (ReloadMeshFile(*mesh) != 0) {
        Problem("Kept mesh ", name, " as it was at show time ", show_.demoTime, " s");
        return;
    }
    if (renderer.ReloadMesh(mesh) != 0) {
        return;
    }
    Log("Reloaded mesh ", name, " at show time ", show_.demoTime, " s");
}

void LiveEdit::ReloadScene(ShowRenderer& renderer)
{
    const Diagnostics found = CheckSceneFile(sceneFile_, musicSeconds_);
    if (!found.All().empty()) {
        std::stringstream printed;
        found.Print(printed);
        for (std::string line; std::getline(printed, line);) {
            ProblemLine(line);
        }
    }
    if (found.ErrorCount() > 0) {
        // A scene that reads otherwise than it says would take tracks and
        // events away: the ones that run stay until the file is mended.
        Problem("Kept the automations and events of ", sceneFile_, " as they were at show time ", show_.demoTime, " s");
        for (const Diagnostic& finding : found.Ordered()) {
            if (finding.severity == Severity::kError) {
                SetMessage(renderer, sceneFile_, FormatDiagnostic(finding));
                break;
            }
        }
        return;
    }
    if (ReloadBehaviour(sceneFile_) == 0) {
        // Events up to now have had their moment, in the file as it was.
        show_.lastTriggerTime = std::max(show_.lastTriggerTime, show_.demoTime);
        // The new tracks take hold now, so that a paused show shows them too.
        TheWorld().EvaluateAutomations(show_.demoTime);
        Log("Reloaded ", sceneFile_, " at show time ", show_.demoTime, " s");
        SetMessage(renderer, sceneFile_, {});
    }
}

void LiveEdit::SetMessage(ShowRenderer& renderer, const std::string& file, const std::string& text)
{
    if (!text.empty()) {
        messages_[file] = text;
    } else if (messages_.erase(file) == 0) {
        return;  // nothing shown for it
    }
    ShowMessages(renderer);
}

void LiveEdit::ShowMessages(ShowRenderer& renderer)
{
    for (unsigned i = 0; i < consoleLinesUsed_; ++i) {
        renderer.SetConsoleLine(i, "", 0, 0);
    }
    consoleLinesUsed_ = 0;
    const unsigned count = static_cast<unsigned>(std::max(renderer.GetConsoleLineCount(), 0));
    for (const auto& [file, text] : messages_) {
        size_t at = 0;
        while (at < text.size() && consoleLinesUsed_ < count) {
            const size_t end = ConsoleLineEnd(text, at);
            const std::string line = text.substr(at, end - at);
            renderer.SetConsoleLine(consoleLinesUsed_++, line.c_str(), static_cast<unsigned>(line.size()),
                                    kMessageColour);
            at = end < text.size() && text[end] == '\n' ? end + 1 : end;
        }
    }
}
