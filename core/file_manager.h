#pragma once
// Turns a bare resource name and a resource type into a file on disk and
// reads it whole. Every file read stays in the resource file cache
// (loadedFiles) until it is released; readers look there first.

#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_read.h"

enum ResourceType : int {
    kResourceNone = 0,
    kResourceModel = 3,
    kResourceTexture = 4,
};

// Longest resource name that fits a ResourceFile record: the longest name a
// file can have, so that no existing file is ever out of reach.
constexpr size_t kMaxResourceNameLength = 255;

// A copy of one cache entry. The bytes belong to the cache: holders of a copy
// never free them. type 0 means that nothing was opened.
struct ResourceFile {
    uint32_t reserved = 0;
    char name[kMaxResourceNameLength + 1] = {};
    uint32_t size = 0;
    const uint8_t* data = nullptr;
    int type = kResourceNone;
};

struct SearchPath {
    std::string dir;  // with its trailing separator, e.g. "tex/"
    std::string ext;  // without the dot, e.g. "bmp"
    int type = kResourceNone;
};

class FileManager {
public:
    // 0 when added; -2 when the type already has a search path (the first stays).
    int AddSearchPath(std::string_view dir, std::string_view ext, int type);
    // Reads dir + name + "." + ext whole and caches it. A record with type 0
    // when the type is unknown or the file cannot be opened or read (logged
    // "Cannot open file: " + path, then path + ": " + the reason unless the
    // file is simply missing). Names longer than kMaxResourceNameLength are
    // refused the same way, so that two long names can never share a cache
    // entry; special files (FIFOs, devices) are refused without being opened.
    // A file of 4 GiB or more, which no record can hold, is refused the same
    // way, before its bytes are read. So is one the admission refuses, but
    // when `refused` is given the reason goes there instead of the log.
    ResourceFile OpenFile(std::string_view name, int type, const ReadAdmission& admission = {},
                          std::string* refused = nullptr);
    // 0 when an entry of that name and type was freed and removed; -1 when none.
    int ReleaseFile(std::string_view name, int type);
    // The first cache entry of that type and name, if any.
    std::optional<ResourceFile> FindLoaded(std::string_view name, int type) const;

    size_t LoadedCount() const;

private:
    struct LoadedFile {
        ResourceFile record;
        std::unique_ptr<uint8_t[]> bytes;
    };

    const SearchPath* FindSearchPath(int type) const;

    mutable std::mutex mutex_;
    std::list<LoadedFile> loadedFiles_;
    std::vector<SearchPath> searchPaths_;
};

// The process-wide file manager.
FileManager& TheFileManager();
