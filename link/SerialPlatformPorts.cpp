// How each system names its serial ports: rules only, no calls of the system, so that every
// system's mapping can be tried on any of them.
#include "link/SerialPlatform.h"

std::string PortSystem::FallbackDevice(int number) const {
    return systemNamesComPorts ? std::string() : "/dev/ttyS" + std::to_string(number - 1);
}

std::string ShownDeviceName(const std::string& path) {
    // Windows port names never begin so; the rule serves every system's mapping.
    const std::string dev = "/dev/";
    return path.compare(0, dev.size(), dev) == 0 && path.size() > dev.size()
               ? path.substr(dev.size())
               : path;
}

PortSystem PortSystem::Posix() {
    return {false};
}

PortSystem PortSystem::Windows() {
    return {true};
}

void PortOverrides::Set(int number, std::string device) {
    if (device.empty()) {
        devices_.erase(number);
    } else {
        devices_[number] = std::move(device);
    }
}

std::optional<std::string> PortOverrides::Of(int number) const {
    const auto found = devices_.find(number);
    return found == devices_.end() ? std::nullopt : std::optional<std::string>(found->second);
}
