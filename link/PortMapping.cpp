#include "link/PortMapping.h"

#include <algorithm>
#include <optional>

#include "link/SerialPlatform.h"

namespace {

// The number n of "COMn" (n from 1, nothing after the digits); none for any other name.
std::optional<int> ComNumber(const std::string& portName) {
    if (portName.size() < 4 || portName.size() > 6 || portName.compare(0, 3, "COM") != 0 ||
        portName[3] == '0') {
        return std::nullopt;
    }
    int number = 0;
    for (size_t i = 3; i < portName.size(); ++i) {
        if (portName[i] < '0' || portName[i] > '9') {
            return std::nullopt;
        }
        number = number * 10 + (portName[i] - '0');
    }
    return number;
}

std::string ComName(int number) {
    return "COM" + std::to_string(number);
}

// What COM1 to COM`last` open, in order: each name's device depends on those before it.
std::vector<std::string> MapComNames(int last, const DeviceList& devices,
                                     const PortOverrides& overrides, const PortSystem& system) {
    std::vector<std::string> opened;
    for (int number = 1; number <= last; ++number) {
        if (std::optional<std::string> device = overrides.Of(number)) {
            opened.push_back(*device);
            continue;
        }
        const auto index = static_cast<size_t>(number - 1);
        if (index < devices.Devices().size()) {
            opened.push_back(devices.Devices()[index].path);
            continue;
        }
        std::string fallback = system.FallbackDevice(number);
        const bool taken = std::find(opened.begin(), opened.end(), fallback) != opened.end();
        opened.push_back(taken || devices.IsConsole(fallback) ? std::string() : fallback);
    }
    return opened;
}

}  // namespace

TypedPortKind KindOfTypedPort(const std::string& typed, const PortSystem& system) {
    if (typed.empty()) {
        return TypedPortKind::NoPort;
    }
    const std::optional<int> number = ComNumber(typed);
    if (!number) {
        return TypedPortKind::Device;
    }
    if (*number <= kPortChoiceCount) {
        return TypedPortKind::ListName;
    }
    return system.systemNamesComPorts ? TypedPortKind::Device : TypedPortKind::NoPort;
}

std::string ResolvePortName(const std::string& portName, const DeviceListSource& devices,
                            const PortOverrides& overrides, const PortSystem& system) {
    const std::optional<int> number = ComNumber(portName);
    if (system.systemNamesComPorts || !number) {
        return portName;
    }
    if (std::optional<std::string> device = overrides.Of(*number)) {
        return *device;
    }
    return MapComNames(*number, devices(), overrides, system).back();
}

std::string ResolvePortName(const std::string& portName, const DeviceList& devices,
                            const PortOverrides& overrides, const PortSystem& system) {
    return ResolvePortName(
        portName, [&devices] { return devices; }, overrides, system);
}

std::vector<PortChoice> MapPortChoices(const DeviceList& devices, const PortOverrides& overrides,
                                       const PortSystem& system) {
    std::vector<PortChoice> choices;
    for (int number = 1; number <= kPortChoiceCount; ++number) {
        PortChoice choice;
        choice.name = ComName(number);
        choice.device = ResolvePortName(choice.name, devices, overrides, system);
        if (const SerialDevice* device = devices.Find(choice.device)) {
            choice.present = true;
            choice.description = device->description;
        } else if (!system.systemNamesComPorts && overrides.Of(number)) {
            // Set by hand: whatever it names, if it exists (a virtual card, a file, the console).
            choice.present = DeviceExists(choice.device);
        }
        choices.push_back(std::move(choice));
    }
    return choices;
}

std::string PortChoiceText(const PortChoice& choice) {
    std::string text = choice.name;
    if (!choice.present) {
        return text + "  no device";
    }
    std::string what =
        choice.device == choice.name ? std::string() : ShownDeviceName(choice.device);
    if (!choice.description.empty()) {
        what += what.empty() ? choice.description : " \xC2\xB7 " + choice.description;
    }
    return what.empty() ? text : text + "  " + what;
}
