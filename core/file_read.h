#pragma once
// Reads a regular file whole into one buffer of exactly its size.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>

struct FileBytes {
    std::unique_ptr<uint8_t[]> data;  // never null after a read, even of an empty file
    size_t size = 0;                  // the bytes read: the file's size unless an admission said fewer
    uint64_t fileSize = 0;            // the file's size, once known (also when it is refused)
};

// What a reader takes of a file, decided from its size, and from its first
// bytes where it has a header, before the rest is read: a file refused here
// costs no more memory than its header, whatever its size.
struct ReadAdmission {
    // A larger file is refused unread.
    uint64_t maxBytes = std::numeric_limits<uint64_t>::max();
    // Read first and handed to `admit` (fewer when the file is shorter).
    size_t headBytes = 0;
    // The reason the file is refused, or empty when it is taken; may lower
    // *readBytes (the file's size when called) to read only that many
    // bytes from its start.
    std::function<std::string(const uint8_t* head, size_t headSize, uint64_t fileSize, uint64_t* readBytes)> admit;
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

// False when the file is missing, unreadable, not a regular file, refused by
// the admission, cannot be read to its end, or cannot be held in memory; the
// reason goes to *error when it is given. Never waits on a special file.
bool ReadWholeFile(const std::string& path, FileBytes& out, std::string* error = nullptr,
                   const ReadAdmission& admission = {});
// "larger than N bytes": the reason given for a file over maxBytes.
std::string TooLargeReason(uint64_t maxBytes);
