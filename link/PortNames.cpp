#include "link/PortNames.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <tuple>

namespace {

// The number n of "COMn" (n from 1, nothing after the digits); none for any other name.
[[maybe_unused]] std::optional<int> ComNumber(const std::string& portName) {
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

// $BROVANE_COMn, when it is set and not empty.
[[maybe_unused]] std::optional<std::string> OverrideOf(const std::string& portName) {
    const std::string variable = "BROVANE_" + portName;
    if (const char* device = std::getenv(variable.c_str()); device != nullptr && *device != '\0') {
        return std::string(device);
    }
    return std::nullopt;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Compares with runs of digits taken as numbers: "ttyUSB2" before "ttyUSB10".
bool NaturalLess(const std::string& a, const std::string& b) {
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            size_t endA = i;
            size_t endB = j;
            while (endA < a.size() && IsDigit(a[endA])) {
                ++endA;
            }
            while (endB < b.size() && IsDigit(b[endB])) {
                ++endB;
            }
            // Leading zeros do not make a number larger.
            const std::string numberA = a.substr(i, endA - i);
            const std::string numberB = b.substr(j, endB - j);
            const size_t zerosA = std::min(numberA.find_first_not_of('0'), numberA.size());
            const size_t zerosB = std::min(numberB.find_first_not_of('0'), numberB.size());
            const std::string digitsA = numberA.substr(zerosA);
            const std::string digitsB = numberB.substr(zerosB);
            if (digitsA.size() != digitsB.size()) {
                return digitsA.size() < digitsB.size();
            }
            if (digitsA != digitsB) {
                return digitsA < digitsB;
            }
            i = endA;
            j = endB;
        } else {
            if (a[i] != b[j]) {
                return a[i] < b[j];
            }
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

std::string OrderName(const SerialDevice& device) {
    return device.byIdName.empty() ? device.path : device.byIdName;
}

bool OrderedBefore(const SerialDevice& a, const SerialDevice& b) {
    const auto rank = [](const SerialDevice& d) {
        return std::tuple(!d.adapter, d.byIdName.empty());
    };
    if (rank(a) != rank(b)) {
        return rank(a) < rank(b);
    }
    const std::string nameA = OrderName(a);
    const std::string nameB = OrderName(b);
    if (NaturalLess(nameA, nameB) || NaturalLess(nameB, nameA)) {
        return NaturalLess(nameA, nameB);
    }
    return a.path < b.path;
}

const SerialDevice* FindDevice(const std::vector<SerialDevice>& present, const std::string& path) {
    const auto found = std::find_if(present.begin(), present.end(),
                                    [&](const SerialDevice& d) { return d.path == path; });
    return found == present.end() ? nullptr : &*found;
}

[[maybe_unused]] bool PathExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

// The device as the list shows it: "/dev/ttyUSB0" as "ttyUSB0".
std::string ShownDevice(const std::string& device) {
    const std::string dev = "/dev/";
    return device.compare(0, dev.size(), dev) == 0 && device.size() > dev.size()
               ? device.substr(dev.size())
               : device;
}

}  // namespace

void SortSerialDevices(std::vector<SerialDevice>& devices) {
    std::sort(devices.begin(), devices.end(), OrderedBefore);
}

std::string ResolvePortName(const std::string& portName, std::vector<SerialDevice> present) {
#ifdef _WIN32
    (void)present;
    return portName;
#else
    const std::optional<int> number = ComNumber(portName);
    if (!number) {
        return portName;
    }
    if (std::optional<std::string> device = OverrideOf(portName)) {
        return *device;
    }
    SortSerialDevices(present);
    if (static_cast<size_t>(*number) <= present.size()) {
        return present[static_cast<size_t>(*number - 1)].path;
    }
    return "/dev/ttyS" + std::to_string(*number - 1);
#endif
}

std::string ResolvePortName(const std::string& portName) {
    return ResolvePortName(portName, {});
}

std::vector<PortChoice> MapPortChoices(std::vector<SerialDevice> present) {
    SortSerialDevices(present);
    std::vector<PortChoice> choices;
    for (int number = 1; number <= kPortChoiceCount; ++number) {
        PortChoice choice;
        choice.name = "COM" + std::to_string(number);
        choice.device = ResolvePortName(choice.name, present);
        const SerialDevice* device = FindDevice(present, choice.device);
        if (device != nullptr) {
            choice.present = true;
            choice.description = device->description;
        }
#ifndef _WIN32
        else if (OverrideOf(choice.name)) {
            // Set by hand: whatever it names, if it exists (a virtual card, a file).
            choice.present = PathExists(choice.device);
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
    std::string what = choice.device == choice.name ? std::string() : ShownDevice(choice.device);
    if (!choice.description.empty()) {
        what += what.empty() ? choice.description : " \xC2\xB7 " + choice.description;
    }
    return what.empty() ? text : text + "  " + what;
}
