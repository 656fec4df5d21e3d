#pragma once

#include <string>
#include <vector>

// A serial device that is present on this PC, as the system lists it.
struct SerialDevice {
    std::string path;         // what opening it takes: "/dev/ttyUSB0"; on Windows "COM3"
    std::string description;  // what it is: "FT232R USB UART"; empty if the system does not say
    std::string byIdName;     // its name under /dev/serial/by-id, empty if it has none
    bool adapter = false;     // a plugged-in adapter (USB, PCI) rather than an on-board UART
};

// What one entry of the port list opens.
struct PortChoice {
    std::string name;         // "COM1"
    std::string device;       // the device the name opens, e.g. "/dev/ttyUSB0"
    std::string description;  // what that device is, e.g. "FT232R USB UART"; empty if unknown
    bool present = false;     // false: the name leads nowhere ("no device")
};

// The port list offers COM1 to COM7.
inline constexpr int kPortChoiceCount = 7;

// Adapters first (the card hangs on one), then on-board UARTs; within each, by the persistent
// /dev/serial/by-id name where there is one, else by device name with numbers in numeric
// order. The same devices give the same order whatever order the system listed them in.
void SortSerialDevices(std::vector<SerialDevice>& devices);

// The device a port name opens. On Linux "COMn" (n from 1) opens $BROVANE_COMn when it is set,
// else the n-th of the present devices (sorted), else /dev/ttyS<n-1>; any other name is used as
// given. On Windows the name is used as given.
std::string ResolvePortName(const std::string& portName, std::vector<SerialDevice> present);
// As above with no serial device known to be present.
std::string ResolvePortName(const std::string& portName);

// COM1 to COM7 with what each opens among the present devices.
std::vector<PortChoice> MapPortChoices(std::vector<SerialDevice> present);

// The port list's entry for a choice: "COM1  ttyUSB0 · FT232R USB UART", "COM2  no device".
// UTF-8.
std::string PortChoiceText(const PortChoice& choice);
