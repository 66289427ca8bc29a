#pragma once
// Shared helpers for tests: a temporary working directory, capture of the
// diagnostic lines on standard output, and writers of raw test files.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/math.h"

std::vector<std::string> SplitLines(const std::string& text);

// Makes a fresh directory and makes it the working directory for the
// object's lifetime (resource paths are relative to it).
class ScopedWorkDir {
public:
    ScopedWorkDir();
    ~ScopedWorkDir();
    ScopedWorkDir(const ScopedWorkDir&) = delete;
    ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// Captures what is written to standard output or standard error (the file
// descriptor itself) from construction until Text() or Lines() is called.
class OutputCapture {
public:
    ~OutputCapture();
    OutputCapture(const OutputCapture&) = delete;
    OutputCapture& operator=(const OutputCapture&) = delete;
    // Stop capturing and return the captured text, whole or split into lines.
    std::string Text();
    std::vector<std::string> Lines() { return SplitLines(Text()); }

protected:
    explicit OutputCapture(std::FILE* stream);

private:
    std::FILE* stream_;
    bool active_ = true;
};

// The diagnostic log.
class StdoutCapture : public OutputCapture {
public:
    StdoutCapture() : OutputCapture(stdout) {}
};

// Errors and warnings.
class StderrCapture : public OutputCapture {
public:
    StderrCapture() : OutputCapture(stderr) {}
};

void WriteFile(const std::filesystem::path& path, const std::string& bytes);
void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
std::string ReadFileText(const std::filesystem::path& path);

// Makes a FIFO (named pipe) at the path; the test fails when it cannot.
void MakeFifo(const std::filesystem::path& path);
// Runs the action on another thread and waits for it a generous while. An
// action still running then is taken to be blocked opening the FIFO: the
// test fails, and a writer that opens and closes the FIFO lets it finish.
void RunWithoutBlockingOn(const std::filesystem::path& fifo, const std::function<void()>& action);

// Each component of v within the tolerance of (x, y, z).
void ExpectVec(const Vec3& v, float x, float y, float z, float tolerance = 1e-5f);
