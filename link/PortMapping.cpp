#include "link/PortMapping.h"

#include <algorithm>
#include <cstdlib>
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

// $BROVANE_COMn, when it is set and not empty.
std::optional<std::string> OverrideOf(const std::string& portName) {
    const std::string variable = "BROVANE_" + portName;
    if (const char* device = std::getenv(variable.c_str()); device != nullptr && *device != '\0') {
        return std::string(device);
    }
    return std::nullopt;
}

// What COM1 to COM`last` open, in order: each name's device depends on those before it.
[[maybe_unused]] std::vector<std::string> MapComNames(int last, const DeviceList& devices) {
    std::vector<std::string> opened;
    for (int number = 1; number <= last; ++number) {
        if (std::optional<std::string> device = OverrideOf(ComName(number))) {
            opened.push_back(*device);
            continue;
        }
        const auto index = static_cast<size_t>(number - 1);
        if (index < devices.Devices().size()) {
            opened.push_back(devices.Devices()[index].path);
            continue;
        }
        std::string fallback = FallbackDevice(number);
        const bool taken = std::find(opened.begin(), opened.end(), fallback) != opened.end();
        opened.push_back(taken || devices.IsConsole(fallback) ? std::string() : fallback);
    }
    return opened;
}

}  // namespace

TypedPortKind KindOfTypedPort(const std::string& typed) {
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
#ifdef _WIN32
    return TypedPortKind::Device;
#else
    return TypedPortKind::NoPort;
#endif
}

std::string ResolvePortName(const std::string& portName, const DeviceListSource& devices) {
#ifdef _WIN32
    (void)devices;
    return portName;
#else
    const std::optional<int> number = ComNumber(portName);
    if (!number) {
        return portName;
    }
    if (std::optional<std::string> device = OverrideOf(portName)) {
        return *device;
    }
    return MapComNames(*number, devices()).back();
#endif
}

std::string ResolvePortName(const std::string& portName, const DeviceList& devices) {
    return ResolvePortName(portName, [&devices] { return devices; });
}

std::string ResolvePortName(const std::string& portName) {
    return ResolvePortName(portName, DeviceList());
}

std::vector<PortChoice> MapPortChoices(const DeviceList& devices) {
    std::vector<PortChoice> choices;
    for (int number = 1; number <= kPortChoiceCount; ++number) {
        PortChoice choice;
        choice.name = ComName(number);
        choice.device = ResolvePortName(choice.name, devices);
        if (const SerialDevice* device = devices.Find(choice.device)) {
            choice.present = true;
            choice.description = device->description;
        }
#ifndef _WIN32
        else if (OverrideOf(choice.name)) {
            // Set by hand: whatever it names, if it exists (a virtual card, a file, the console).
            choice.present = DeviceExists(choice.device);
        }
#endif
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
