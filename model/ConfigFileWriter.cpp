// The configuration file written from a configuration, and the differences of two.
#include <algorithm>
#include <string>

#include "model/ConfigFile.h"
#include "model/ConfigFileParts.h"
#include "model/Fields.h"
#include "model/Inputs.h"
#include "model/SheetState.h"

using namespace config_file;

namespace {

std::string Hex(unsigned value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        text[static_cast<size_t>(i)] = kDigits[value & 0x0F];
        value >>= 4;
    }
    return "0x" + text;
}

std::string RawByte(unsigned value) {
    return kRaw + Hex(value, 2);
}
std::string RawWord(unsigned value) {
    return kRaw + Hex(value, 4);
}
std::string RawNumber(unsigned value) {
    return kRaw + std::to_string(value);
}

void AddEntry(ConfigSection& section, std::string key, std::string value,
              std::string comment = {}) {
    section.entries.push_back({std::move(key), std::move(value), std::move(comment)});
}

std::string BaudList(int port) {
    std::string list;
    for (int code = 1; code <= BaudEntriesOfPort(port); ++code) {
        list += (code > 1 ? ", " : "") + BaudText(code);
    }
    return list;
}

ConfigSection DescribePort(const RegisterImage& image, int port) {
    ConfigSection section{PortName(port), {}};
    const uint8_t high = image.High(port);
    const auto& protocols = port == 0 ? kCom0ProtocolNames : kPortProtocolNames;
    const char* shown = ShownProtocolName(port, high);
    if (high < std::size(protocols)) {
        AddEntry(section, "protocol", protocols[high]);
    } else if (shown != nullptr) {
        AddEntry(section, "protocol", RawByte(high), std::string("the sheet shows ") + shown);
    } else {
        AddEntry(section, "protocol", RawByte(high), "code the sheet does not offer");
    }
    if (port == 0) {
        const uint8_t low = image.Low(0);
        if (low >= 1 && low <= kCom0BaudEntries) {
            AddEntry(section, "baud", BaudText(low));
        } else {
            AddEntry(section, "baud", RawByte(low), "COM0 offers " + BaudList(0));
        }
        return section;
    }
    const uint8_t low = image.Low(port);
    const LineSettings line = DecodeLineByte(low);
    if (line.baudCode >= 1 && line.baudCode <= BaudEntriesOfPort(port)) {
        AddEntry(section, "baud", BaudText(line.baudCode));
    } else {
        const std::string known = BaudText(line.baudCode);
        AddEntry(section, "baud", RawNumber(static_cast<unsigned>(line.baudCode)),
                 (known.empty() ? "no rate" : known) + "; " + PortName(port) + " offers " +
                     BaudList(port));
    }
    if (line.parityCode >= 1) {
        AddEntry(section, "parity", kParityNames[static_cast<size_t>(line.parityCode - 1)]);
    } else {
        AddEntry(section, "parity", RawNumber(0), "parity code 0");
    }
    AddEntry(section, "stop", kStopNames[static_cast<size_t>(line.stopCode)]);
    if ((low & kSpareLineBits) != 0) {
        AddEntry(section, "spare_bits", RawByte(low & kSpareLineBits), "unused bits 3 and 7");
    }
    if (port == 2) {
        AddEntry(section, "address", std::to_string(image.Low(kAddressRegister)));
    }
    return section;
}

// A threshold as the page shows it, when the page would store the same register value again
// and the value lies within the type's range.
std::optional<std::string> PageThreshold(int type, uint16_t raw, double* number) {
    const std::optional<ThresholdLimits> limits = ThresholdLimitsOfType(type);
    const std::optional<std::string> text = ThresholdTextOfRegister(type, raw);
    if (!limits || !text || ThresholdRegisterOfText(type, *text) != raw) {
        return std::nullopt;
    }
    *number = LenientDecimal(*text);
    if (!(*number >= limits->lowest && *number <= limits->highest)) {
        return std::nullopt;
    }
    return *text + " " + limits->unit;
}

ConfigSection DescribeInput(const RegisterImage& image, int input) {
    ConfigSection section{InputName(input), {}};
    const int typeRegister = InputTypeRegister(input);
    const uint8_t type = image.High(typeRegister);
    if (type < kTypeNames.size()) {
        AddEntry(section, "type", kTypeNames[type]);
    } else {
        AddEntry(section, "type", RawByte(type), "type code the sheet does not offer");
    }
    const uint16_t lower = image.Value(InputLowerRegister(input));
    const uint16_t upper = image.Value(InputUpperRegister(input));
    if (type == kInputNone) {
        // A digital input has no thresholds; the page stores 0 and 1023.
        if (lower != kDigitalInputLower) {
            AddEntry(section, "lower", RawWord(lower), "digital inputs store 0");
        }
        if (upper != kDigitalInputUpper) {
            AddEntry(section, "upper", RawWord(upper), "digital inputs store 1023");
        }
    } else {
        double lowerNumber = 0;
        double upperNumber = 0;
        std::optional<std::string> lowerText = PageThreshold(type, lower, &lowerNumber);
        std::optional<std::string> upperText = PageThreshold(type, upper, &upperNumber);
        if (lowerText && upperText && lowerNumber > upperNumber) {
            lowerText.reset();
            upperText.reset();
        }
        const auto shown = [type](uint16_t raw) {
            const auto text = ThresholdTextOfRegister(type, raw);
            return text ? "shows as " + *text : std::string();
        };
        AddEntry(section, "lower", lowerText ? *lowerText : RawWord(lower),
                 lowerText ? std::string() : shown(lower));
        AddEntry(section, "upper", upperText ? *upperText : RawWord(upper),
                 upperText ? std::string() : shown(upper));
    }
    const uint8_t delay = image.Low(typeRegister);
    const long milliseconds = static_cast<long>(delay) * kDelayIncrement;
    if (IsPageDelay(milliseconds)) {
        AddEntry(section, "delay", std::to_string(milliseconds) + " " + kDelayUnit);
    } else {
        AddEntry(section, "delay", RawNumber(delay),
                 std::to_string(milliseconds) + " " + kDelayUnit);
    }
    return section;
}

ConfigSection DescribeOutput(const RegisterImage& image, int output, const EventNames& names) {
    ConfigSection section{OutputName(output), {}};
    const bool normalOff = (image.Low(kLogicRegister) >> (output - 1) & 1) != 0;
    AddEntry(section, "logic", kLogicNames[normalOff ? 1 : 0]);
    std::string events;
    std::string comment;
    for (int event = 1; event <= kEventCount; ++event) {
        if (!EventSet(image, output, event)) {
            continue;
        }
        const std::string& name = names[static_cast<size_t>(event - 1)];
        events += (events.empty() ? "" : ", ") + std::to_string(event);
        comment += (comment.empty() ? "" : ", ") + (name.empty() ? "unnamed" : name);
    }
    AddEntry(section, "events", events.empty() ? kNoEvents : events, comment);
    return section;
}

}  // namespace

std::vector<ConfigSection> DescribeConfiguration(const CardConfiguration& configuration,
                                                 const EventNames& eventNames) {
    const RegisterImage& image = configuration.image;
    std::vector<ConfigSection> sections;
    ConfigSection card{"card", {}};
    AddEntry(card, "family", FamilyName(configuration.family));
    if (image.High(kAddressRegister) != kAddressHighByte) {
        AddEntry(card, "reserved_4", RawByte(image.High(kAddressRegister)),
                 "high byte of register 4; the sheet writes 0xFF");
    }
    if (IsKft018(configuration.family) && image.High(kLogicRegister) != kLogicHighByte) {
        AddEntry(card, "reserved_7", RawByte(image.High(kLogicRegister)),
                 "high byte of register 7; the sheet writes 0xA9");
    }
    sections.push_back(card);
    for (int port = 0; port < kPortCount; ++port) {
        sections.push_back(DescribePort(image, port));
    }
    if (IsKft018(configuration.family)) {
        for (int input = 1; input <= kInputCount; ++input) {
            sections.push_back(DescribeInput(image, input));
        }
        for (int output = 1; output <= kOutputCount; ++output) {
            sections.push_back(DescribeOutput(image, output, eventNames));
        }
    }
    return sections;
}

std::string FormatConfigFile(const std::vector<ConfigSection>& sections,
                             const std::vector<std::string>& heading) {
    constexpr size_t kCommentColumn = 28;
    std::string text;
    for (const std::string& line : heading) {
        text += "# " + line + "\n";
    }
    for (const ConfigSection& section : sections) {
        text += "\n[" + section.name + "]\n";
        for (const ConfigEntry& entry : section.entries) {
            std::string line = entry.key + " = " + entry.value;
            if (!entry.comment.empty()) {
                line.resize(std::max(line.size() + 1, kCommentColumn), ' ');
                line += "# " + entry.comment;
            }
            text += line + "\n";
        }
    }
    return text;
}

namespace {

const ConfigEntry* FindEntry(const std::vector<ConfigSection>& sections, const std::string& name,
                             const std::string& key, bool* sectionFound) {
    for (const ConfigSection& section : sections) {
        if (section.name != name) {
            continue;
        }
        *sectionFound = true;
        for (const ConfigEntry& entry : section.entries) {
            if (entry.key == key) {
                return &entry;
            }
        }
        return nullptr;
    }
    *sectionFound = false;
    return nullptr;
}

// "3 (Input 3 alarm), 17 (Mains failure)" for the events of `from` missing in `other`.
std::string MissingEvents(const RegisterImage& from, const RegisterImage& other, int output,
                          const EventNames& names) {
    std::string list;
    for (int event = 1; event <= kEventCount; ++event) {
        if (EventSet(from, output, event) && !EventSet(other, output, event)) {
            const std::string& name = names[static_cast<size_t>(event - 1)];
            list += (list.empty() ? "" : ", ") + std::to_string(event) +
                    (name.empty() ? "" : " (" + name + ")");
        }
    }
    return list;
}

}  // namespace

std::vector<std::string> DescribeDifferences(const CardConfiguration& a, const CardConfiguration& b,
                                             const EventNames& eventNames, const std::string& first,
                                             const std::string& second) {
    const std::vector<ConfigSection> left = DescribeConfiguration(a, eventNames);
    const std::vector<ConfigSection> right = DescribeConfiguration(b, eventNames);
    std::vector<std::string> differences;
    const auto compare = [&](const std::vector<ConfigSection>& one,
                             const std::vector<ConfigSection>& two, bool oneIsFirst) {
        for (const ConfigSection& section : one) {
            bool sectionFound = false;
            FindEntry(two, section.name, "", &sectionFound);
            if (!sectionFound) {
                differences.push_back(section.name + ": only in " + (oneIsFirst ? first : second));
                continue;
            }
            for (const ConfigEntry& entry : section.entries) {
                const ConfigEntry* match = FindEntry(two, section.name, entry.key, &sectionFound);
                const std::string field = section.name + " " + entry.key;
                if (!oneIsFirst) {
                    if (match == nullptr) {
                        differences.push_back(field + ": not set in " + first + ", " + entry.value +
                                              " in " + second);
                    }
                    continue;
                }
                const std::string theirs = match != nullptr ? match->value : "not set";
                if (match != nullptr && match->value == entry.value) {
                    continue;
                }
                std::string text =
                    field + ": " + entry.value + " in " + first + ", " + theirs + " in " + second;
                if (entry.key == "events" && section.name.rfind("Output ", 0) == 0) {
                    const int output = std::stoi(section.name.substr(7));
                    const std::string onlyFirst =
                        MissingEvents(a.image, b.image, output, eventNames);
                    const std::string onlySecond =
                        MissingEvents(b.image, a.image, output, eventNames);
                    if (!onlyFirst.empty()) {
                        text += "; only in " + first + ": " + onlyFirst;
                    }
                    if (!onlySecond.empty()) {
                        text += "; only in " + second + ": " + onlySecond;
                    }
                }
                differences.push_back(text);
            }
        }
    };
    compare(left, right, true);
    compare(right, left, false);
    return differences;
}
