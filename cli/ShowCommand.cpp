// show: a configuration laid out as the pages lay it out.
#include <algorithm>

#include "cli/CommandUnits.h"
#include "cli/ExitCodes.h"
#include "cli/InputFile.h"
#include "model/ConfigFileParts.h"
#include "model/Fields.h"
#include "model/Inputs.h"

using config_file::InputName;
using config_file::OutputName;

namespace {

// One line of a table: every cell but the last padded to a column of 14 characters (not bytes:
// "°C" is three bytes).
std::string Row(const std::vector<std::string>& cells) {
    constexpr size_t kColumn = 14;
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i) {
        line += cells[i];
        if (i + 1 < cells.size()) {
            const auto characters = static_cast<size_t>(std::count_if(
                cells[i].begin(), cells[i].end(), [](char c) { return (c & 0xC0) != 0x80; }));
            line += std::string(characters < kColumn ? kColumn - characters : 1, ' ');
        }
    }
    return line + "\n";
}

}  // namespace

int ShowCommand(CliContext& context, const std::string& file) {
    const std::optional<CardConfiguration> configuration =
        LoadConfigFile(context, file, FileUse::FilesOnly);
    if (!configuration) {
        return kExitBadInput;
    }
    const std::vector<ConfigSection> sections =
        DescribeConfiguration(*configuration, context.names);
    const auto value = [&](const std::string& section, const std::string& key) -> std::string {
        for (const ConfigSection& candidate : sections) {
            for (const ConfigEntry& entry : candidate.entries) {
                if (candidate.name == section && entry.key == key) {
                    return entry.value;
                }
            }
        }
        return "---";
    };
    context.out << "Quorix " << FamilyName(configuration->family) << " (" << file << ")\n\n";
    context.out << Row({"", "COM0", "COM1", "COM2", "COM3"});
    // The protocol as the sheet shows it: by the low four bits of its byte.
    std::vector<std::string> protocols = {"protocol"};
    for (int port = 0; port < config_file::kPortCount; ++port) {
        const char* shown = ShownProtocolName(port, configuration->image.High(port));
        protocols.push_back(shown != nullptr ? shown
                                             : value(config_file::PortName(port), "protocol"));
    }
    context.out << Row(protocols);
    for (const char* key : {"baud", "parity", "stop", "address"}) {
        context.out << Row(
            {key, value("COM0", key), value("COM1", key), value("COM2", key), value("COM3", key)});
    }
    if (configuration->family != FirmwareFamily::Kft018) {
        return kExitOk;
    }
    context.out << "\n" << Row({"Inputs", "type", "lower", "upper", "delay"});
    for (int input = 1; input <= 8; ++input) {
        const std::string section = InputName(input);
        context.out << Row({section, value(section, "type"), value(section, "lower"),
                            value(section, "upper"), value(section, "delay")});
    }
    context.out << "\nOutputs\n";
    OutputEvents outputs;
    for (int word = 0; word < 16; ++word) {
        outputs.words[static_cast<size_t>(word)] = configuration->image.Value(8 + word);
    }
    for (int output = 1; output <= 8; ++output) {
        const std::string section = OutputName(output);
        context.out << section << "  " << value(section, "logic") << "\n";
        // The events in the order the assigned list shows them: 1, 17, 2, 18, ...
        EventNames all = context.names;
        for (int event = 1; event <= static_cast<int>(all.size()); ++event) {
            std::string& name = all[static_cast<size_t>(event - 1)];
            name = std::to_string(event) + " " + (name.empty() ? "(no name)" : name);
        }
        for (const int event : outputs.AssignedEvents(output, all)) {
            context.out << "    " << all[static_cast<size_t>(event - 1)] << "\n";
        }
    }
    return kExitOk;
}
