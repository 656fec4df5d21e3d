#pragma once

#include <string>

#include "link/OpenFailure.h"

// Why a serial port did not open, and what the port list shows for a name without a device,
// in the loaded language (texts 200 to 209 and 223); the link's English where the language file lacks
// them. Brovane's dialogs and brovane-cli say it in the same words. UTF-8.

// The port list's word for a name that leads to no device: "no device".
std::string NoDeviceText();
// Why the port did not open: "no such device".
std::string OpenFailureReasonText(OpenFailure failure);
// The line below "cannot open": the port the technician chose, the device it led to and why it
// did not open, "COM2 (/dev/ttyS1): no such device"; for a missing device also what to do, on
// a line of its own.
std::string OpenFailureDetail(const std::string& portName, const std::string& device,
                              OpenFailure failure);
