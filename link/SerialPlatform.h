#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "link/OpenFailure.h"

// What the serial line needs to know of the operating system beyond Qt SerialPort: device
// paths, the system's consoles and USB devices, lock files, exclusive use and the output queue.
// One place per platform (SerialPlatformPosix.cpp, SerialPlatformWindows.cpp); everything above
// it takes plain lists.

// --- Names and paths -------------------------------------------------------------------------

// The path a device name opens: a relative path means the working folder ("card" and "./card"
// alike); an absolute one and, on Windows, a port name stay as they are.
std::string DevicePath(const std::string& device);
// Whether something exists at the path (a device, a file, a link to one).
bool DeviceExists(const std::string& path);
// The on-board port that COMn falls back to when fewer devices are present: /dev/ttyS<n-1>.
// Empty on Windows, whose port names are the devices themselves.
std::string FallbackDevice(int number);
// The device as the port list shows it: "/dev/ttyUSB0" as "ttyUSB0".
std::string ShownDeviceName(const std::string& path);

// --- What the system says of its devices ------------------------------------------------------

// The persistent name /dev/serial/by-id gives the device (it stays the same whichever USB socket
// the adapter is plugged into and in whatever order); empty if none.
std::string ByIdName(const std::string& path);
// The devices that carry the system's console now (/sys/class/tty/console/active,
// /proc/consoles), as paths: "/dev/ttyS0". Empty on Windows.
std::vector<std::string> ActiveConsoles();
// A USB adapter by the kernel's own knowledge, for systems without a device database: its
// kernel name is ttyUSB* or ttyACM*, or its /sys/class/tty entry leads to a USB device.
bool IsUsbSerialDevice(const std::string& path);

// --- Exclusive use -----------------------------------------------------------------------------

// The folders where programs such as minicom and cu announce their use of a device with a UUCP
// lock file (LCK..ttyUSB0). Empty on Windows.
std::vector<std::filesystem::path> LockDirectories();

// The process a lock file's content names: ASCII (HDB's ten-digit field, minicom's
// "PID name user", Qt's "PID\nname\nhost") or the old binary form of four bytes. None when it
// names no process.
std::optional<long> LockFileOwner(const std::string& content);

// What a character device that opened is, from what the system says of it: the error of
// reading its line settings (0 for none) and whether its driver says a UART stands behind it.
OpenFailure JudgeSerialNode(int settingsError, bool uartBehind);

// Exclusive use of a device, claimed before anything on it is changed. On POSIX systems it
// first looks for a lock file of the device in `lockDirectories`: one that names a living
// process means another program has the line, and the device is not even opened. Then it opens
// the device without touching its settings, checks that it is a serial line with hardware
// behind it and takes an advisory lock that every other Brovane asks for too, whatever path it
// takes to the device; the lock lasts until Release or destruction. A lock file is never
// removed here. On Windows the exclusive open of the port does all this.
class DeviceClaim {
  public:
    explicit DeviceClaim(std::vector<std::filesystem::path> lockDirectories = LockDirectories())
        : lockDirectories_(std::move(lockDirectories)) {}
    ~DeviceClaim() { Release(); }
    DeviceClaim(const DeviceClaim&) = delete;
    DeviceClaim& operator=(const DeviceClaim&) = delete;

    // OpenFailure::None when the device is claimed.
    OpenFailure Claim(const std::string& path);
    void Release();

  private:
    std::vector<std::filesystem::path> lockDirectories_;
    int fd_ = -1;
};

// --- Output ------------------------------------------------------------------------------------

// The open device as the calls below take it, from what the serial port library gives: a file
// descriptor on POSIX systems, a HANDLE (a pointer) on Windows.
template <typename NativeHandle>
intptr_t LineHandle(NativeHandle handle) {
    if constexpr (std::is_pointer_v<NativeHandle>) {
        return reinterpret_cast<intptr_t>(handle);
    } else {
        return static_cast<intptr_t>(handle);
    }
}

// How many written bytes the driver still holds for the open device; none when it cannot be
// asked (the line failed). A driver that cannot report its queue at all counts as empty.
std::optional<int> OutputQueued(intptr_t handle);
// A pseudo-terminal has no wire: what is written is across at once, and no line time passes.
bool IsPseudoTerminal(intptr_t handle);
// Waits for the few bytes the UART itself still holds once the driver's queue is empty (the
// driver bounds this wait). False when the line failed.
bool DrainTransmitter(intptr_t handle);
