#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "link/OutputDrain.h"
#include "link/SerialLine.h"
#include "link/SerialPlatform.h"

// What the Qt serial line asks of the operating system beside Qt, so that tests can stand in
// for each driver and each system.
struct LinePlatform {
    // Bytes the driver still holds for the open device (OutputQueued).
    std::function<std::optional<int>(intptr_t handle)> outputQueue;
    // Where other programs' lock files are looked for (LockDirectories).
    std::vector<std::filesystem::path> lockDirectories;
    // The serial devices present now (ListSerialDevices).
    std::function<DeviceList()> presentDevices;
    // Whether the open device is a pseudo-terminal, whose bytes take no line time to leave
    // (IsPseudoTerminal); any other device is a wire.
    std::function<bool(intptr_t handle)> pseudoTerminal;
    // The clock the wait for a request to leave the port reads and sleeps on.
    DrainClock drainClock;
    // Whether the owners of other programs' lock files live (ProbeProcess).
    ProcessProbe processProbe = ProbeProcess;
    // The windows' line: every wait for the card lets the thread's event loop run, so that the
    // windows stay responsive during a batch. Off for brovane-cli, whose waits block.
    bool waitInEventLoop = false;

    // The system's own.
    static LinePlatform System();
    // The system's own, waiting in the event loop: the dialogs' line.
    static LinePlatform Responsive();
};

// The PC's serial port through Qt SerialPort.
std::unique_ptr<SerialLine> MakeSystemSerialLine(LinePlatform platform = LinePlatform::System());
