#pragma once

#include <functional>
#include <string>
#include <vector>

#include "link/DeviceList.h"
#include "link/SerialPlatform.h"

// What one entry of the port list opens.
struct PortChoice {
    std::string name;         // "COM1"
    std::string device;       // the device the name opens, e.g. "/dev/ttyUSB0"; empty if none
    std::string description;  // what that device is, e.g. "FT232R USB UART"; empty if unknown
    bool present = false;     // false: the name leads nowhere ("no device")
};

// The port list offers COM1 to COM7.
inline constexpr int kPortChoiceCount = 7;

// What a port name that a person typed opens. COM1 to COM7 are the port list's names, mapped
// by ResolvePortName. Where the system names its ports (Windows) any other COMn is a port of its
// own; elsewhere COM8 and above name nothing (a file of that name is "./COM8"). Any other name
// is a device path, relative to the working folder unless absolute (DevicePath).
enum class TypedPortKind { ListName, Device, NoPort };
TypedPortKind KindOfTypedPort(const std::string& typed,
                              const PortSystem& system = ThisPortSystem());

// Asked only when a name's device depends on the devices present.
using DeviceListSource = std::function<DeviceList()>;

// The device a port name opens. Where the system names its ports every name is used as given.
// Elsewhere "COMn" (n from 1) opens the device set by hand for it in `overrides`, else the n-th
// of the present devices, else the on-board port it falls back to unless that is the system's
// console or a device that an earlier COM name opens already: then it leads to no device
// (empty). Any other name is used as given. `devices` is asked at most once, and only when
// neither the overrides nor the name itself decide the device.
std::string ResolvePortName(const std::string& portName, const DeviceListSource& devices,
                            const PortOverrides& overrides,
                            const PortSystem& system = ThisPortSystem());
std::string ResolvePortName(const std::string& portName, const DeviceList& devices,
                            const PortOverrides& overrides,
                            const PortSystem& system = ThisPortSystem());

// COM1 to COM7 with what each opens among the present devices. A device set by hand that the
// system does not list counts as present when something exists at its path.
std::vector<PortChoice> MapPortChoices(const DeviceList& devices, const PortOverrides& overrides,
                                       const PortSystem& system = ThisPortSystem());

// The port list's entry for a choice: "COM1  ttyUSB0 · FT232R USB UART", "COM2  no device".
// UTF-8.
std::string PortChoiceText(const PortChoice& choice);
