#include "tests/support/test_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <future>
#include <sstream>


namespace fs = std::filesystem;

ScopedWorkDir::ScopedWorkDir() : previous_(fs::current_path())
{
    std::string pattern = (fs::temp_directory_path() / "demo-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot make a temporary directory");
    }
    path_ = pattern;
    fs::current_path(path_);
}

ScopedWorkDir::~ScopedWorkDir()
{
    std::error_code ignored;
    fs::current_path(previous_, ignored);
    fs::remove_all(path_, ignored);
}

OutputCapture::OutputCapture(std::FILE* stream) : stream_(stream)
{
    std::fflush(stream_);
    if (stream_ == stderr) {
        testing::internal::CaptureStderr();
    } else {
        testing::internal::CaptureStdout();
    }
}

OutputCapture::~OutputCapture()
{
    if (active_) {
        Text();
    }
}

std::string OutputCapture::Text()
{
    std::fflush(stream_);
    active_ = false;
    return stream_ == stderr ? testing::internal::GetCapturedStderr() : testing::internal::GetCapturedStdout();
}

void WriteFile(const fs::path& path, const std::string& bytes)
{
    if (path.has_parent_path()) {
        fs::create_directories(path.parent_path());
    }
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

std::string ReadFileText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

void ExpectVec(const Vec3& v, float x, float y, float z, float tolerance)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

void MakeFifo(const fs::path& path)
{
    fs::create_directories(path.parent_path().empty() ? "." : path.parent_path());
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
}

void RunWithoutBlockingOn(const fs::path& fifo, const std::function<void()>& action)
{
    using namespace std::chrono_literals;
    std::future<void> done = std::async(std::launch::async, action);
    if (done.wait_for(30s) == std::future_status::ready) {
        done.get();
        return;
    }
    ADD_FAILURE() << "blocked opening " << fifo;
    while (done.wait_for(100ms) != std::future_status::ready) {
        const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (writer >= 0) {
            ::close(writer);
        }
    }
    done.get();
}
