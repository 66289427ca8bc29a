#include "core/file_manager.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "core/file_read.h"
#include "core/log.h"

namespace {

bool SameName(const ResourceFile& record, std::string_view name)
{
    return std::string_view(record.name) == name;
}

// Reads the whole file (or what the admission takes of it); false, with the
// reason, when the name does not fit a record, the file cannot be read or
// does not fit the record's 32-bit size.
bool ReadResource(std::string_view name, const std::string& path, const ReadAdmission& admission,
                  FileBytes& bytes, std::string& error, std::string* refused)
{
    if (name.size() > kMaxResourceNameLength) {
        error = "name longer than " + std::to_string(kMaxResourceNameLength) + " characters";
        return false;
    }
    if (name.find('\0') != std::string_view::npos) {
        error = "name holds a zero byte";
        return false;
    }
    ReadAdmission fits = admission;
    fits.maxBytes = std::min<uint64_t>(admission.maxBytes, std::numeric_limits<uint32_t>::max());
    if (admission.admit && refused) {
        // What the reader's own rules refuse is the reader's to report.
        fits.admit = [&admission, refused](const uint8_t* head, size_t headSize, uint64_t fileSize,
                                           uint64_t* readBytes) {
            *refused = admission.admit(head, headSize, fileSize, readBytes);
            return *refused;
        };
    }
    if (!ReadWholeFile(path, bytes, &error, fits)) {
        if (bytes.fileSize > std::numeric_limits<uint32_t>::max()) {
            error = "larger than 4 GiB";
        }
        return false;
    }
    return true;
}

}  // namespace

int FileManager::AddSearchPath(std::string_view dir, std::string_view ext, int type)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (FindSearchPath(type)) {
        return -2;
    }
    searchPaths_.push_back(SearchPath{std::string(dir), std::string(ext), type});
    return 0;
}

const SearchPath* FileManager::FindSearchPath(int type) const
{
    for (const SearchPath& path : searchPaths_) {
        if (path.type == type) {
            return &path;
        }
    }
    return nullptr;
}

ResourceFile FileManager::OpenFile(std::string_view name, int type, const ReadAdmission& admission,
                                   std::string* refused)
{
    if (refused) {
        refused->clear();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    const SearchPath* searchPath = FindSearchPath(type);
    if (!searchPath) {
        return ResourceFile{};
    }
    std::string path = searchPath->dir;
    path.append(name).append(".").append(searchPath->ext);

    FileBytes bytes;
    std::string error;
    if (!ReadResource(name, path, admission, bytes, error, refused)) {
        if (refused && !refused->empty()) {
            return ResourceFile{};
        }
        Log("Cannot open file: ", path);
        if (error != kNoSuchFile) {
            Problem(path, ": ", error);
        }
        return ResourceFile{};
    }
    LoadedFile loaded;
    loaded.bytes = std::move(bytes.data);
    loaded.record.size = static_cast<uint32_t>(bytes.size);
    std::memcpy(loaded.record.name, name.data(), name.size());
    loaded.record.data = loaded.bytes.get();
    loaded.record.type = type;
    loadedFiles_.push_back(std::move(loaded));
    return loadedFiles_.back().record;
}

int FileManager::ReleaseFile(std::string_view name, int type)
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = loadedFiles_.begin(); it != loadedFiles_.end(); ++it) {
        if (it->record.type == type && SameName(it->record, name)) {
            loadedFiles_.erase(it);
            return 0;
        }
    }
    return -1;
}

std::optional<ResourceFile> FileManager::FindLoaded(std::string_view name, int type) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (const LoadedFile& loaded : loadedFiles_) {
        if (loaded.record.type == type && SameName(loaded.record, name)) {
            return loaded.record;
        }
    }
    return std::nullopt;
}

size_t FileManager::LoadedCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return loadedFiles_.size();
}

FileManager& TheFileManager()
{
    static FileManager manager;
    return manager;
}
