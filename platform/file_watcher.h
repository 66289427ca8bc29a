#pragma once
// Watches a few folders for files that were written or moved into place,
// through inotify. Nothing runs in the background: the owner polls once a
// frame and gets the paths that changed since the last poll.
//
// Editors save either in place (the file is closed after writing) or by
// writing a temporary file and renaming it over the old one; both are
// reported, under the final name. A watched folder that is removed or
// replaced is watched again as soon as it exists once more.

#include <string>
#include <vector>

class FileWatcher {
public:
    FileWatcher();
    ~FileWatcher();
    FileWatcher(const FileWatcher&) = delete;
    FileWatcher& operator=(const FileWatcher&) = delete;

    // False when inotify cannot be used at all.
    bool Usable() const { return fd_ >= 0; }

    // Watches the folder ("" or "." for the working directory, else a path
    // such as "tex/"). Changed files are reported as folder + name. A folder
    // that does not exist yet is watched once it appears, and its files are
    // then reported.
    void Watch(const std::string& folder);

    // The files written or moved into a watched folder since the last call,
    // each once, in the order first seen. Never blocks.
    std::vector<std::string> Poll();

private:
    struct Folder {
        std::string path;    // as given, with a trailing '/' unless empty
        int descriptor = -1;  // -1: not watched at the moment
    };

    // Adds the watch when the folder exists; when it does and `changed` is
    // given, its files are added there.
    void TryToWatch(Folder& folder, std::vector<std::string>* changed);
    void ReadEvents(std::vector<std::string>& changed);

    int fd_ = -1;
    std::vector<Folder> folders_;
};
