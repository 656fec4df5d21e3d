#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "link/DeviceList.h"
#include "link/OpenFailure.h"

// The card's line speed: every line the card commands open runs at it.
inline constexpr int kLineBaud = 1200;

// One serial device as the card commands use it. Implementations: the Qt serial port, and
// in-memory lines for tests.
class SerialLine {
  public:
    virtual ~SerialLine() = default;

    // Opens the device exclusively at 1200 baud, 8 data bits, no parity, one stop bit, no flow
    // control; empties both directions, then raises RTS and DTR (refusals of those two are
    // ignored). False, with nothing left open, when the device cannot be opened or configured.
    virtual bool Open(const std::string& device) = 0;

    // Why the last Open failed; OpenFailure::None after one that worked.
    virtual OpenFailure LastOpenFailure() const { return OpenFailure::None; }

    // The serial devices present on this PC that port names may lead to, asked afresh at every
    // call; none by default.
    virtual DeviceList PresentDevices() const { return {}; }

    // The device a path leads to now: a link's target, or the path itself.
    virtual std::string DeviceBehind(const std::string& path) const { return path; }
    // Whether the device a path leads to carries the system's console now.
    virtual bool IsConsole(const std::string& /*path*/) const { return false; }

    // Writes all bytes and returns when they have left the port, bounded at one second. True
    // only when every byte went out.
    virtual bool Write(const uint8_t* data, size_t count) = 0;

    // Reads up to count bytes into buffer: returns as soon as count bytes have arrived, or with
    // what arrived when 1000 ms have passed (since the start, or between two bytes).
    // Returns the number of bytes read, or -1 when the line failed (device gone).
    virtual int Read(uint8_t* buffer, size_t count) = 0;

    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
};
