// The configuration file read and checked by the sheet's rules: the card's section, the ports
// and the whole file.
#include <algorithm>
#include <string>

#include "model/ConfigFile.h"
#include "model/ConfigFileCheck.h"
#include "model/ConfigFileParts.h"
#include "model/Fields.h"
#include "model/Inputs.h"
#include "model/TextEncoding.h"

namespace config_file {

Reader::Reader(std::string_view text) : file_(SplitSections(text, errors_)) {}

const Section* Reader::Need(const std::string& name) {
    for (const Section& section : sections_) {
        if (SameText(section.name, name)) {
            return &section;
        }
    }
    Error(file_.lastLine, "[" + name + "]", "", "is missing", "the section [" + name + "]");
    return nullptr;
}

const Line* Reader::Field(const Section& section, const std::string& key, bool required,
                          const std::string& allowed) {
    const auto found = section.keys.find(key);
    if (found != section.keys.end()) {
        return &section.lines[found->second];
    }
    if (required) {
        Error(section.number, Label(section, key), "", "is missing", allowed);
    }
    return nullptr;
}

void Reader::CheckKeys(const Section& section, const std::vector<std::string>& known) {
    std::string list;
    for (const std::string& key : known) {
        list += (list.empty() ? "" : ", ") + key;
    }
    for (const Line& line : section.lines) {
        if (std::find(known.begin(), known.end(), LowerCase(line.key)) == known.end()) {
            Error(line.number, Label(section, line.key), line.value, "is not a key of this section",
                  list);
        }
    }
}

std::optional<unsigned> Reader::Raw(const Section& section, const Line& line, unsigned maximum,
                                    const std::string& allowed) {
    const std::optional<unsigned> value =
        UnsignedNumber(Trim(std::string_view(line.value).substr(3)));
    if (!value || *value > maximum) {
        Error(line.number, Label(section, line.key), line.value, "is not a valid raw code",
              allowed);
        return std::nullopt;
    }
    return value;
}

std::string ListOf(const char* const* names, size_t count) {
    std::string list;
    for (size_t i = 0; i < count; ++i) {
        list += (i > 0 ? ", " : "") + std::string(names[i]);
    }
    return list;
}

void Reader::ReadCard(CardConfiguration& configuration, bool& familyKnown) {
    const Section* card = Need("card");
    if (card == nullptr) {
        return;
    }
    CheckKeys(*card, {"family", "reserved_4", "reserved_7"});
    if (const Line* line = Field(*card, "family", true, "KFT015, KFT018, KFT026")) {
        if (const auto family = FamilyOfName(UpperCase(line->value))) {
            configuration.family = *family;
            familyKnown = true;
        } else {
            Error(line->number, Label(*card, "family"), line->value, "is not a card family",
                  "KFT015, KFT018, KFT026");
        }
    }
    const std::string rawByte = "raw 0x00-0xFF";
    configuration.image.SetHigh(kAddressRegister, kAddressHighByte);
    if (const Line* line = Field(*card, "reserved_4", false, rawByte)) {
        if (!IsRaw(line->value)) {
            Error(line->number, Label(*card, "reserved_4"), line->value, "is not raw", rawByte);
        } else if (const auto value = Raw(*card, *line, kByteMaximum, rawByte)) {
            configuration.image.SetHigh(kAddressRegister, static_cast<uint8_t>(*value));
        }
    }
    const Line* reserved7 = Field(*card, "reserved_7", false, rawByte);
    if (familyKnown && !IsKft018(configuration.family)) {
        if (reserved7 != nullptr) {
            Error(reserved7->number, Label(*card, "reserved_7"), reserved7->value,
                  "is not used by " + FamilyName(configuration.family), "nothing");
        }
        return;
    }
    configuration.image.SetHigh(kLogicRegister, kLogicHighByte);
    if (reserved7 != nullptr) {
        if (!IsRaw(reserved7->value)) {
            Error(reserved7->number, Label(*card, "reserved_7"), reserved7->value, "is not raw",
                  rawByte);
        } else if (const auto value = Raw(*card, *reserved7, kByteMaximum, rawByte)) {
            configuration.image.SetHigh(kLogicRegister, static_cast<uint8_t>(*value));
        }
    }
}

void Reader::ReadPort(int port, RegisterImage& image) {
    const Section* section = Need(PortName(port));
    if (section == nullptr) {
        return;
    }
    std::vector<std::string> keys = PortFieldKeys(port);
    if (port != 0) {
        keys.push_back("spare_bits");
    }
    CheckKeys(*section, keys);

    const auto& protocols = port == 0 ? kCom0ProtocolNames : kPortProtocolNames;
    const std::string protocolAllowed = ListOf(protocols, std::size(protocols)) + ", raw 0x00-0xFF";
    if (const Line* line = Field(*section, "protocol", true, protocolAllowed)) {
        const int entry = Entry(*section, *line, protocols, std::size(protocols), protocolAllowed);
        if (entry >= 0) {
            image.SetHigh(port, static_cast<uint8_t>(entry));
        } else if (entry == kRawEntry) {
            if (const auto raw = Raw(*section, *line, kByteMaximum, protocolAllowed)) {
                image.SetHigh(port, static_cast<uint8_t>(*raw));
            }
        }
    }

    std::array<std::string, 7> rates;
    std::array<const char*, 7> rateNames{};
    for (int code = 1; code <= static_cast<int>(rates.size()); ++code) {
        rates[static_cast<size_t>(code - 1)] = BaudText(code);
        rateNames[static_cast<size_t>(code - 1)] = rates[static_cast<size_t>(code - 1)].c_str();
    }
    const auto baudEntries = static_cast<size_t>(BaudEntriesOfPort(port));
    const std::string baudAllowed =
        ListOf(rateNames.data(), baudEntries) + (port == 0 ? ", raw 0x00-0xFF" : ", raw 0-7");
    int baud = kNoEntry;
    if (const Line* line = Field(*section, "baud", true, baudAllowed)) {
        baud = Entry(*section, *line, rateNames, baudEntries, baudAllowed);
        if (baud >= 0) {
            baud += 1;
        } else if (baud == kRawEntry) {
            const auto raw =
                Raw(*section, *line, port == 0 ? kByteMaximum : kBaudCodeMaximum, baudAllowed);
            baud = raw ? static_cast<int>(*raw) : kNoEntry;
        }
    }
    if (port == 0) {
        if (baud >= 0) {
            image.SetLow(0, static_cast<uint8_t>(baud));
        }
        return;
    }

    LineSettings settings;
    settings.baudCode = std::max(baud, 0);
    // Parity code 0 is the one code without a name; the card reads it back as None.
    const std::string parityAllowed =
        ListOf(kParityNames.data(), kParityNames.size()) + ", " + kRaw + "0";
    if (const Line* line = Field(*section, "parity", true, parityAllowed)) {
        const int entry = Entry(*section, *line, kParityNames, kParityNames.size(), parityAllowed);
        if (entry >= 0) {
            settings.parityCode = entry + 1;
        } else if (entry == kRawEntry) {
            if (const auto raw = Raw(*section, *line, 0, parityAllowed)) {
                settings.parityCode = static_cast<int>(*raw);
            }
        }
    }
    const std::string stopAllowed = "1, 2";
    if (const Line* line = Field(*section, "stop", true, stopAllowed)) {
        if (IsRaw(line->value)) {
            Error(line->number, Label(*section, "stop"), line->value, "is not in the list",
                  stopAllowed);
        } else {
            settings.stopCode =
                std::max(Entry(*section, *line, kStopNames, kStopNames.size(), stopAllowed), 0);
        }
    }
    uint8_t spare = 0;
    const std::string spareAllowed = "raw 0x08, 0x80 or 0x88 (bits 3 and 7)";
    if (const Line* line = Field(*section, "spare_bits", false, spareAllowed)) {
        const std::optional<unsigned> raw =
            IsRaw(line->value) ? UnsignedNumber(Trim(std::string_view(line->value).substr(3)))
                               : std::nullopt;
        if (!raw || (*raw & ~unsigned{kSpareLineBits}) != 0) {
            Error(line->number, Label(*section, "spare_bits"), line->value,
                  "is not a set of spare bits", spareAllowed);
        } else {
            spare = static_cast<uint8_t>(*raw);
        }
    }
    image.SetLow(port, static_cast<uint8_t>(EncodeLineByte(settings) | spare));

    if (port == 2) {
        const std::string addressAllowed = "0 to " + std::to_string(kAddressHighest);
        if (const Line* line = Field(*section, "address", true, addressAllowed)) {
            const auto address = SignedNumber(line->value);
            if (!address) {
                Error(line->number, Label(*section, "address"), line->value,
                      "is not a decimal number", addressAllowed);
            } else if (*address < 0 || *address > kAddressHighest) {
                Error(line->number, Label(*section, "address"), line->value, "is out of range",
                      addressAllowed);
            } else {
                image.SetLow(kAddressRegister, static_cast<uint8_t>(*address));
            }
        }
    }
}

ConfigReading Reader::Read() {
    CardConfiguration configuration;
    bool familyKnown = false;
    ReadCard(configuration, familyKnown);
    std::vector<std::string> known = {"card"};
    for (int port = 0; port < kPortCount; ++port) {
        ReadPort(port, configuration.image);
        known.push_back(PortName(port));
    }
    // Without a family the inputs and outputs are checked when the file has them.
    const bool hasInputsOutputs =
        familyKnown ? IsKft018(configuration.family)
                    : std::any_of(sections_.begin(), sections_.end(),
                                  [](const Section& s) { return SameText(s.name, InputName(1)); });
    if (hasInputsOutputs) {
        for (int input = 1; input <= kInputCount; ++input) {
            ReadInput(input, configuration.image);
            known.push_back(InputName(input));
        }
        for (int output = 1; output <= kOutputCount; ++output) {
            ReadOutput(output, configuration.image);
            known.push_back(OutputName(output));
        }
    }
    for (const Section& section : sections_) {
        const bool isKnown = std::any_of(known.begin(), known.end(), [&](const std::string& name) {
            return SameText(name, section.name);
        });
        if (!isKnown) {
            Error(
                section.number, "[" + section.name + "]", "",
                familyKnown ? "is not a section of a " + FamilyName(configuration.family) + " file"
                            : "is not a section",
                familyKnown && !IsKft018(configuration.family)
                    ? "[card], [COM0] to [COM3]"
                    : "[card], [COM0] to [COM3], [Input 1] to [Input 8], [Output 1] to [Output 8]");
        }
    }
    ConfigReading reading;
    std::stable_sort(errors_.begin(), errors_.end(),
                     [](const ConfigError& a, const ConfigError& b) { return a.line < b.line; });
    reading.errors = std::move(errors_);
    if (reading.errors.empty()) {
        reading.configuration = configuration;
    }
    if (file_.windows1252) {
        reading.encoding = TextEncoding::Windows1252;
    }
    return reading;
}

}  // namespace config_file

using namespace config_file;

ConfigReading ReadConfigFile(std::string_view text) {
    if (DetectTextEncoding(text) == TextEncoding::Utf16) {
        ConfigReading reading;
        reading.encoding = TextEncoding::Utf16;
        reading.errors.push_back({1, "file", "", "is UTF-16 text", "UTF-8 text"});
        return reading;
    }
    const std::string_view body = text.substr(text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0);
    if (body.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        // One line for an empty file (a copy that never finished) rather than a missing section
        // each.
        ConfigReading reading;
        reading.errors.push_back(
            {1, "file", "", "is empty", "a configuration file written by brovane-cli or Brovane"});
        return reading;
    }
    return Reader(text).Read();
}

namespace {

std::string Printable(std::string text) {
    for (char& c : text) {
        if ((c >= 0 && c < ' ') || c == '\x7F') {
            c = '?';
        }
    }
    return text;
}

}  // namespace

std::string FormatConfigError(const std::string& fileName, const ConfigError& error) {
    std::string text = fileName + ":" + std::to_string(error.line) + ": " + Printable(error.field);
    if (!error.value.empty()) {
        text += " \"" + Printable(error.value) + "\"";
    }
    return text + " " + error.problem + "; allowed: " + error.allowed;
}
