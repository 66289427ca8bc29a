#pragma once
// Live editing (--watch): while the show plays, the production's files are
// watched, and a changed file takes effect at once, without a restart. A
// shader file is compiled again and swapped in (when it does not compile the
// old program stays and the compiler's text shows on the console lines); a
// texture or mesh is read again into the same material or mesh; the scene
// file is checked, and once it checks without errors has its automations and
// timed events read again, applied at the current show time (with errors the
// ones that run stay, and the first error shows on the console lines).

#include <map>
#include <optional>
#include <string>

#include "platform/file_watcher.h"

class ShowRenderer;
struct ShowState;

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

class LiveEdit {
public:
    // Watches the production folder (the working directory), tex/ and model/.
    // A changed scene file's trigger times are checked against the music's
    // length when it is known. Changes take effect at the show's time.
    LiveEdit(ShowState& show, std::string sceneFile, std::optional<double> musicSeconds);

    // Applies the changes made since the last call through the renderer's
    // live reloading, with messages on its console lines. Main thread,
    // between frames, once the scene has been loaded.
    void ApplyChanges(ShowRenderer& renderer);

private:
    void ReloadShader(ShowRenderer& renderer, const std::string& fileName);
    void ReloadTexture(ShowRenderer& renderer, const std::string& name);
    void ReloadMesh(ShowRenderer& renderer, const std::string& name);
    void ReloadScene(ShowRenderer& renderer);
    // What is wrong with a file, on the console lines until the file is
    // mended (an empty text takes it away).
    void SetMessage(ShowRenderer& renderer, const std::string& file, const std::string& text);
    // Every file's message, one console line for each of its lines.
    void ShowMessages(ShowRenderer& renderer);

    ShowState& show_;
    FileWatcher watcher_;
    std::string sceneFile_;
    std::optional<double> musicSeconds_;
    std::map<std::string, std::string> messages_;  // by file
    unsigned consoleLinesUsed_ = 0;
};
