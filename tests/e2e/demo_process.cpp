#include "tests/e2e/demo_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>

namespace {

std::vector<std::string> ReadLines(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

bool HasLineStarting(const std::filesystem::path& path, const std::string& prefix)
{
    for (const std::string& line : ReadLines(path)) {
        if (line.rfind(prefix, 0) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

DemoRun RunDemo(const std::filesystem::path& directory, const DemoRunOptions& options)
{
    const std::filesystem::path output = directory / "stdout.log";
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(directory.c_str()) != 0) {
            _exit(127);
        }
        const int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, STDOUT_FILENO);
        for (const auto& [name, value] : options.environment) {
            setenv(name.c_str(), value.c_str(), 1);
        }
        execl(DEMO_EXECUTABLE, DEMO_EXECUTABLE, "--ignored", "arguments", static_cast<char*>(nullptr));
        _exit(127);
    }
    DemoRun run;
    auto elapsed = [&] { return std::chrono::steady_clock::now() - start; };
    bool signalled = false;
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) {
            break;
        }
        const bool timeToSignal =
            !signalled && ((options.signalAfter && elapsed() >= *options.signalAfter) ||
                           (!options.signalAfterLine.empty() && HasLineStarting(output, options.signalAfterLine)));
        if (timeToSignal) {
            kill(child, SIGTERM);
            signalled = true;
            run.signalSentAt = std::chrono::duration<double>(elapsed()).count();
        }
        if (elapsed() > options.timeout) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            run.exitCode = -1;
            run.seconds = std::chrono::duration<double>(elapsed()).count();
            run.lines = ReadLines(output);
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    run.seconds = std::chrono::duration<double>(elapsed()).count();
    if (WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        run.signalled = WTERMSIG(status);
    }
    run.lines = ReadLines(output);
    return run;
}
