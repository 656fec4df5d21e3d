#pragma once

#include <memory>

#include "link/SerialLine.h"

// The PC's serial port through Qt SerialPort.
std::unique_ptr<SerialLine> MakeSystemSerialLine();
