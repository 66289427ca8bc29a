#include "tests/tools/tool_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

[[noreturn]] void BecomeProgram(const std::string& program, const std::vector<std::string>& arguments,
                                const RunOptions& options, const std::string& outPath, const std::string& errPath)
{
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 || ::chdir(options.directory.c_str()) != 0) {
        ::_exit(127);
    }
    for (const auto& [name, value] : options.environment) {
        ::setenv(name.c_str(), value.c_str(), 1);
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    ::alarm(options.timeLimitSeconds);  // survives exec: a hung program is ended
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

}  // namespace

ToolRun RunTool(const std::string& program, const std::vector<std::string>& arguments, const RunOptions& options)
{
    const std::string stem = std::filesystem::absolute(".run-" + std::to_string(::getpid())).string();
    const std::string outPath = stem + "-stdout";
    const std::string errPath = stem + "-stderr";
    ToolRun run;
    const pid_t child = ::fork();
    if (child == 0) {
        BecomeProgram(program, arguments, options, outPath, errPath);
    } else if (child < 0) {
        return run;  // exit code -1
    }
    // Without a stop condition, a plain wait; with one, polled until the
    // program ends: by itself, by SIGTERM or by its alarm.
    int status = 0;
    bool stopped = !options.stopWhen;
    while (::waitpid(child, &status, stopped ? 0 : WNOHANG) == 0) {
        if (options.stopWhen(ReadFileText(outPath), ReadFileText(errPath))) {
            ::kill(child, SIGTERM);
            stopped = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    run.out = ReadFileText(outPath);
    run.err = ReadFileText(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return run;
}
