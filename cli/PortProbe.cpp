#include "cli/PortProbe.h"

#include <filesystem>
#include <map>

#include "app/OpenFailureTexts.h"
#include "cli/CardSession.h"
#include "link/PortMapping.h"
#include "link/QtSerialLine.h"
#include "link/SerialPlatform.h"
#include "model/FirmwareVariant.h"

namespace {

// One key for every name of a device: links followed, a relative path made absolute.
std::string DeviceKey(const std::string& device) {
    std::error_code error;
    const std::filesystem::path path = DevicePath(device);
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return (error ? path : canonical).string();
}

std::string Description(bool present, const std::string& description) {
    if (!present) {
        return NoDeviceText();
    }
    return description.empty() ? "serial device" : description;
}

ProbeTarget TargetOfName(const std::vector<PortChoice>& choices, const DeviceList& devices,
                         const std::string& name, bool named) {
    ProbeTarget target;
    target.name = name;
    bool present = false;
    switch (KindOfTypedPort(name)) {
        case TypedPortKind::NoPort:
            target.skipped = "no port: give COM1 to COM7 or a device path";
            break;
        case TypedPortKind::ListName:
            for (const PortChoice& choice : choices) {
                if (choice.name == name) {
                    target.device = choice.device;
                    present = choice.present;
                    target.description = choice.description;
                }
            }
            break;
        case TypedPortKind::Device: {
            target.device = name;
            const SerialDevice* listed = devices.Find(DevicePath(name));
            present = listed != nullptr || DeviceExists(DevicePath(name));
            target.description = listed != nullptr ? listed->description : "";
            break;
        }
    }
    target.description = Description(present, target.description);
    // A name typed is asked even where nothing is, so that it says why it cannot be opened.
    target.probe = !target.device.empty() && (present || named);
    return target;
}

}  // namespace

std::string DeviceOfName(const DeviceList& devices, const std::string& name,
                         const PortOverrides& overrides) {
    const ProbeTarget target =
        TargetOfName(MapPortChoices(devices, overrides), devices, name, true);
    if (target.device.empty()) {
        return "";
    }
    // Names of nothing share no device: each fails to open on its own.
    const std::string key = DeviceKey(target.device);
    std::error_code error;
    return std::filesystem::exists(key, error) ? key : "";
}

std::vector<ProbeTarget> PlanProbes(const DeviceList& devices,
                                    const std::vector<std::string>& named,
                                    const PortOverrides& overrides) {
    const std::vector<PortChoice> choices = MapPortChoices(devices, overrides);
    std::vector<std::string> names = named;
    if (names.empty()) {
        for (const PortChoice& choice : choices) {
            names.push_back(choice.name);
        }
    }
    std::vector<ProbeTarget> targets;
    std::map<std::string, std::string> probedAs;  // device key -> the first name probing it
    for (const std::string& name : names) {
        ProbeTarget target = TargetOfName(choices, devices, name, !named.empty());
        if (target.probe) {
            const std::string key = DeviceKey(target.device);
            if (devices.IsConsole(target.device) || devices.IsConsole(key)) {
                target.probe = false;
                target.skipped = "the system console, never probed";
            } else if (const auto [first, isNew] = probedAs.emplace(key, target.name); !isNew) {
                target.probe = false;
                target.skipped = "the same device as " + first->second + ", probed once";
            }
        }
        targets.push_back(std::move(target));
    }
    return targets;
}

ProbeFinding ProbeCard(const ProbeTarget& target, std::unique_ptr<SerialLine> line) {
    SerialPortParameter port(std::move(line));
    port.NameDevice(target.device);
    const BatchFailure failure = OpenAndIdentify(port);
    if (failure == BatchFailure::CannotOpen) {
        return {"cannot be opened: " + OpenFailureWords(port)};
    }
    // The hardware value is read from the device the card answered on.
    if (failure != BatchFailure::None || !port.OpenCardDevice() || !port.ReadHardware()) {
        return {"no Quorix card answers"};
    }
    port.ClosePort();
    return {"Quorix card " + Printable(port.Identity) + ", family " +
                FamilyName(*FamilyOfVariant(port.FirmwareVariant)) + ", hardware value " +
                std::to_string(port.HardwareBits),
            true};
}
