#pragma once

#include <vector>

#include "link/PortNames.h"

// The serial devices present now, sorted (SortSerialDevices). Asks the system every time, so
// that an adapter plugged in after start-up is found.
std::vector<SerialDevice> ListSerialDevices();

// COM1 to COM7 with the devices present now.
std::vector<PortChoice> ListPortChoices();
