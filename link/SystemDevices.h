#pragma once

#include <vector>

#include "link/DeviceList.h"
#include "link/PortMapping.h"

// The serial devices present now, as the system lists them, sorted once; the system's console
// is left out. Asks the system every time, so that an adapter plugged in after start-up is found.
DeviceList ListSerialDevices();

// COM1 to COM7 with the devices present now.
std::vector<PortChoice> ListPortChoices(const PortOverrides& overrides);
