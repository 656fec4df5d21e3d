// The serial line's operating-system side on Linux and other POSIX systems.
#ifndef _WIN32

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/sysmacros.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "link/PortMapping.h"
#include "link/SerialPlatform.h"
#include "link/SerialPlatformPosix.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kByIdFolder = "/dev/serial/by-id";
constexpr const char* kSysTtyFolder = "/sys/class/tty/";

std::string KernelName(const std::string& path) {
    std::error_code error;
    const fs::path target = fs::canonical(path, error);
    return (error ? fs::path(path) : target).filename().string();
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

std::string DeviceBehind(const std::string& path) {
    std::error_code error;
    const fs::path target = fs::canonical(path, error);
    return error ? path : target.string();
}

std::string UsbConnection(const std::string& path) {
    std::error_code error;
    const fs::path device = fs::canonical(kSysTtyFolder + KernelName(path) + "/device", error);
    if (error) {
        return {};
    }
    // Up from the interface to the USB device, the first folder with a device number.
    for (fs::path folder = device; folder.has_relative_path() && folder != "/sys";
         folder = folder.parent_path()) {
        if (fs::exists(folder / "busnum", error) && fs::exists(folder / "devnum", error)) {
            std::istringstream number(ReadWholeFile(folder / "devnum"));
            std::string devnum;
            number >> devnum;
            return folder.filename().string() + "#" + devnum;
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
    std::istringstream active(ReadWholeFile(std::string(kSysTtyFolder) + "console/active"));
    for (std::string name; active >> name;) {
        add(name);
    }
    // One console a line, its name first: "ttyS0                -W- (EC p a)    4:64".
    std::istringstream listed(ReadWholeFile("/proc/consoles"));
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
