#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
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
// Where a path leads: the device behind a link (a by-id name, $BROVANE_COMn naming a link), the
// path itself where it is none or leads nowhere.
std::string DeviceBehind(const std::string& path);
// The device as the port list shows it: "/dev/ttyUSB0" as "ttyUSB0".
std::string ShownDeviceName(const std::string& path);

// --- Port names ------------------------------------------------------------------------------

// How a system names its serial ports, for the port mapping. Windows names them itself: every
// COMn is a port of its own, opened by that name, and none is set by hand. Elsewhere COM1 to
// COM7 are this program's names for the devices present, each may be set by hand
// (PortOverrides), and each falls back to an on-board port.
struct PortSystem {
    bool systemNamesComPorts = false;

    // The on-board port that COMn falls back to when fewer devices are present:
    // /dev/ttyS<n-1>; empty where the system names its ports.
    std::string FallbackDevice(int number) const;

    static PortSystem Posix();
    static PortSystem Windows();
};

// The rules of the system this program runs on.
PortSystem ThisPortSystem();

// The devices set by hand for COMn, as $BROVANE_COM1 to $BROVANE_COM7 name them: a virtual
// card, or a device under a path of the technician's choice.
class PortOverrides {
  public:
    // An empty device leaves the name to the mapping.
    void Set(int number, std::string device);
    // The device set for COMn; none when it was not set.
    std::optional<std::string> Of(int number) const;

  private:
    std::map<int, std::string> devices_;
};

// Reads $BROVANE_COM1 to $BROVANE_COM7 as they are set now; the mapping is handed the value and
// never reads the environment itself. None on Windows, whose port names are the system's.
PortOverrides ReadPortOverrides();

// --- Files ------------------------------------------------------------------------------------

// Opens a file by its path as the system spells it, with fopen's `mode` ("rb", "w"): Windows
// by the wide name, so that no letter of a folder is lost to the code page. nullptr, with the
// system's errno, when it cannot be opened.
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode);

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
// Where and since when a USB adapter is plugged in: its USB port and its device number on the
// bus, "1-1.2#7", from /sys. It changes whenever the adapter is plugged in again. Empty for a
// device that is no USB adapter, and on Windows.
std::string UsbConnection(const std::string& path);

// --- Exclusive use -----------------------------------------------------------------------------

// The folders where programs such as minicom and cu announce their use of a device with a UUCP
// lock file (LCK..ttyUSB0). Empty on Windows.
std::vector<std::filesystem::path> LockDirectories();

// The process a lock file's content names: ASCII (HDB's ten-digit field, minicom's
// "PID name user", Qt's "PID\nname\nhost") or the old binary form of four bytes. None when it
// names no process.
std::optional<long> LockFileOwner(const std::string& content);

// What the system says of a process when asked whether it may be signalled (kill with signal 0):
// 0 when it may, else the error (ESRCH: it has ended; EPERM: it lives, under another user).
using ProcessProbe = std::function<int(long pid)>;
int ProbeProcess(long pid);
// Whether the owner of a lock lives, from what ProbeProcess said of it.
bool OwnerLives(int probeResult);

// What the system says of a character device that opened.
struct SerialNode {
    int settingsError = 0;     // the error of reading its line settings; 0 for none
    std::string driver;        // the kernel's driver behind it: "serial8250", "ftdi_sio"
    bool uartUnknown = false;  // the driver reports no UART type (PORT_UNKNOWN)
};
// Whether it is a serial line to open. Only an 8250 port reports an unknown UART when no UART
// stands behind it (a port the firmware announces but the board lacks); every USB adapter's
// driver leaves the type unknown and is judged by its settings alone.
OpenFailure JudgeSerialNode(const SerialNode& node);

// Exclusive use of a device, claimed before anything on it is changed. On POSIX systems it
// first looks for a lock file of the device in `lockDirectories`: one that names a living
// process means another program has the line, and the device is not even opened. Then it takes
// the device's own UUCP lock file atomically (a lock whose owner has ended is taken over), opens
// the device without touching its settings, checks that it is a serial line with hardware
// behind it and takes an advisory lock that every other Brovane asks for too, whatever path it
// takes to the device. Both locks last until Release or destruction; no other program's lock
// file is ever removed. On Windows the exclusive open of the port does all this.
class DeviceClaim {
  public:
    explicit DeviceClaim(std::vector<std::filesystem::path> lockDirectories = LockDirectories(),
                         ProcessProbe probe = ProbeProcess)
        : lockDirectories_(std::move(lockDirectories)), probe_(std::move(probe)) {}
    ~DeviceClaim() { Release(); }
    DeviceClaim(const DeviceClaim&) = delete;
    DeviceClaim& operator=(const DeviceClaim&) = delete;

    // OpenFailure::None when the device is claimed.
    OpenFailure Claim(const std::string& path);
    // The path by which the claimed device is opened again: on Linux the claim's own descriptor
    // under /proc, so that a toolkit that keeps lock files of its own names a file no other
    // program uses, and never judges another program's lock of the device. The path itself
    // where there is no such name.
    std::string ReopenPath(const std::string& path) const;
    void Release();

  private:
    // Takes the device's UUCP lock file; OpenFailure::InUse when another program has it.
    OpenFailure TakeLockFile(const std::string& path);

    std::vector<std::filesystem::path> lockDirectories_;
    ProcessProbe probe_;
    std::filesystem::path lockFile_;  // the lock file this claim made; empty if none
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

// --- The process and its trace ---------------------------------------------------------------

// A reader of the trace or of the output that goes away must not end the program part-way
// through a programming: its writes fail with an error instead. Nothing to do on Windows.
void IgnoreBrokenPipes();

// Who runs the program, for a record of the work: the login name (the user's account name
// where there is no login session); empty when the system names none.
std::string LoginName();
// The computer's name on the network; empty when the system names none.
std::string ComputerName();

// The file that the environment variable BROVANE_TRACE names, read once at start-up; empty when
// it is not set.
std::string TraceFileOfEnvironment();

// Where a trace goes, written without ever waiting for its reader.
class TraceOutput {
  public:
    enum class Outcome { Written, LeftOut, Failed };

    // Standard error.
    static TraceOutput StandardError();
    // A file, created afresh; a FIFO that no program reads is refused at once, not waited for.
    static TraceOutput File(const std::filesystem::path& file);

    TraceOutput(TraceOutput&& other) noexcept;
    TraceOutput& operator=(TraceOutput&&) = delete;
    TraceOutput(const TraceOutput&) = delete;
    TraceOutput& operator=(const TraceOutput&) = delete;
    ~TraceOutput();

    bool Ok() const { return fd_ >= 0; }
    // Why the output could not be opened, or why the last write failed: "No space left on device".
    const std::string& Reason() const { return reason_; }
    // Writes the text with what the output takes at once: LeftOut when its reader does not keep
    // up (the text is dropped), Failed when it cannot be written at all (Reason says why).
    Outcome Write(const std::string& text);

  private:
    TraceOutput(int fd, bool owned, std::string reason)
        : fd_(fd), owned_(owned), reason_(std::move(reason)) {}
    int fd_ = -1;
    bool owned_ = false;
    std::string reason_;
};
