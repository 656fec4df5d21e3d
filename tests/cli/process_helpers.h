// The real brovane-cli as a child process, for what only a process shows: signals, standard
// output on a full device, a file size limit.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace cli_test {

struct ChildOptions {
    std::string standardOutput = "/dev/null";  // where the child's standard output goes
    long fileSizeLimit = -1;                   // bytes a file of the child may hold; -1: any
    bool fileSizeSignalIgnored = true;         // false: SIGXFSZ as a shell leaves it
    int terminalColumns = 0;  // >0: standard error is a pseudo-terminal of this size
    int terminalRows = 0;
    long userId = -1;  // >=0: the child runs as this user (and group of the same number)
};

// Started at construction; killed and reaped on every path out of the test.
class CliProcess {
  public:
    CliProcess(const std::vector<std::string>& arguments, const ChildOptions& options = {});
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    // Reads standard error until it holds `text`; false when the child ends or the time is up.
    bool WaitForError(const std::string& text, std::chrono::milliseconds timeout);
    void Signal(int signal) const;
    // The exit code once the child has ended (standard error read to its end), or nothing when
    // it is still running at the timeout.
    std::optional<int> Wait(std::chrono::milliseconds timeout);
    const std::string& Error() const { return error_; }
    // Closes the reading end of standard error, as `| head` does when it has its lines.
    void StopReadingError();

  private:
    // Reads what standard error has within `timeout`; false at its end.
    bool ReadSome(std::chrono::milliseconds timeout);

    pid_t pid_ = -1;
    int errorPipe_ = -1;  // a pipe, or the master side of the terminal
    std::string error_;
    std::optional<int> ended_;  // the child's status, once reaped while nothing was read
};

}  // namespace cli_test
