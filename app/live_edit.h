#pragma once
// Live editing (--watch): while the show plays, the production's files are
// watched, and a changed file takes effect at once, without a restart. A
// shader file is compiled again and swapped in (when it does not compile the
// old program stays and the compiler's text shows on the console lines); a
// texture or mesh is read again into the same material or mesh; the scene
// file has its automations and timed events read again, applied at the
// current show time.

#include <functional>
#include <string>

#include "platform/file_watcher.h"

class RendererGL;

enum class ChangedFileKind { kIgnored, kScene, kShader, kTexture, kMesh };

struct ChangedFile {
    ChangedFileKind kind = ChangedFileKind::kIgnored;
    // The scene file's or shader file's path; the texture's or mesh's
    // resource name.
    std::string name;
};

// What a changed path (relative to the production folder, as the watcher
// reports it) is. A normal map ("tex/N_normal.bmp") is named by its file;
// the caller looks for material N when there is no material of that name.
ChangedFile ClassifyChangedFile(const std::string& path, const std::string& sceneFile);

// The checker of a changed scene file: called with its path after the file
// has been read again, to print what is wrong in it. Unset: nothing runs.
using SceneFileCheck = std::function<void(const std::string& sceneFile)>;
void SetChangedSceneCheck(SceneFileCheck check);

class LiveEdit {
public:
    // Watches the production folder (the working directory), tex/ and model/.
    explicit LiveEdit(std::string sceneFile);

    // Applies the changes made since the last call. Main thread, between
    // frames, once the scene has been loaded.
    void ApplyChanges(RendererGL& renderer);

private:
    void ReloadShader(RendererGL& renderer, const std::string& fileName);
    void ReloadTexture(RendererGL& renderer, const std::string& name);
    void ReloadMesh(RendererGL& renderer, const std::string& name);
    void ReloadScene();
    // The compiler's text on the console lines, one line of it each.
    void ShowOnConsole(RendererGL& renderer, const std::string& text);
    void ClearConsole(RendererGL& renderer);

    FileWatcher watcher_;
    std::string sceneFile_;
    std::string failedShader_;  // the file whose message the console shows
    unsigned consoleLinesUsed_ = 0;
};
