// Outputs written under a temporary name and renamed when complete.
#include "video/whole_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/failure.h"

namespace {

constexpr int kMostNameTries = 1000;

std::atomic<unsigned> temporaryCount{0};

bool FailWithErrno(std::string* error, const std::string& what, int code)
{
    errno = code;
    return Fail(error, what + ": " + std::strerror(code));
}

// Errors with which a file system says it cannot do what was asked at all,
// rather than that it failed at it.
bool Unsupported(int code)
{
    return code == EINVAL || code == ENOSYS || code == EOPNOTSUPP || code == ENOTSUP || code == EPERM;
}

// The folder part of a path, with its slash ("" for none) and the file name.
std::pair<std::string, std::string> SplitPath(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {"", path};
    }
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

// "NAME" and ".EXT" of a file name; no extension for a name that starts
// with its only dot.
std::pair<std::string, std::string> SplitExtension(const std::string& path)
{
    const auto [folder, name] = SplitPath(path);
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) {
        return {path, ""};
    }
    return {folder + name.substr(0, dot), name.substr(dot)};
}

bool Exists(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
}

}  // namespace

bool LinkThenUnlink(const std::string& from, const std::string& to, std::string* error)
{
    if (::link(from.c_str(), to.c_str()) != 0) {
        return FailWithErrno(error, "cannot name '" + to + "'", errno);
    }
    ::unlink(from.c_str());
    return true;
}

bool RenameWithoutReplacing(const std::string& from, const std::string& to, std::string* error)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (!Unsupported(errno)) {
        return FailWithErrno(error, "cannot name '" + to + "'", errno);
    }
    if (LinkThenUnlink(from, to, error)) {
        return true;
    }
    if (!Unsupported(errno)) {
        return false;
    }
    // A file system without hard links either: the test and the rename are
    // two steps, the only way left.
    if (Exists(to)) {
        return FailWithErrno(error, "cannot name '" + to + "'", EEXIST);
    }
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        return FailWithErrno(error, "cannot name '" + to + "'", errno);
    }
    return true;
}

std::string PartialName(const std::string& path)
{
    const auto [stem, extension] = SplitExtension(path);
    return stem + ".partial" + extension;
}

WholeFile::WholeFile(std::string path, Replace replace) : path_(std::move(path)), replace_(replace)
{
    const auto [folder, name] = SplitPath(path_);
    for (int attempt = 0; attempt < kMostNameTries; ++attempt) {
        const std::string candidate = folder + "." + name + "." + std::to_string(::getpid()) + "-" +
                                      std::to_string(temporaryCount.fetch_add(1)) + ".part";
        // Exclusive: a name another writer chose is never shared.
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            temporary_ = candidate;
            return;
        }
        if (errno != EEXIST) {
            error_ = "cannot create a file in the folder of '" + path_ + "': " + std::strerror(errno);
            return;
        }
    }
    error_ = "cannot find a free temporary name beside '" + path_ + "'";
}

WholeFile::~WholeFile()
{
    Discard();
}

void WholeFile::Discard()
{
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

bool WholeFile::Keep(std::string* keptAs, std::string* error, bool elsewhere)
{
    if (keptAs) {
        keptAs->clear();
    }
    if (temporary_.empty()) {
        return Fail(error, "'" + path_ + "' has no file to keep");
    }
    if (replace_ == Replace::kAlways) {
        if (std::rename(temporary_.c_str(), path_.c_str()) != 0) {
            return FailWithErrno(error, "cannot name '" + path_ + "'", errno);
        }
        temporary_.clear();
        return true;
    }
    std::string reason;
    if (RenameWithoutReplacing(temporary_, path_, &reason)) {
        temporary_.clear();
        return true;
    }
    if (errno != EEXIST) {
        return Fail(error, reason);
    }
    const auto [stem, extension] = SplitExtension(path_);
    std::string kept;
    if (elsewhere) {
        KeepUnderFreeName(stem, extension, 2, &kept, nullptr);
    }
    if (keptAs) {
        *keptAs = kept;
    }
    return Fail(error, "'" + path_ + "' exists and is not replaced" +
                           (kept.empty() ? std::string() : "; the new one is '" + kept + "'"));
}

bool WholeFile::KeepPartial(std::string* keptAs, std::string* error)
{
    const std::string partial = PartialName(path_);
    if (replace_ == Replace::kAlways) {
        if (std::rename(temporary_.c_str(), partial.c_str()) != 0) {
            return FailWithErrno(error, "cannot name '" + partial + "'", errno);
        }
        temporary_.clear();
        *keptAs = partial;
        return true;
    }
    const auto [stem, extension] = SplitExtension(path_);
    return KeepUnderFreeName(stem + ".partial", extension, 1, keptAs, error);
}

// Tries STEM.EXT (from 1), then STEM.2.EXT, STEM.3.EXT... without replacing any.
bool WholeFile::KeepUnderFreeName(const std::string& stem, const std::string& extension, int firstNumber,
                                  std::string* keptAs, std::string* error)
{
    std::string reason;
    for (int number = firstNumber; number < firstNumber + kMostNameTries && !temporary_.empty(); ++number) {
        const std::string candidate = stem + (number == 1 ? "" : "." + std::to_string(number)) + extension;
        if (RenameWithoutReplacing(temporary_, candidate, &reason)) {
            temporary_.clear();
            *keptAs = candidate;
            return true;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return Fail(error, reason.empty() ? "no file to keep" : reason);
}
