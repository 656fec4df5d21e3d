#include "link/DeviceList.h"

#include <algorithm>
#include <tuple>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The run of digits that starts at `begin`, without its leading zeros, and where it ends.
std::pair<std::string, size_t> NumberAt(const std::string& text, size_t begin) {
    size_t end = begin;
    while (end < text.size() && IsDigit(text[end])) {
        ++end;
    }
    size_t first = begin;
    while (first + 1 < end && text[first] == '0') {
        ++first;
    }
    return {text.substr(first, end - first), end};
}

// Compares with runs of digits taken as numbers: "ttyUSB2" before "ttyUSB10".
bool NaturalLess(const std::string& a, const std::string& b) {
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const auto [numberA, endA] = NumberAt(a, i);
            const auto [numberB, endB] = NumberAt(b, j);
            if (numberA.size() != numberB.size()) {
                return numberA.size() < numberB.size();
            }
            if (numberA != numberB) {
                return numberA < numberB;
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

bool OrderedBefore(const SerialDevice& a, const SerialDevice& b) {
    const auto rank = [](const SerialDevice& d) {
        return std::tuple(!d.adapter, d.byIdName.empty());
    };
    if (rank(a) != rank(b)) {
        return rank(a) < rank(b);
    }
    const std::string& nameA = a.byIdName.empty() ? a.path : a.byIdName;
    const std::string& nameB = b.byIdName.empty() ? b.path : b.byIdName;
    if (NaturalLess(nameA, nameB) || NaturalLess(nameB, nameA)) {
        return NaturalLess(nameA, nameB);
    }
    // The same by-id name: the kernel's names tell them apart.
    if (NaturalLess(a.path, b.path) || NaturalLess(b.path, a.path)) {
        return NaturalLess(a.path, b.path);
    }
    return a.path < b.path;
}

void ForgetSharedByIdNames(std::vector<SerialDevice>& devices) {
    const auto unnumbered = [](const SerialDevice& d) {
        return !d.usbModel.empty() && d.serialNumber.empty();
    };
    for (SerialDevice& device : devices) {
        if (!unnumbered(device)) {
            continue;
        }
        const auto twins = std::count_if(
            devices.begin(), devices.end(),
            [&](const SerialDevice& d) { return unnumbered(d) && d.usbModel == device.usbModel; });
        if (twins > 1) {
            device.byIdName.clear();
        }
    }
}

}  // namespace

DeviceList::DeviceList(std::vector<SerialDevice> devices, std::vector<std::string> consoles)
    : devices_(std::move(devices)), consoles_(std::move(consoles)) {
    std::erase_if(devices_, [this](const SerialDevice& d) { return IsConsole(d.path); });
    ForgetSharedByIdNames(devices_);
    std::sort(devices_.begin(), devices_.end(), OrderedBefore);
}

bool IdenticalAdapters(const SerialDevice& a, const SerialDevice& b) {
    return !a.usbModel.empty() && a.usbModel == b.usbModel && a.serialNumber == b.serialNumber;
}

size_t DeviceList::CountIdentical(const SerialDevice& device) const {
    return static_cast<size_t>(
        std::count_if(devices_.begin(), devices_.end(),
                      [&device](const SerialDevice& d) { return IdenticalAdapters(d, device); }));
}

bool DeviceList::IsConsole(const std::string& path) const {
    return std::find(consoles_.begin(), consoles_.end(), path) != consoles_.end();
}

const SerialDevice* DeviceList::Find(const std::string& path) const {
    const auto found = std::find_if(devices_.begin(), devices_.end(),
                                    [&](const SerialDevice& d) { return d.path == path; });
    return found == devices_.end() ? nullptr : &*found;
}

const SerialDevice* DeviceList::FindByIdName(const std::string& byIdName) const {
    if (byIdName.empty()) {
        return nullptr;
    }
    const auto found = std::find_if(devices_.begin(), devices_.end(),
                                    [&](const SerialDevice& d) { return d.byIdName == byIdName; });
    return found == devices_.end() ? nullptr : &*found;
}
