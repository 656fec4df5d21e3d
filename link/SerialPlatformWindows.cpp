// The serial line's operating-system side on Windows: its ports are named COMn and opened
// exclusively by the system, so there are no device files, consoles or lock files to look at.
#ifdef _WIN32

#include <windows.h>

#include "link/SerialPlatform.h"

namespace fs = std::filesystem;

std::FILE* OpenFile(const fs::path& path, const char* mode) {
    // fopen's modes are ASCII letters.
    const std::string narrow(mode);
    const std::wstring wide(narrow.begin(), narrow.end());
    return ::_wfopen(path.c_str(), wide.c_str());
}

std::string DevicePath(const std::string& device) {
    return device;
}

bool DeviceExists(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::exists(fs::u8path(path), error);
}

PortSystem ThisPortSystem() {
    return PortSystem::Windows();
}

PortOverrides ReadPortOverrides() {
    return {};
}

std::string ByIdName(const std::string& /*path*/) {
    return {};
}

std::vector<std::string> ActiveConsoles() {
    return {};
}

bool IsUsbSerialDevice(const std::string& /*path*/) {
    return false;
}

std::string UsbConnection(const std::string& /*path*/) {
    return {};
}

std::string DeviceBehind(const std::string& path) {
    return path;
}

std::vector<fs::path> LockDirectories() {
    return {};
}

std::optional<long> LockFileOwner(const std::string& /*content*/) {
    return std::nullopt;
}

int ProbeProcess(long /*pid*/) {
    return 0;
}

bool OwnerLives(int /*probeResult*/) {
    return true;
}

OpenFailure JudgeSerialNode(const SerialNode& node) {
    return node.settingsError == 0 ? OpenFailure::None : OpenFailure::NotSerialDevice;
}

OpenFailure DeviceClaim::Claim(const std::string& /*path*/) {
    return OpenFailure::None;
}

OpenFailure DeviceClaim::TakeLockFile(const std::string& /*path*/) {
    return OpenFailure::None;
}

std::string DeviceClaim::ReopenPath(const std::string& path) const {
    return path;
}

void DeviceClaim::Release() {}

std::optional<int> OutputQueued(intptr_t handle) {
    DWORD errors = 0;
    COMSTAT status{};
    if (::ClearCommError(reinterpret_cast<HANDLE>(handle), &errors, &status) == 0) {
        const DWORD error = ::GetLastError();
        // A driver that cannot report its queue (some virtual ports) has nothing to wait for.
        if (error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED) {
            return 0;
        }
        return std::nullopt;
    }
    return static_cast<int>(status.cbOutQue);
}

bool IsPseudoTerminal(intptr_t /*handle*/) {
    return false;
}

bool DrainTransmitter(intptr_t /*handle*/) {
    // FlushFileBuffers would wait without a bound; the emptied output queue is as far as
    // Windows lets a program see.
    return true;
}

#endif
