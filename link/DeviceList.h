#pragma once

#include <string>
#include <vector>

// A serial device that is present on this PC, as the system lists it.
struct SerialDevice {
    std::string path;           // what opening it takes: "/dev/ttyUSB0"; on Windows "COM3"
    std::string description;    // what it is: "FT232R USB UART"; empty if the system does not say
    std::string byIdName;       // its own name under /dev/serial/by-id, empty if it has none
    bool adapter = false;       // a plugged-in adapter (USB, PCI) rather than an on-board UART
    std::string usbModel = {};  // "vendor:product" of a USB adapter, empty if unknown
    std::string serialNumber = {};  // the adapter's own serial number, empty if it has none
    // Where and since when the adapter is plugged in: its USB port and its device number on the
    // bus ("1-1.2#7"). Plugged in again, in any socket, it gets another. Empty if unknown.
    std::string usbConnection = {};
};

// Whether two adapters cannot be told apart: the same vendor, product and serial number (or
// none). Only USB adapters the system describes are ever identical.
bool IdenticalAdapters(const SerialDevice& a, const SerialDevice& b);

// The serial devices present, in the order the port names take them, and the devices that are
// the system's console. The console is never listed: a card is never looked for there.
//
// The order: adapters first (the card hangs on one), then on-board UARTs; within each, by the
// persistent /dev/serial/by-id name where there is one, else by device name with numbers in
// numeric order. The same devices give the same order whatever order the system listed them in.
// Identical adapters without serial numbers share one by-id name, which udev gives to whichever
// came last: such names are forgotten, and the kernel's names order those adapters.
class DeviceList {
  public:
    DeviceList() = default;
    // Sorts the devices, once, and leaves out those among `consoles`.
    explicit DeviceList(std::vector<SerialDevice> devices, std::vector<std::string> consoles = {});

    const std::vector<SerialDevice>& Devices() const { return devices_; }
    bool IsConsole(const std::string& path) const;
    // The listed device with this path, or with this by-id name; nullptr when there is none.
    const SerialDevice* Find(const std::string& path) const;
    const SerialDevice* FindByIdName(const std::string& byIdName) const;
    // How many listed adapters are identical to `device` (itself included, when listed).
    size_t CountIdentical(const SerialDevice& device) const;

  private:
    std::vector<SerialDevice> devices_;
    std::vector<std::string> consoles_;
};
