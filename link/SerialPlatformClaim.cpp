// Exclusive use of a serial device on Linux and other POSIX systems: UUCP lock files, the
// device's own advisory lock, and what the driver says of the node.
#ifndef _WIN32

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/serial.h>
#include <sys/sysmacros.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "link/SerialPlatform.h"
#include "link/SerialPlatformPosix.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kLockPrefix = "LCK..";

// The device's path below /dev with '/' as '_' ("pts_3"), or its file name where it lies
// elsewhere: the name Qt and lockdev give its lock file.
std::string BelowDev(const std::string& path) {
    std::string name = path.rfind(kDevFolder, 0) == 0 ? path.substr(std::strlen(kDevFolder))
                                                      : fs::path(path).filename().string();
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
}

std::string CanonicalOr(const std::string& path) {
    std::error_code error;
    const fs::path target = fs::canonical(path, error);
    return error ? path : target.string();
}

// The names lock files take for a device: minicom and cu use the device's file name
// ("LCK..ttyUSB0"), Qt the path below /dev with '/' as '_' ("LCK..pts_3"); both for the path as
// given and for the device it leads to.
std::vector<std::string> LockFileNames(const std::string& path) {
    std::vector<std::string> names;
    for (const std::string& p : {path, CanonicalOr(path)}) {
        for (const std::string& name : {fs::path(p).filename().string(), BelowDev(p)}) {
            if (!name.empty() &&
                std::find(names.begin(), names.end(), kLockPrefix + name) == names.end()) {
                names.push_back(kLockPrefix + name);
            }
        }
    }
    return names;
}

std::string HdbContent(long pid) {
    char text[16];
    std::snprintf(text, sizeof text, "%10ld\n", pid);
    return text;
}

bool WriteNewFile(const fs::path& file, const std::string& content) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    const bool written =
        ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    return ::close(fd) == 0 && written;
}

// The first lock folder this user may write to; empty when there is none.
fs::path WritableFolder(const std::vector<fs::path>& folders) {
    for (const fs::path& folder : folders) {
        if (::access(folder.c_str(), W_OK | X_OK) == 0) {
            return folder;
        }
    }
    return {};
}

#ifdef __linux__
// The driver the kernel bound to the device: the last part of its /sys driver link.
std::string DriverOf(const struct stat& status) {
    const fs::path link = "/sys/dev/char/" + std::to_string(major(status.st_rdev)) + ":" +
                          std::to_string(minor(status.st_rdev)) + "/device/driver";
    std::error_code error;
    const fs::path driver = fs::read_symlink(link, error);
    return error ? std::string() : driver.filename().string();
}
#endif

SerialNode DescribeNode([[maybe_unused]] int fd, [[maybe_unused]] const struct stat& status) {
    SerialNode node;
    termios settings{};
    node.settingsError = ::tcgetattr(fd, &settings) == 0 ? 0 : errno;
#ifdef __linux__
    node.driver = DriverOf(status);
    serial_struct serial{};
    node.uartUnknown = ::ioctl(fd, TIOCGSERIAL, &serial) == 0 && serial.type == PORT_UNKNOWN;
#endif
    return node;
}

}  // namespace

std::string ReadWholeFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

OpenFailure FailureOfErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
        case ENODEV:
        case ENXIO:
        case EIO:  // a serial port without hardware behind it
            return OpenFailure::NoSuchDevice;
        case EACCES:
        case EPERM:
        case EROFS:
            return OpenFailure::PermissionDenied;
        case EBUSY:
        case EWOULDBLOCK:
            return OpenFailure::InUse;
        case EISDIR:
        case ENOTTY:
            return OpenFailure::NotSerialDevice;
        default:
            return OpenFailure::Other;
    }
}

std::vector<fs::path> LockDirectories() {
    std::vector<fs::path> folders;
    for (const char* candidate : {"/var/lock", "/run/lock", "/var/lock/lockdev", "/var/spool/locks",
                                  "/var/spool/uucp", "/etc/locks", "/tmp", "/var/tmp"}) {
        std::error_code error;
        const fs::path folder = fs::canonical(candidate, error);
        if (!error && std::find(folders.begin(), folders.end(), folder) == folders.end()) {
            folders.push_back(folder);
        }
    }
    return folders;
}

std::optional<long> LockFileOwner(const std::string& content) {
    // The binary form is the PID in four bytes. A PID (below 2^22 on Linux) has a zero byte
    // there, which no text form holds; its other bytes may well look like digits.
    if (content.size() == sizeof(int32_t) && content.find('\0') != std::string::npos) {
        int32_t pid = 0;
        std::memcpy(&pid, content.data(), sizeof pid);
        return pid > 0 ? std::optional<long>(pid) : std::nullopt;
    }
    size_t i = content.find_first_not_of(" \t");
    long pid = 0;
    for (; i < content.size() && content[i] >= '0' && content[i] <= '9' && pid < 1'000'000'000;
         ++i) {
        pid = pid * 10 + (content[i] - '0');
    }
    return pid > 0 ? std::optional<long>(pid) : std::nullopt;
}

int ProbeProcess(long pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == 0 ? 0 : errno;
}

bool OwnerLives(int probeResult) {
    // EPERM: it lives, under another user. Only ESRCH says it has ended.
    return probeResult != ESRCH;
}

OpenFailure JudgeSerialNode(const SerialNode& node) {
    // 8250_pnp and 8250_pci register as "serial", the platform ports as "serial8250".
    const bool port8250 = node.driver == "serial8250" || node.driver == "serial";
    if (node.settingsError == EIO || (port8250 && node.uartUnknown)) {
        return OpenFailure::NoSuchDevice;
    }
    return node.settingsError == 0 ? OpenFailure::None : OpenFailure::NotSerialDevice;
}

OpenFailure DeviceClaim::TakeLockFile(const std::string& path) {
    const long self = ::getpid();
    // Another program's lock, under any of the names and in any of the folders.
    for (const fs::path& folder : lockDirectories_) {
        for (const std::string& name : LockFileNames(path)) {
            std::error_code error;
            const fs::path lock = folder / name;
            if (!fs::is_regular_file(lock, error)) {
                continue;
            }
            // A lock that names no process cannot be told from one being written: respected.
            const std::optional<long> owner = LockFileOwner(ReadWholeFile(lock));
            if (!owner || *owner == self || OwnerLives(probe_(*owner))) {
                return OpenFailure::InUse;
            }
        }
    }
    // Our own, made whole under a temporary name and linked into place: whoever comes second
    // finds it complete, and none of two that come at once overwrites the other.
    const fs::path folder = WritableFolder(lockDirectories_);
    if (folder.empty()) {
        return OpenFailure::None;  // no folder this user may lock in: nobody else can either
    }
    const fs::path lock = folder / (kLockPrefix + BelowDev(CanonicalOr(path)));
    const fs::path draft = folder / ("LTMP.brovane." + std::to_string(self) + "." +
                                     std::to_string(reinterpret_cast<uintptr_t>(this)));
    ::unlink(draft.c_str());
    if (!WriteNewFile(draft, HdbContent(self))) {
        return OpenFailure::None;
    }
    bool taken = ::link(draft.c_str(), lock.c_str()) == 0;
    if (!taken && errno == EEXIST) {
        // There since the look above: taken over only when its owner has ended.
        const std::optional<long> owner = LockFileOwner(ReadWholeFile(lock));
        if (!owner || *owner == self || OwnerLives(probe_(*owner))) {
            ::unlink(draft.c_str());
            return OpenFailure::InUse;
        }
        taken = ::rename(draft.c_str(), lock.c_str()) == 0 &&
                LockFileOwner(ReadWholeFile(lock)) == std::optional<long>(self);
        if (!taken) {
            ::unlink(draft.c_str());
            return OpenFailure::InUse;
        }
    }
    ::unlink(draft.c_str());
    if (taken) {
        lockFile_ = lock;
    }
    return OpenFailure::None;
}

OpenFailure DeviceClaim::Claim(const std::string& path) {
    Release();
    if (const OpenFailure locked = TakeLockFile(path); locked != OpenFailure::None) {
        return locked;
    }
    // Non-blocking: a modem line without carrier would otherwise hold the open.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const OpenFailure failure = FailureOfErrno(errno);
        Release();
        return failure;
    }
    struct stat status {};
    OpenFailure failure = OpenFailure::None;
    if (::fstat(fd, &status) != 0 || !S_ISCHR(status.st_mode)) {
        failure = OpenFailure::NotSerialDevice;
    } else {
        failure = JudgeSerialNode(DescribeNode(fd, status));
    }
    if (failure == OpenFailure::None && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        failure = FailureOfErrno(errno);
    }
    fd_ = fd;
    if (failure != OpenFailure::None) {
        Release();
    }
    return failure;
}

std::string DeviceClaim::ReopenPath(const std::string& path) const {
    if (fd_ < 0) {
        return path;
    }
    const std::string own = "/proc/" + std::to_string(::getpid()) + "/fd/" + std::to_string(fd_);
    std::error_code error;
    return fs::exists(own, error) ? own : path;
}

void DeviceClaim::Release() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!lockFile_.empty()) {
        // Only while it is still ours.
        if (LockFileOwner(ReadWholeFile(lockFile_)) == std::optional<long>(::getpid())) {
            ::unlink(lockFile_.c_str());
        }
        lockFile_.clear();
    }
}

#endif
