#include "tests/cli/process_helpers.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>

#include "app/ProgramDirectory.h"

namespace cli_test {

CliProcess::CliProcess(const std::vector<std::string>& arguments, const ChildOptions& options) {
    const std::string program = PathText(ExecutableDirectory() / "brovane-cli");
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    int pipeEnds[2] = {-1, -1};
    if (options.terminalColumns > 0) {
        // A terminal of the size asked, raw, so that what the child draws arrives unchanged.
        pipeEnds[0] = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (pipeEnds[0] < 0 || ::grantpt(pipeEnds[0]) != 0 || ::unlockpt(pipeEnds[0]) != 0) {
            return;
        }
        pipeEnds[1] = ::open(::ptsname(pipeEnds[0]), O_RDWR | O_NOCTTY);
        termios mode = {};
        ::tcgetattr(pipeEnds[1], &mode);
        ::cfmakeraw(&mode);
        ::tcsetattr(pipeEnds[1], TCSANOW, &mode);
        const winsize size{static_cast<unsigned short>(options.terminalRows),
                           static_cast<unsigned short>(options.terminalColumns), 0, 0};
        ::ioctl(pipeEnds[1], TIOCSWINSZ, &size);
    } else if (::pipe(pipeEnds) != 0) {
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        const int out = ::open(options.standardOutput.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(pipeEnds[1], STDERR_FILENO);
        ::close(pipeEnds[0]);
        if (options.fileSizeLimit >= 0) {
            if (options.fileSizeSignalIgnored) {
                // A write beyond the limit then fails with EFBIG instead of ending the process.
                ::signal(SIGXFSZ, SIG_IGN);
            }
            const rlimit limit{static_cast<rlim_t>(options.fileSizeLimit),
                               static_cast<rlim_t>(options.fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (options.userId >= 0 && (::setgid(static_cast<gid_t>(options.userId)) != 0 ||
                                    ::setuid(static_cast<uid_t>(options.userId)) != 0)) {
            ::_exit(126);
        }
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    errorPipe_ = pipeEnds[0];
}

CliProcess::~CliProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (errorPipe_ >= 0) {
        ::close(errorPipe_);
    }
}

void CliProcess::StopReadingError() {
    if (errorPipe_ >= 0) {
        ::close(errorPipe_);
        errorPipe_ = -1;
    }
}

bool CliProcess::ReadSome(std::chrono::milliseconds timeout) {
    if (errorPipe_ < 0) {
        // Nothing to read: wait for the child's end instead, a few milliseconds at a time.
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            ended_ = status;
            return false;
        }
        ::poll(nullptr, 0, static_cast<int>(std::min<long>(timeout.count(), 20)));
        return true;
    }
    pollfd ready{errorPipe_, POLLIN, 0};
    if (::poll(&ready, 1, static_cast<int>(timeout.count())) <= 0) {
        return true;
    }
    char buffer[4096];
    const ssize_t got = ::read(errorPipe_, buffer, sizeof buffer);
    if (got <= 0) {
        return false;
    }
    error_.append(buffer, static_cast<size_t>(got));
    return true;
}

bool CliProcess::WaitForError(const std::string& text, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (error_.find(text) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !ReadSome(left)) {
            return error_.find(text) != std::string::npos;
        }
    }
    return true;
}

void CliProcess::Signal(int signal) const {
    if (pid_ > 0) {
        ::kill(pid_, signal);
    }
}

std::optional<int> CliProcess::Wait(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return std::nullopt;
        }
        if (!ReadSome(left)) {
            break;
        }
    }
    int status = 0;
    if (ended_) {
        status = *ended_;
    } else {
        ::waitpid(pid_, &status, 0);
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace cli_test
