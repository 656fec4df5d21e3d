// What the serial tools ask of the process and of the files they trace to, on each system.
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

#include "link/SerialPlatform.h"

namespace {

#ifdef _WIN32
int OpenForTrace(const std::filesystem::path& file) {
    return ::_wopen(file.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY,
                    _S_IREAD | _S_IWRITE);
}
long WriteSome(int fd, const char* data, size_t count) {
    return ::_write(fd, data, static_cast<unsigned>(count));
}
void CloseOutput(int fd) {
    ::_close(fd);
}
#else
int OpenForTrace(const std::filesystem::path& file) {
    // Non-blocking: a FIFO without a reader refuses at once (ENXIO), and a reader that stops
    // reading never holds the exchange with the card.
    return ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0644);
}
long WriteSome(int fd, const char* data, size_t count) {
    return ::write(fd, data, count);
}
void CloseOutput(int fd) {
    ::close(fd);
}
#endif

std::string ReasonOf(int error) {
#ifndef _WIN32
    if (error == ENXIO) {
        return "no program reads from it";
    }
#endif
    return std::strerror(error);
}

}  // namespace

void IgnoreBrokenPipes() {
#ifndef _WIN32
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

std::string TraceFileOfEnvironment() {
    const char* file = std::getenv("BROVANE_TRACE");
    return file == nullptr ? std::string() : std::string(file);
}

TraceOutput TraceOutput::StandardError() {
#ifndef _WIN32
    // A pipe or socket gets a description of its own, so that it can be written without waiting
    // while the shell's own use of it stays as it was.
    struct stat status {};
    if (::fstat(STDERR_FILENO, &status) == 0 &&
        (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode))) {
        const int fd = ::open("/proc/self/fd/2", O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            return TraceOutput(fd, true, {});
        }
    }
#endif
    return TraceOutput(2, false, {});
}

TraceOutput TraceOutput::File(const std::filesystem::path& file) {
    const int fd = OpenForTrace(file);
    return fd >= 0 ? TraceOutput(fd, true, {}) : TraceOutput(-1, false, ReasonOf(errno));
}

TraceOutput::TraceOutput(TraceOutput&& other) noexcept
    : fd_(other.fd_), owned_(other.owned_), reason_(std::move(other.reason_)) {
    other.fd_ = -1;
    other.owned_ = false;
}

TraceOutput::~TraceOutput() {
    if (owned_ && fd_ >= 0) {
        CloseOutput(fd_);
    }
}

TraceOutput::Outcome TraceOutput::Write(const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const long written = WriteSome(fd_, text.data() + done, text.size() - done);
        if (written > 0) {
            done += static_cast<size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
#ifndef _WIN32
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return Outcome::LeftOut;
        }
#endif
        reason_ = ReasonOf(written < 0 ? errno : EIO);
        return Outcome::Failed;
    }
    return Outcome::Written;
}

#ifdef _WIN32
namespace {

std::string Utf8(const wchar_t* name) {
    const std::u8string text = std::filesystem::path(name).u8string();
    return {text.begin(), text.end()};
}

}  // namespace

std::string LoginName() {
    wchar_t name[257] = {};
    DWORD size = 257;
    if (GetUserNameW(name, &size) == 0) {
        return {};
    }
    return Utf8(name);
}

std::string ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (GetComputerNameW(name, &size) == 0) {
        return {};
    }
    return Utf8(name);
}
#else
std::string LoginName() {
    char name[256] = {};
    if (::getlogin_r(name, sizeof name) == 0 && name[0] != '\0') {
        return name;
    }
    // No login session (a service, a container): the account the program runs under.
    if (const passwd* account = ::getpwuid(::geteuid()); account != nullptr) {
        return account->pw_name;
    }
    return {};
}

std::string ComputerName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) {
        return {};
    }
    return name;
}
#endif
