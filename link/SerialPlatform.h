#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "link/OpenFailure.h"

// The few operating-system calls the serial line needs beyond Qt SerialPort, one place per
// platform.

// The path a device name opens: a relative path means the working folder ("card" and "./card"
// alike); an absolute one and, on Windows, a port name stay as they are.
std::string DevicePath(const std::string& device);

// Exclusive use of a device, claimed before anything on it is changed. On POSIX systems it
// opens the device without touching its settings, checks that it is a serial line and takes an
// advisory lock that every other Brovane asks for too, whatever path it takes to the device; the
// lock lasts until Release or destruction. On Windows the exclusive open of the port does this.
class DeviceClaim {
  public:
    DeviceClaim() = default;
    ~DeviceClaim() { Release(); }
    DeviceClaim(const DeviceClaim&) = delete;
    DeviceClaim& operator=(const DeviceClaim&) = delete;

    // OpenFailure::None when the device is claimed.
    OpenFailure Claim(const std::string& path);
    void Release();

  private:
    int fd_ = -1;
};

// Waits until what was written to the open device has left the port, at most `timeout`. The
// device runs at `baud`. True when the output drained in time.
bool DrainOutput(intptr_t handle, int baud, std::chrono::milliseconds timeout);
