#include "platform/file_watcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace {

// Written and closed in place, or renamed into the folder.
constexpr uint32_t kChangeMask = IN_CLOSE_WRITE | IN_MOVED_TO;
// The folder itself went away or was renamed: its watch is gone.
constexpr uint32_t kFolderGoneMask = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED;

std::string FolderPath(const std::string& folder)
{
    if (folder.empty() || folder == "." || folder == "./") {
        return {};
    }
    return folder.back() == '/' ? folder : folder + '/';
}

void AddOnce(std::vector<std::string>* paths, std::string path)
{
    if (std::find(paths->begin(), paths->end(), path) == paths->end()) {
        paths->push_back(std::move(path));
    }
}

}  // namespace

FileWatcher::FileWatcher() : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

FileWatcher::~FileWatcher()
{
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void FileWatcher::Watch(const std::string& folder)
{
    folders_.push_back(Folder{FolderPath(folder), -1});
    TryToWatch(folders_.back(), nullptr);
}

void FileWatcher::TryToWatch(Folder& folder, std::vector<std::string>* changed)
{
    if (fd_ < 0 || folder.descriptor >= 0) {
        return;
    }
    const std::string path = folder.path.empty() ? "." : folder.path;
    folder.descriptor = inotify_add_watch(fd_, path.c_str(), kChangeMask | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR);
    if (folder.descriptor < 0 || !changed) {
        return;
    }
    // A folder that came back (replaced by another) brings files that were
    // never seen being written: all of them count as changed.
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(path, error)) {
        if (entry.is_regular_file(error)) {
            AddOnce(changed, folder.path + entry.path().filename().string());
        }
    }
}

void FileWatcher::ReadEvents(std::vector<std::string>& changed)
{
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t length = ::read(fd_, buffer, sizeof buffer);
        if (length <= 0) {
            return;  // EAGAIN: nothing more for now
        }
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const auto folder = std::find_if(folders_.begin(), folders_.end(),
                                             [event](const Folder& f) { return f.descriptor == event->wd; });
            if (folder == folders_.end()) {
                continue;
            }
            if (event->mask & kFolderGoneMask) {
                if (event->mask & IN_MOVE_SELF) {
                    inotify_rm_watch(fd_, folder->descriptor);
                }
                folder->descriptor = -1;
                continue;
            }
            if ((event->mask & kChangeMask) && event->len > 0 && !(event->mask & IN_ISDIR)) {
                AddOnce(&changed, folder->path + event->name);
            }
        }
    }
}

std::vector<std::string> FileWatcher::Poll()
{
    std::vector<std::string> changed;
    if (fd_ < 0) {
        return changed;
    }
    ReadEvents(changed);
    for (Folder& folder : folders_) {
        TryToWatch(folder, &changed);
    }
    return changed;
}
