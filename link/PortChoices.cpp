#include "link/PortChoices.h"

#include <QSerialPortInfo>
#include <filesystem>

namespace {

// The persistent name that /dev/serial/by-id gives the device, if any: it stays the same
// whichever USB socket the adapter is plugged into and in whatever order.
std::string ByIdName(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path target = fs::canonical(path, error);
    if (error) {
        return {};
    }
    for (fs::directory_iterator it("/dev/serial/by-id", error), end; !error && it != end;
         it.increment(error)) {
        std::error_code linkError;
        if (fs::canonical(it->path(), linkError) == target && !linkError) {
            return it->path().filename().string();
        }
    }
    return {};
}

}  // namespace

std::vector<SerialDevice> ListSerialDevices() {
    std::vector<SerialDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialDevice device;
#ifdef _WIN32
        device.path = info.portName().toStdString();
#else
        device.path = info.systemLocation().toStdString();
        device.byIdName = ByIdName(device.path);
#endif
        device.description = info.description().toStdString();
        device.adapter = info.hasVendorIdentifier();
        devices.push_back(std::move(device));
    }
    SortSerialDevices(devices);
    return devices;
}

std::vector<PortChoice> ListPortChoices() {
    return MapPortChoices(ListSerialDevices());
}
