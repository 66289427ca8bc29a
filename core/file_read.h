#pragma once
// Reads a regular file whole into one buffer of exactly its size.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

enum class FileReadResult {
    kOk,
    kCannotOpen,  // missing, unreadable, not a regular file, or a read error
    kNoMemory,    // the buffer for its bytes could not be obtained
};

struct FileBytes {
    std::unique_ptr<uint8_t[]> data;  // never null after kOk, even for an empty file
    size_t size = 0;
};

FileReadResult ReadWholeFile(const std::string& path, FileBytes& out);
