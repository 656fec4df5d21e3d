#include "link/CardDevice.h"

namespace {

FoundDevice Refused(const ReadDevice& read, OpenFailure why) {
    return {read.device, why};
}

// A USB adapter that the system described.
FoundDevice FindAdapter(const ReadDevice& read, const DeviceList& present) {
    for (const SerialDevice& device : present.Devices()) {
        // The same enumeration: the very adapter, plugged in all along.
        if (device.usbConnection == read.device.usbConnection &&
            IdenticalAdapters(device, read.device)) {
            return {device, OpenFailure::None};
        }
    }
    const size_t identical = present.CountIdentical(read.device);
    if (identical == 0) {
        return Refused(read, OpenFailure::NoSuchDevice);
    }
    // Plugged in again: only a serial number of its own tells that it is the read's.
    if (identical == 1 && !read.device.serialNumber.empty() && !read.hadTwin) {
        for (const SerialDevice& device : present.Devices()) {
            if (IdenticalAdapters(device, read.device)) {
                return {device, OpenFailure::None};
            }
        }
    }
    return Refused(read, OpenFailure::IdenticalAdapter);
}

}  // namespace

FoundDevice FindReadDevice(const ReadDevice& read, const DeviceList& present,
                           const DeviceBehindPath& behind) {
    if (!read.device.usbConnection.empty()) {
        return FindAdapter(read, present);
    }
    if (!read.device.byIdName.empty()) {
        // Without the USB connection a shared by-id name cannot tell twins apart.
        if (read.hadTwin || present.CountIdentical(read.device) > 1) {
            return Refused(read, OpenFailure::IdenticalAdapter);
        }
        const SerialDevice* found = present.FindByIdName(read.device.byIdName);
        return found == nullptr ? Refused(read, OpenFailure::NoSuchDevice)
                                : FoundDevice{*found, OpenFailure::None};
    }
    // A path: it must still lead where it led at the read.
    if (behind(read.device.path) != read.behind) {
        return Refused(read, OpenFailure::OtherDevice);
    }
    return {read.device, OpenFailure::None};
}
