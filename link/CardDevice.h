#pragma once

#include <functional>
#include <string>

#include "link/DeviceList.h"
#include "link/OpenFailure.h"

// The device a card was read on, as the programming must find it again.
struct ReadDevice {
    // As the system listed it at the read; a device named directly has its path alone.
    SerialDevice device;
    std::string behind;    // the device its path led to at the read (a link's target)
    bool hadTwin = false;  // an identical adapter was present at the read
};

// Where a path leads now: the device behind a link, the path itself otherwise.
using DeviceBehindPath = std::function<std::string(const std::string& path)>;

// The device the programming opens: the read's adapter among the devices present now, or a
// refusal when it is gone (NoSuchDevice) or cannot be told for sure from another
// (IdenticalAdapter: an adapter of the same make and serial number, or none, is present, and the
// read's own cannot be recognised by its USB connection; OtherDevice: a link now leads elsewhere).
// A USB adapter is recognised by its connection while it stays plugged in; plugged in again, only
// by a serial number that no other adapter had at the read or has now. Nothing else is followed.
struct FoundDevice {
    SerialDevice device;
    OpenFailure refusal = OpenFailure::None;
};
FoundDevice FindReadDevice(const ReadDevice& read, const DeviceList& present,
                           const DeviceBehindPath& behind);
