#include "tests/tools/tool_process.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <sstream>
#include <thread>

namespace {

std::atomic<int> runCount{0};

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
    if (options.fileSizeLimit > 0) {
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = options.fileSizeLimit;
        ::setrlimit(RLIMIT_FSIZE, &limit);
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

StartedTool StartTool(const std::string& program, const std::vector<std::string>& arguments,
                      const RunOptions& options)
{
    StartedTool started;
    const std::string stem = std::filesystem::absolute(".run-" + std::to_string(::getpid()) + "-" +
                                                       std::to_string(runCount.fetch_add(1)))
                                 .string();
    started.outPath = stem + "-stdout";
    started.errPath = stem + "-stderr";
    started.options = options;
    started.pid = ::fork();
    if (started.pid == 0) {
        BecomeProgram(program, arguments, options, started.outPath, started.errPath);
    }
    return started;
}

ToolRun WaitForTool(const StartedTool& started)
{
    ToolRun run;
    if (started.pid < 0) {
        return run;  // exit code -1
    }
    const RunOptions& options = started.options;
    // Without a stop condition, a plain wait; with one, polled until the
    // program ends: by itself, by the stop signal or by its alarm.
    int status = 0;
    bool watching = options.stopWhen || options.stopWhenProcess;
    while (::waitpid(started.pid, &status, watching ? WNOHANG : 0) == 0) {
        if ((options.stopWhen && options.stopWhen(ReadFileText(started.outPath), ReadFileText(started.errPath))) ||
            (options.stopWhenProcess && options.stopWhenProcess(started.pid))) {
            ::kill(started.pid, options.stopSignal);
            run.stopped = true;
            watching = false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    run.out = ReadFileText(started.outPath);
    run.err = ReadFileText(started.errPath);
    std::filesystem::remove(started.outPath);
    std::filesystem::remove(started.errPath);
    return run;
}

ToolRun RunTool(const std::string& program, const std::vector<std::string>& arguments, const RunOptions& options)
{
    return WaitForTool(StartTool(program, arguments, options));
}

double ProcessorSeconds(pid_t pid)
{
    // Fields 14 and 15 of /proc/PID/stat: user and system time, in clock ticks.
    const std::string stat = ReadFileText("/proc/" + std::to_string(pid) + "/stat");
    const size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos) {
        return 0;
    }
    std::istringstream fields(stat.substr(nameEnd + 2));
    std::string field;
    long ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i >= 14) {
            ticks += std::stol(field);
        }
    }
    return static_cast<double>(ticks) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}
