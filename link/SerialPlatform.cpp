#include "link/SerialPlatform.h"

#include <algorithm>
#include <filesystem>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

#ifndef _WIN32
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
#endif

}  // namespace

std::string DevicePath(const std::string& device) {
#ifdef _WIN32
    return device;
#else
    if (device.empty() || device.front() == '/') {
        return device;
    }
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(device, error);
    return error ? device : absolute.lexically_normal().string();
#endif
}

OpenFailure DeviceClaim::Claim([[maybe_unused]] const std::string& path) {
    Release();
#ifdef _WIN32
    return OpenFailure::None;
#else
    // Non-blocking: a modem line without carrier would otherwise hold the open.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return FailureOfErrno(errno);
    }
    struct stat status {};
    termios settings{};
    OpenFailure failure = OpenFailure::None;
    if (::fstat(fd, &status) != 0 || !S_ISCHR(status.st_mode) || ::tcgetattr(fd, &settings) != 0) {
        failure = OpenFailure::NotSerialDevice;
    } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        failure = FailureOfErrno(errno);
    }
    if (failure != OpenFailure::None) {
        ::close(fd);
        return failure;
    }
    fd_ = fd;
    return OpenFailure::None;
#endif
}

void DeviceClaim::Release() {
#ifndef _WIN32
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
#endif
}

bool DrainOutput(intptr_t handle, [[maybe_unused]] int baud, std::chrono::milliseconds timeout) {
#ifdef _WIN32
    // The port's write timeouts bound this too.
    (void)timeout;
    return ::FlushFileBuffers(reinterpret_cast<HANDLE>(handle)) != 0;
#else
    using Clock = std::chrono::steady_clock;
    const int fd = static_cast<int>(handle);
    const auto deadline = Clock::now() + timeout;
    // A byte takes 10 bit times. The driver's queue is watched rather than waited on with
    // tcdrain alone, which has no bound while the line is held up.
    const auto byteTime = std::chrono::microseconds(10'000'000 / std::max(baud, 1));
    for (;;) {
        int queued = 0;
        if (::ioctl(fd, TIOCOUTQ, &queued) != 0) {
            return false;
        }
        if (queued <= 0) {
            break;
        }
        const auto now = Clock::now();
        if (now >= deadline) {
            return false;
        }
        const auto wait = std::min<Clock::duration>(deadline - now, byteTime * queued);
        std::this_thread::sleep_for(wait);
    }
    // The driver's queue is empty; what is left is the UART's own few bytes, which the driver
    // waits out with a bound of its own.
    return ::tcdrain(fd) == 0;
#endif
}
