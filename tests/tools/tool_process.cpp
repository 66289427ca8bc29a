#include "tests/tools/tool_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

constexpr unsigned kTimeLimitSeconds = 60;

std::string TakeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    in.close();
    std::filesystem::remove(path);
    return text.str();
}

[[noreturn]] void BecomeTool(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& outPath, const std::string& errPath)
{
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) {
        ::_exit(127);
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    ::alarm(kTimeLimitSeconds);  // survives exec: a hung tool is killed
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

}  // namespace

ToolRun RunTool(const std::string& program, const std::vector<std::string>& arguments)
{
    const std::string outPath = ".tool-stdout-" + std::to_string(::getpid());
    const std::string errPath = ".tool-stderr-" + std::to_string(::getpid());
    ToolRun run;
    const pid_t child = ::fork();
    if (child == 0) {
        BecomeTool(program, arguments, outPath, errPath);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) {
        run.err = "could not run " + program;
        return run;
    }
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    run.out = TakeFile(outPath);
    run.err = TakeFile(errPath);
    return run;
}
