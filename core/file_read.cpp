#include "core/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <new>

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Reads `size` bytes from the file's start; false when it holds fewer.
bool ReadAll(int fd, uint8_t* buffer, size_t size)
{
    for (size_t done = 0; done < size;) {
        const ssize_t got = ::pread(fd, buffer + done, size - done, static_cast<off_t>(done));
        if (got <= 0) {
            return false;  // an error, or the file shrank while being read
        }
        done += static_cast<size_t>(got);
    }
    return true;
}

// The bytes to read, or the reason the file is refused.
std::string Admit(int fd, uint64_t fileSize, const ReadAdmission& admission, uint64_t* readBytes)
{
    *readBytes = fileSize;
    if (fileSize > admission.maxBytes) {
        return TooLargeReason(admission.maxBytes);
    }
    if (!admission.admit) {
        return {};
    }
    const size_t headSize = static_cast<size_t>(std::min<uint64_t>(admission.headBytes, fileSize));
    std::unique_ptr<uint8_t[]> head(new (std::nothrow) uint8_t[headSize == 0 ? 1 : headSize]);
    if (!head) {
        return kNoMemoryForFile;
    }
    if (!ReadAll(fd, head.get(), headSize)) {
        return "cannot read the file's first bytes";
    }
    std::string why = admission.admit(head.get(), headSize, fileSize, readBytes);
    *readBytes = std::min(*readBytes, fileSize);
    return why;
}

}  // namespace

std::string TooLargeReason(uint64_t maxBytes)
{
    return "larger than " + std::to_string(maxBytes) + " bytes";
}

bool IsSpecialFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

bool ReadWholeFile(const std::string& path, FileBytes& out, std::string* error, const ReadAdmission& admission)
{
    auto fail = [error](const std::string& reason) {
        if (error) {
            *error = reason;
        }
        return false;
    };
    if (IsSpecialFile(path)) {
        return fail(kNotARegularFile);
    }
    // Non-blocking, in case the path was swapped for a FIFO since the check;
    // it changes nothing for a regular file.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0) {
        return fail(errno == ENOENT ? std::string(kNoSuchFile)
                                    : std::string("cannot open the file: ") + std::strerror(errno));
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        return fail("cannot open the file");
    }
    if (!S_ISREG(info.st_mode)) {
        return fail(kNotARegularFile);
    }
    out.fileSize = static_cast<uint64_t>(info.st_size);
    uint64_t wanted = 0;
    if (std::string refused = Admit(file.get(), out.fileSize, admission, &wanted); !refused.empty()) {
        return fail(refused);
    }
    if (wanted > std::numeric_limits<size_t>::max()) {
        return fail(kNoMemoryForFile);
    }
    const size_t size = static_cast<size_t>(wanted);
    std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[size == 0 ? 1 : size]);
    if (!data) {
        return fail(kNoMemoryForFile);
    }
    if (!ReadAll(file.get(), data.get(), size)) {
        return fail("cannot read the file to its end");
    }
    out.data = std::move(data);
    out.size = size;
    return true;
}
