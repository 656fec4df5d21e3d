#include "cli/ShowLayout.h"

#include <algorithm>

#include "cli/CommandUnits.h"
#include "model/ConfigFileParts.h"
#include "model/Fields.h"
#include "model/Inputs.h"

using config_file::InputName;
using config_file::OutputName;

namespace {

// The value of a key of a section as the file names it; "---" when there is none.
std::string ValueOf(const std::vector<ConfigSection>& sections, const std::string& section,
                    const std::string& key) {
    for (const ConfigSection& candidate : sections) {
        for (const ConfigEntry& entry : candidate.entries) {
            if (candidate.name == section && entry.key == key) {
                return entry.value;
            }
        }
    }
    return "---";
}

ShownTable Ports(const CardConfiguration& configuration,
                 const std::vector<ConfigSection>& sections) {
    ShownTable table{"Ports", {"", "COM0", "COM1", "COM2", "COM3"}, {}};
    // The protocol as the sheet shows it: by the low four bits of its byte.
    ShownRow protocols{"protocol", {}, {}};
    for (int port = 0; port < config_file::kPortCount; ++port) {
        const char* shown = ShownProtocolName(port, configuration.image.High(port));
        protocols.cells.push_back(
            shown != nullptr ? shown : ValueOf(sections, config_file::PortName(port), "protocol"));
    }
    table.rows.push_back(protocols);
    for (const char* key : {"baud", "parity", "stop", "address"}) {
        ShownRow row{key, {}, {}};
        for (const char* port : {"COM0", "COM1", "COM2", "COM3"}) {
            row.cells.push_back(ValueOf(sections, port, key));
        }
        table.rows.push_back(row);
    }
    return table;
}

ShownTable InputsTable(const std::vector<ConfigSection>& sections) {
    ShownTable table{"Inputs", {"Inputs", "type", "lower", "upper", "delay"}, {}};
    for (int input = 1; input <= 8; ++input) {
        const std::string section = InputName(input);
        table.rows.push_back(
            {section,
             {ValueOf(sections, section, "type"), ValueOf(sections, section, "lower"),
              ValueOf(sections, section, "upper"), ValueOf(sections, section, "delay")},
             {}});
    }
    return table;
}

ShownTable OutputsTable(const CardConfiguration& configuration,
                        const std::vector<ConfigSection>& sections, const EventNames& names) {
    ShownTable table{"Outputs", {}, {}};
    OutputEvents outputs;
    for (int word = 0; word < 16; ++word) {
        outputs.words[static_cast<size_t>(word)] = configuration.image.Value(8 + word);
    }
    // The events in the order the assigned list shows them: 1, 17, 2, 18, ...
    EventNames all = names;
    for (int event = 1; event <= static_cast<int>(all.size()); ++event) {
        std::string& name = all[static_cast<size_t>(event - 1)];
        name = std::to_string(event) + " " + (name.empty() ? "(no name)" : name);
    }
    for (int output = 1; output <= 8; ++output) {
        const std::string section = OutputName(output);
        ShownRow row{section, {ValueOf(sections, section, "logic")}, {}};
        for (const int event : outputs.AssignedEvents(output, all)) {
            row.below.push_back(all[static_cast<size_t>(event - 1)]);
        }
        table.rows.push_back(row);
    }
    return table;
}

}  // namespace

std::vector<ShownTable> LayOut(const CardConfiguration& configuration, const EventNames& names) {
    const std::vector<ConfigSection> sections = DescribeConfiguration(configuration, names);
    std::vector<ShownTable> tables = {Ports(configuration, sections)};
    if (configuration.family == FirmwareFamily::Kft018) {
        tables.push_back(InputsTable(sections));
        tables.push_back(OutputsTable(configuration, sections, names));
    }
    return tables;
}

std::string LayoutLine(const std::vector<std::string>& cells) {
    constexpr size_t kColumn = 14;
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i) {
        line += cells[i];
        if (i + 1 < cells.size()) {
            // Characters, not bytes: "°C" is three bytes.
            const auto characters = static_cast<size_t>(std::count_if(
                cells[i].begin(), cells[i].end(), [](char c) { return (c & 0xC0) != 0x80; }));
            line += std::string(characters < kColumn ? kColumn - characters : 1, ' ');
        }
    }
    return line + "\n";
}

std::string LayoutText(const std::vector<ShownTable>& tables) {
    std::string text;
    for (size_t i = 0; i < tables.size(); ++i) {
        const ShownTable& table = tables[i];
        text += i == 0 ? "" : "\n";
        if (table.header.empty()) {
            text += table.title + "\n";
        } else {
            text += LayoutLine(table.header);
        }
        for (const ShownRow& row : table.rows) {
            if (table.header.empty()) {
                text += row.label + "  " + row.cells.front() + "\n";
            } else {
                std::vector<std::string> cells = {row.label};
                cells.insert(cells.end(), row.cells.begin(), row.cells.end());
                text += LayoutLine(cells);
            }
            for (const std::string& line : row.below) {
                text += "    " + line + "\n";
            }
        }
    }
    return text;
}
