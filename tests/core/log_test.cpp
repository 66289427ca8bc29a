// The log and the errors beside a status line (a render's progress), on a
// real terminal: a pseudo-terminal standing for both standard output and
// standard error.

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>

#include "core/log.h"
#include "tests/support/test_support.h"

namespace {

// The lines a terminal shows for these bytes: a carriage return goes back
// to the start of the line, "ESC [ K" clears it from there on, the rest is
// written over what stands.
std::vector<std::string> Screen(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::string line;
    size_t cursor = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            cursor = 0;
        } else if (bytes[i] == '\n') {
            lines.push_back(line);
            line.clear();
            cursor = 0;
        } else if (bytes.compare(i, 3, "\033[K") == 0) {
            line.resize(cursor);
            i += 2;
        } else {
            if (cursor < line.size()) {
                line[cursor] = bytes[i];
            } else {
                line.push_back(bytes[i]);
            }
            ++cursor;
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

// Runs the action with standard output and standard error on one new
// terminal; what the terminal received.
std::string OnATerminal(const std::function<void()>& action)
{
    int master = -1;
    int terminal = -1;
    if (::openpty(&master, &terminal, nullptr, nullptr, nullptr) != 0) {
        ADD_FAILURE() << "no pseudo-terminal";
        return {};
    }
    std::fflush(stdout);
    std::fflush(stderr);
    const int savedOut = ::dup(1);
    const int savedErr = ::dup(2);
    ::dup2(terminal, 1);
    ::dup2(terminal, 2);
    action();
    std::fflush(stdout);
    std::fflush(stderr);
    ::dup2(savedOut, 1);
    ::dup2(savedErr, 2);
    ::close(savedOut);
    ::close(savedErr);
    ::close(terminal);
    ::fcntl(master, F_SETFL, O_NONBLOCK);
    std::string received;
    char buffer[4096];
    for (ssize_t got; (got = ::read(master, buffer, sizeof buffer)) > 0;) {
        received.append(buffer, static_cast<size_t>(got));
    }
    ::close(master);
    return received;
}

}  // namespace

TEST(LogTest, LinesPrintedUnderAStatusLineComeOutWholeAboveItAndItIsDrawnAgain)
{
    const std::string received = OnATerminal([] {
        ShowStatusLine("frame 1 of 30, show at 0.0 s");
        LogLine("loading actors");
        ProblemLine("tex/a.bmp: not a regular file");
        ShowStatusLine("frame 2 of 30");  // shorter than the line it replaces
        ShowStatusLine("frame 30 of 30, show at 1.0 s");
        EndStatusLine();
        LogLine("ri dtor");
    });
    EXPECT_EQ(Screen(received), (std::vector<std::string>{"loading actors", "tex/a.bmp: not a regular file",
                                                          "frame 30 of 30, show at 1.0 s", "ri dtor"}))
        << received;

    // Elsewhere (a file, a pipe) there is no status line to keep, and the
    // lines come as they are.
    StderrCapture notATerminal;
    ShowStatusLine("frame 1 of 30");
    ProblemLine("video: cannot write");
    EndStatusLine();
    EXPECT_EQ(notATerminal.Text(), "video: cannot write\n");
}
