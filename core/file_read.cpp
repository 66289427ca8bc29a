#include "core/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

bool ReadAll(int fd, uint8_t* buffer, size_t size)
{
    for (size_t done = 0; done < size;) {
        const ssize_t got = ::read(fd, buffer + done, size - done);
        if (got <= 0) {
            return false;  // an error, or the file shrank while being read
        }
        done += static_cast<size_t>(got);
    }
    return true;
}

}  // namespace

bool IsSpecialFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

bool ReadWholeFile(const std::string& path, FileBytes& out, std::string* error)
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
    const size_t size = static_cast<size_t>(info.st_size);
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
