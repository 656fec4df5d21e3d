// The serial line's operating-system side on Linux and other POSIX systems.
#ifndef _WIN32

#include <fcntl.h>
#include <signal.h>
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
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "link/PortMapping.h"
#include "link/SerialPlatform.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kDevFolder = "/dev/";
constexpr const char* kByIdFolder = "/dev/serial/by-id";
constexpr const char* kSysTtyFolder = "/sys/class/tty/";

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

std::string KernelName(const std::string& path) {
    std::error_code error;
    const fs::path target = fs::canonical(path, error);
    return (error ? fs::path(path) : target).filename().string();
}

std::string ReadWhole(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The names lock files take for a device: minicom and cu use the device's file name
// ("LCK..ttyUSB0"), Qt the path below /dev with '/' as '_' ("LCK..pts_3"); both for the path as
// given and for the device it leads to.
std::vector<std::string> LockFileNames(const std::string& path) {
    std::vector<std::string> paths = {path};
    std::error_code error;
    if (const fs::path target = fs::canonical(path, error); !error) {
        paths.push_back(target.string());
    }
    std::vector<std::string> names;
    for (const std::string& p : paths) {
        std::string belowDev = p.rfind(kDevFolder, 0) == 0 ? p.substr(5) : p;
        std::replace(belowDev.begin(), belowDev.end(), '/', '_');
        for (const std::string& name : {fs::path(p).filename().string(), belowDev}) {
            if (!name.empty() &&
                std::find(names.begin(), names.end(), "LCK.." + name) == names.end()) {
                names.push_back("LCK.." + name);
            }
        }
    }
    return names;
}

bool Living(pid_t pid) {
    // EPERM: it lives, under another user.
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

// True when a lock file in one of the folders says that another program has the device. A lock
// that names no process cannot be told from one being written: it is respected too.
bool LockedByAnother(const std::string& path, const std::vector<fs::path>& folders) {
    for (const fs::path& folder : folders) {
        for (const std::string& name : LockFileNames(path)) {
            std::error_code error;
            const fs::path lock = folder / name;
            if (!fs::is_regular_file(lock, error)) {
                continue;
            }
            const std::optional<long> owner = LockFileOwner(ReadWhole(lock));
            if (!owner || Living(static_cast<pid_t>(*owner))) {
                return true;
            }
        }
    }
    return false;
}

// False only when the driver says that no UART stands behind the node (an 8250 port the
// firmware announces but the board lacks).
bool UartBehind([[maybe_unused]] int fd) {
#ifdef __linux__
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) == 0) {
        return serial.type != PORT_UNKNOWN;
    }
#endif
    return true;
}

}  // namespace

std::FILE* OpenFile(const fs::path& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

std::string DevicePath(const std::string& device) {
    if (device.empty() || device.front() == '/') {
        return device;
    }
    std::error_code error;
    const fs::path absolute = fs::absolute(device, error);
    return error ? device : absolute.lexically_normal().string();
}

bool DeviceExists(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::exists(path, error);
}

PortSystem ThisPortSystem() {
    return PortSystem::Posix();
}

PortOverrides ReadPortOverrides() {
    PortOverrides overrides;
    for (int number = 1; number <= kPortChoiceCount; ++number) {
        const std::string variable = "BROVANE_COM" + std::to_string(number);
        if (const char* device = std::getenv(variable.c_str()); device != nullptr) {
            overrides.Set(number, device);
        }
    }
    return overrides;
}

std::string ShownDeviceName(const std::string& path) {
    const std::string dev = kDevFolder;
    return path.compare(0, dev.size(), dev) == 0 && path.size() > dev.size()
               ? path.substr(dev.size())
               : path;
}

std::string ByIdName(const std::string& path) {
    std::error_code error;
    const fs::path target = fs::canonical(path, error);
    if (error) {
        return {};
    }
    for (fs::directory_iterator it(kByIdFolder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code linkError;
        if (fs::canonical(it->path(), linkError) == target && !linkError) {
            return it->path().filename().string();
        }
    }
    return {};
}

std::vector<std::string> ActiveConsoles() {
    std::vector<std::string> consoles;
    const auto add = [&consoles](const std::string& name) {
        const std::string path = kDevFolder + name;
        if (!name.empty() && std::find(consoles.begin(), consoles.end(), path) == consoles.end()) {
            consoles.push_back(path);
        }
    };
    std::istringstream active(ReadWhole(std::string(kSysTtyFolder) + "console/active"));
    for (std::string name; active >> name;) {
        add(name);
    }
    // One console a line, its name first: "ttyS0                -W- (EC p a)    4:64".
    std::istringstream listed(ReadWhole("/proc/consoles"));
    for (std::string line; std::getline(listed, line);) {
        add(line.substr(0, line.find_first_of(" \t")));
    }
    return consoles;
}

bool IsUsbSerialDevice(const std::string& path) {
    const std::string name = KernelName(path);
    if (name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0) {
        return true;
    }
    std::error_code error;
    const fs::path device = fs::canonical(kSysTtyFolder + name + "/device", error);
    if (error) {
        return false;
    }
    // A USB serial device sits below a USB interface: .../usb1/1-2/1-2:1.0/ttyUSB0
    const std::string chain = device.string();
    return chain.find("/usb") != std::string::npos;
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
    size_t i = content.find_first_not_of(" \t");
    if (i != std::string::npos && content[i] >= '0' && content[i] <= '9') {
        long pid = 0;
        for (; i < content.size() && content[i] >= '0' && content[i] <= '9' && pid < 1'000'000'000;
             ++i) {
            pid = pid * 10 + (content[i] - '0');
        }
        return pid > 0 ? std::optional<long>(pid) : std::nullopt;
    }
    if (content.size() == sizeof(int32_t)) {
        int32_t pid = 0;
        std::copy(content.begin(), content.end(), reinterpret_cast<char*>(&pid));
        return pid > 0 ? std::optional<long>(pid) : std::nullopt;
    }
    return std::nullopt;
}

OpenFailure JudgeSerialNode(int settingsError, bool uartBehind) {
    if (settingsError == EIO || !uartBehind) {
        return OpenFailure::NoSuchDevice;
    }
    return settingsError == 0 ? OpenFailure::None : OpenFailure::NotSerialDevice;
}

OpenFailure DeviceClaim::Claim(const std::string& path) {
    Release();
    if (LockedByAnother(path, lockDirectories_)) {
        return OpenFailure::InUse;
    }
    // Non-blocking: a modem line without carrier would otherwise hold the open.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return FailureOfErrno(errno);
    }
    struct stat status {};
    termios settings{};
    OpenFailure failure = OpenFailure::None;
    if (::fstat(fd, &status) != 0 || !S_ISCHR(status.st_mode)) {
        failure = OpenFailure::NotSerialDevice;
    } else {
        const int settingsError = ::tcgetattr(fd, &settings) == 0 ? 0 : errno;
        failure = JudgeSerialNode(settingsError, settingsError != 0 || UartBehind(fd));
    }
    if (failure == OpenFailure::None && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        failure = FailureOfErrno(errno);
    }
    if (failure != OpenFailure::None) {
        ::close(fd);
        return failure;
    }
    fd_ = fd;
    return OpenFailure::None;
}

void DeviceClaim::Release() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::optional<int> OutputQueued(intptr_t handle) {
    int queued = 0;
    if (::ioctl(static_cast<int>(handle), TIOCOUTQ, &queued) != 0) {
        return std::nullopt;
    }
    return queued;
}

bool IsPseudoTerminal(intptr_t handle) {
    // Linux gives the slaves of pseudo-terminals the majors 136 to 143.
    constexpr unsigned kFirstPtyMajor = 136;
    constexpr unsigned kPtyMajors = 8;
    struct stat status {};
    if (::fstat(static_cast<int>(handle), &status) != 0 || !S_ISCHR(status.st_mode)) {
        return false;
    }
    const auto number = static_cast<unsigned>(major(status.st_rdev));
    return number >= kFirstPtyMajor && number < kFirstPtyMajor + kPtyMajors;
}

bool DrainTransmitter(intptr_t handle) {
    // The driver's queue is empty; what is left is the UART's own few bytes, which the driver
    // waits out with a bound of its own.
    int drained = 0;
    do {
        drained = ::tcdrain(static_cast<int>(handle));
    } while (drained != 0 && errno == EINTR);
    return drained == 0;
}

#endif
