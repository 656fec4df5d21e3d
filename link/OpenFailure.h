#pragma once

#include <string>

// Why a serial device could not be opened, as the technician must tell the causes apart.
enum class OpenFailure {
    None,
    NoSuchDevice,      // nothing there, or no hardware behind the name
    PermissionDenied,  // the user may not open it (not in the dialout group)
    InUse,             // another program, or another Brovane, holds it
    NotSerialDevice,   // a file, a folder, anything that is no serial line
    SettingsRefused,   // opened, but the driver refused the line settings
    Other,             // any other refusal by the system
    // The programming's refusals to open anything but the device the card was read on:
    IdenticalAdapter,  // an adapter indistinguishable from the read's is present now
    OtherDevice,       // the name (a link) leads to another device now
    Console,           // named directly, but it carries the system's console
};

// The system's reason in words: "permission denied".
const char* OpenFailureReason(OpenFailure failure);

// The line that follows the "cannot open" message: "/dev/ttyUSB0: permission denied".
std::string OpenFailureLine(const std::string& device, OpenFailure failure);
