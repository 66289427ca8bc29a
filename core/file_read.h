#pragma once
// Reads a regular file whole into one buffer of exactly its size.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct FileBytes {
    std::unique_ptr<uint8_t[]> data;  // never null after a read, even of an empty file
    size_t size = 0;
};

// The reason given when the file exists but its bytes cannot be held.
inline constexpr char kNoMemoryForFile[] = "not enough memory for the file's bytes";
// The reason given when nothing of that name exists: the ordinary miss.
inline constexpr char kNoSuchFile[] = "no such file";
// The reason given for a FIFO, a device, a directory or a socket.
inline constexpr char kNotARegularFile[] = "not a regular file";

// True when the path names something other than a regular file. Opening a
// FIFO for reading waits for a writer, a device may never end: such paths are
// refused before they are opened. False for a missing path.
bool IsSpecialFile(const std::string& path);

// False when the file is missing, unreadable, not a regular file, cannot be
// read to its end, or cannot be held in memory; the reason goes to *error
// when it is given. Never waits on a special file.
bool ReadWholeFile(const std::string& path, FileBytes& out, std::string* error = nullptr);
