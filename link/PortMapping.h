#pragma once

#include <functional>
#include <string>
#include <vector>

#include "link/DeviceList.h"

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
// by ResolvePortName. On Windows any other COMn is a port of its own; elsewhere COM8 and above
// name nothing (a file of that name is "./COM8"). Any other name is a device path, relative to
// the working folder unless absolute (DevicePath).
enum class TypedPortKind { ListName, Device, NoPort };
TypedPortKind KindOfTypedPort(const std::string& typed);

// Asked only when a name's device depends on the devices present.
using DeviceListSource = std::function<DeviceList()>;

// The device a port name opens. On Linux "COMn" (n from 1) opens $BROVANE_COMn when it is set,
// else the n-th of the present devices, else /dev/ttyS<n-1> unless that is the system's console
// or a device that an earlier COM name opens already: then it leads to no device (empty). Any
// other name is used as given. On Windows every name is used as given. `devices` is asked at
// most once, and only when neither the environment nor the name itself decides the device.
std::string ResolvePortName(const std::string& portName, const DeviceListSource& devices);
std::string ResolvePortName(const std::string& portName, const DeviceList& devices);
// As above with no serial device known to be present.
std::string ResolvePortName(const std::string& portName);

// COM1 to COM7 with what each opens among the present devices.
std::vector<PortChoice> MapPortChoices(const DeviceList& devices);

// The port list's entry for a choice: "COM1  ttyUSB0 · FT232R USB UART", "COM2  no device".
// UTF-8.
std::string PortChoiceText(const PortChoice& choice);
