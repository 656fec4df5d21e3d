#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "link/SerialLine.h"
#include "link/SerialPlatform.h"

// Waits until the written bytes have left the port: (handle, baud, timeout) -> drained in time.
using OutputDrain = std::function<bool(intptr_t, int, std::chrono::milliseconds)>;

// The PC's serial port through Qt SerialPort. Tests may stand in for the wait on the port's
// output.
std::unique_ptr<SerialLine> MakeSystemSerialLine(OutputDrain drain = DrainOutput);
