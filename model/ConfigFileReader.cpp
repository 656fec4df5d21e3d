// The configuration file read and checked by the sheet's rules.
#include <algorithm>
#include <charconv>
#include <map>
#include <string>

#include "model/ConfigFile.h"
#include "model/ConfigFileParts.h"
#include "model/Fields.h"
#include "model/Inputs.h"

using namespace config_file;

namespace {

// What Entry gives besides a list entry: a value in error, or a raw value.
constexpr int kNoEntry = -1;
constexpr int kRawEntry = -2;

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool SameText(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t length = 1;
        unsigned minimum = 0;
        unsigned point = c;
        if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            point = c & 0x07U;
            minimum = 0x10000;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            point = c & 0x0FU;
            minimum = 0x800;
        } else if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            point = c & 0x1FU;
            minimum = 0x80;
        } else if (c >= 0x80) {
            return false;
        }
        if (i + length > text.size()) {
            return false;
        }
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            point = point << 6 | (next & 0x3FU);
        }
        if (point < minimum || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

// A whole decimal or 0x-hexadecimal number without sign.
std::optional<unsigned> UnsignedNumber(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    unsigned value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || result.ec != std::errc{} || result.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// A whole decimal number with an optional minus sign.
std::optional<long> SignedNumber(std::string_view text) {
    long value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc{} || result.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool IsRaw(std::string_view value) {
    return value.size() >= 3 && SameText(value.substr(0, 3), "raw") &&
           (value.size() == 3 || value[3] == ' ' || value[3] == '\t');
}

// ---- File to image ------------------------------------------------------------------------

struct Line {
    int number = 0;
    std::string key;
    std::string value;
};

struct Section {
    int number = 0;  // line of the header
    std::string name;
    std::vector<Line> lines;
    std::map<std::string, size_t> keys;  // lower-case key -> index into lines
};

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

class Reader {
  public:
    Reader(std::string_view text, const EventNames& names) : names_(names) { Split(text); }

    ConfigReading Read();

  private:
    void Split(std::string_view text);
    void Error(int line, std::string field, std::string value, std::string problem,
               std::string allowed) {
        errors_.push_back(
            {line, std::move(field), std::move(value), std::move(problem), std::move(allowed)});
    }

    // The section by its canonical name; null when the file lacks it (reported once).
    const Section* Need(const std::string& name);
    // The value of a key, reported as missing when required and absent.
    const Line* Field(const Section& section, const std::string& key, bool required,
                      const std::string& allowed);
    void CheckKeys(const Section& section, const std::vector<std::string>& known);

    // A raw value "raw N" within 0-maximum; reports a malformed one.
    std::optional<unsigned> Raw(const Section& section, const Line& line, unsigned maximum,
                                const std::string& allowed);
    // The entry of a named list (case-insensitive), or kNoEntry after an error; raw values are left
    // to the caller (kRawEntry).
    template <typename Names>
    int Entry(const Section& section, const Line& line, const Names& names, size_t count,
              const std::string& allowed);

    void ReadCard(CardConfiguration& configuration, bool& familyKnown);
    void ReadPort(int port, RegisterImage& image);
    void ReadInput(int input, RegisterImage& image);
    void ReadOutput(int output, RegisterImage& image);
    std::optional<uint16_t> ReadThreshold(const Section& section, const Line* line, int type,
                                          double* number);

    std::string Label(const Section& section, const std::string& key) const {
        return section.name + " " + key;
    }

    const EventNames& names_;
    std::vector<Section> sections_;
    std::vector<ConfigError> errors_;
    int lastLine_ = 0;
};

void Reader::Split(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    int number = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (!IsValidUtf8(raw)) {
            Error(number, "line", "", "is not UTF-8 text", "UTF-8 text");
            continue;
        }
        std::string_view line = Trim(raw.substr(0, raw.find('#')));
        if (line.empty()) {
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']') {
                Error(number, "section", std::string(line), "has no closing \"]\"",
                      "[name] on a line of its own");
                continue;
            }
            const std::string name(Trim(line.substr(1, line.size() - 2)));
            const auto same =
                std::find_if(sections_.begin(), sections_.end(),
                             [&](const Section& s) { return SameText(s.name, name); });
            if (same != sections_.end()) {
                Error(number, "section", name, "appears a second time",
                      "each section once (first at line " + std::to_string(same->number) + ")");
            }
            sections_.push_back({number, name, {}, {}});
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            Error(number, "line", std::string(line), "is not key = value", "key = value");
            continue;
        }
        if (sections_.empty()) {
            Error(number, "line", std::string(line), "stands before the first section",
                  "[card] first");
            continue;
        }
        Section& section = sections_.back();
        const std::string key(Trim(line.substr(0, equals)));
        const std::string lower = LowerCase(key);
        if (section.keys.count(lower) != 0) {
            Error(number, Label(section, key), std::string(Trim(line.substr(equals + 1))),
                  "is given a second time", "each key once per section");
            continue;
        }
        section.keys[lower] = section.lines.size();
        section.lines.push_back({number, key, std::string(Trim(line.substr(equals + 1)))});
    }
    lastLine_ = number;
}

const Section* Reader::Need(const std::string& name) {
    for (const Section& section : sections_) {
        if (SameText(section.name, name)) {
            return &section;
        }
    }
    Error(lastLine_, "[" + name + "]", "", "is missing", "the section [" + name + "]");
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

template <typename Names>
int Reader::Entry(const Section& section, const Line& line, const Names& names, size_t count,
                  const std::string& allowed) {
    if (IsRaw(line.value)) {
        return kRawEntry;
    }
    for (size_t entry = 0; entry < count; ++entry) {
        if (SameText(line.value, names[entry])) {
            return static_cast<int>(entry);
        }
    }
    Error(line.number, Label(section, line.key), line.value, "is not in the list", allowed);
    return kNoEntry;
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
    std::vector<std::string> keys = {"protocol", "baud"};
    if (port != 0) {
        keys.insert(keys.end(), {"parity", "stop", "spare_bits"});
    }
    if (port == 2) {
        keys.push_back("address");
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
    const std::string parityAllowed = ListOf(kParityNames.data(), kParityNames.size()) + ", raw 0";
    if (const Line* line = Field(*section, "parity", true, parityAllowed)) {
        const int entry = Entry(*section, *line, kParityNames, kParityNames.size(), parityAllowed);
        if (entry >= 0) {
            settings.parityCode = entry + 1;
        } else if (entry == kRawEntry) {
            if (const auto raw = Raw(*section, *line, kParityCodeMaximum, parityAllowed)) {
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
            if (!address || *address < 0 || *address > kAddressHighest) {
                Error(line->number, Label(*section, "address"), line->value, "is out of range",
                      addressAllowed);
            } else {
                image.SetLow(kAddressRegister, static_cast<uint8_t>(*address));
            }
        }
    }
}

std::optional<uint16_t> Reader::ReadThreshold(const Section& section, const Line* line, int type,
                                              double* number) {
    const std::optional<ThresholdLimits> limits = ThresholdLimitsOfType(type);
    const std::string rawAllowed = "raw 0x0000-0xFFFF";
    if (IsRaw(line->value)) {
        const auto raw = Raw(section, *line, kWordMaximum, rawAllowed);
        return raw ? std::optional<uint16_t>(static_cast<uint16_t>(*raw)) : std::nullopt;
    }
    if (!limits) {
        Error(line->number, Label(section, line->key), line->value,
              type == kInputNone ? "is not shown for a Digital input"
                                 : "needs a type the sheet offers",
              rawAllowed);
        return std::nullopt;
    }
    std::string_view text = line->value;
    const size_t blank = text.find(' ');
    std::string_view unit = blank == std::string_view::npos ? "" : Trim(text.substr(blank));
    text = text.substr(0, blank);
    const std::string step = limits->decimals > 0 ? ", at most two decimals" : ", whole numbers";
    const auto bound = [&](double value) {
        if (limits->decimals == 0) {
            return std::to_string(static_cast<long>(value));
        }
        return *ThresholdTextOfRegister(type,
                                        *ThresholdRegisterOfText(type, std::to_string(value)));
    };
    const std::string allowed = bound(limits->lowest) + " to " + bound(limits->highest) + " " +
                                limits->unit + step + ", or " + rawAllowed;
    bool wellFormed = !unit.empty() ? unit == limits->unit : true;
    // The field's mask: digits, a sign, and for volts a point with up to two decimals.
    const size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    const auto digits = [](std::string_view part) {
        return !part.empty() &&
               std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    wellFormed = wellFormed && SignedNumber(whole).has_value() &&
                 (point == std::string_view::npos ||
                  (limits->decimals > 0 && digits(fraction) &&
                   fraction.size() <= static_cast<size_t>(limits->decimals)));
    if (!wellFormed) {
        Error(line->number, Label(section, line->key), line->value, "is not a threshold", allowed);
        return std::nullopt;
    }
    const std::string numberText(text);
    *number = LenientDecimal(numberText);
    if (!(*number >= limits->lowest && *number <= limits->highest)) {
        Error(line->number, Label(section, line->key), line->value, "is out of range", allowed);
        return std::nullopt;
    }
    return ThresholdRegisterOfText(type, numberText);
}

void Reader::ReadInput(int input, RegisterImage& image) {
    const Section* section = Need(InputName(input));
    if (section == nullptr) {
        return;
    }
    CheckKeys(*section, {"type", "lower", "upper", "delay"});
    const int typeRegister = InputTypeRegister(input);
    const std::string typeAllowed =
        ListOf(kTypeNames.data(), kTypeNames.size()) + ", raw 0x00-0xFF";
    int type = kNoEntry;
    if (const Line* line = Field(*section, "type", true, typeAllowed)) {
        type = Entry(*section, *line, kTypeNames, kTypeNames.size(), typeAllowed);
        if (type == kRawEntry) {
            const auto raw = Raw(*section, *line, kByteMaximum, typeAllowed);
            type = raw ? static_cast<int>(*raw) : kNoEntry;
        }
    }
    if (type >= 0) {
        image.SetHigh(typeRegister, static_cast<uint8_t>(type));
    }

    const bool digital = type == kInputNone;
    const std::string thresholdAllowed = "a threshold of the input's type, or raw 0x0000-0xFFFF";
    const Line* lowerLine = Field(*section, "lower", !digital && type >= 0, thresholdAllowed);
    const Line* upperLine = Field(*section, "upper", !digital && type >= 0, thresholdAllowed);
    image.SetValue(InputLowerRegister(input), digital ? kDigitalInputLower : 0);
    image.SetValue(InputUpperRegister(input), digital ? kDigitalInputUpper : 0);
    double lowerNumber = 0;
    double upperNumber = 0;
    std::optional<uint16_t> lower;
    std::optional<uint16_t> upper;
    if (type >= 0 && lowerLine != nullptr) {
        lower = ReadThreshold(*section, lowerLine, type, &lowerNumber);
        if (lower) {
            image.SetValue(InputLowerRegister(input), *lower);
        }
    }
    if (type >= 0 && upperLine != nullptr) {
        upper = ReadThreshold(*section, upperLine, type, &upperNumber);
        if (upper) {
            image.SetValue(InputUpperRegister(input), *upper);
        }
    }
    if (lower && upper && !IsRaw(lowerLine->value) && !IsRaw(upperLine->value) &&
        lowerNumber > upperNumber) {
        Error(lowerLine->number, Label(*section, "lower"), lowerLine->value,
              "is above the upper threshold " + upperLine->value, "at most the upper threshold");
    }

    const std::string delayAllowed = "0 to 2500 ms in steps of 10, or raw 0-255";
    if (const Line* line = Field(*section, "delay", true, delayAllowed)) {
        if (IsRaw(line->value)) {
            if (const auto raw = Raw(*section, *line, kByteMaximum, delayAllowed)) {
                image.SetLow(typeRegister, static_cast<uint8_t>(*raw));
            }
        } else {
            std::string_view text = line->value;
            const size_t blank = text.find(' ');
            const std::string_view unit =
                blank == std::string_view::npos ? "" : Trim(text.substr(blank));
            const auto milliseconds = SignedNumber(text.substr(0, blank));
            if (!milliseconds || !(unit.empty() || unit == "ms") || !IsPageDelay(*milliseconds)) {
                Error(line->number, Label(*section, "delay"), line->value,
                      milliseconds && (unit.empty() || unit == "ms") ? "is not a delay of the sheet"
                                                                     : "is not a delay",
                      delayAllowed);
            } else {
                image.SetLow(typeRegister, static_cast<uint8_t>(*milliseconds / kDelayIncrement));
            }
        }
    }
}

void Reader::ReadOutput(int output, RegisterImage& image) {
    const Section* section = Need(OutputName(output));
    if (section == nullptr) {
        return;
    }
    CheckKeys(*section, {"logic", "events"});
    const std::string logicAllowed = ListOf(kLogicNames, std::size(kLogicNames));
    if (const Line* line = Field(*section, "logic", true, logicAllowed)) {
        if (IsRaw(line->value)) {
            Error(line->number, Label(*section, "logic"), line->value, "is not in the list",
                  logicAllowed);
        } else if (Entry(*section, *line, kLogicNames, std::size(kLogicNames), logicAllowed) == 1) {
            image.SetLow(kLogicRegister,
                         static_cast<uint8_t>(image.Low(kLogicRegister) | 1U << (output - 1)));
        }
    }
    const std::string eventsAllowed =
        "none, or event numbers 1-32 separated by commas (raw N for an event without a name)";
    const Line* line = Field(*section, "events", true, eventsAllowed);
    if (line == nullptr || SameText(line->value, kNoEvents)) {
        return;
    }
    uint32_t events = 0;
    std::string_view rest = line->value;
    while (true) {
        const size_t comma = rest.find(',');
        const std::string_view token = Trim(rest.substr(0, comma));
        const bool raw = IsRaw(token);
        const auto event = UnsignedNumber(raw ? Trim(token.substr(3)) : token);
        if (!event || *event < 1 || *event > kEventCount) {
            Error(line->number, Label(*section, "events"), std::string(token),
                  "is not an event number", eventsAllowed);
        } else if (!raw && names_[*event - 1].empty()) {
            Error(line->number, Label(*section, "events"), std::string(token),
                  "is an event without a name, which the sheet cannot assign",
                  "raw " + std::to_string(*event) + " to keep it");
        } else {
            events |= uint32_t{1} << (*event - 1);
        }
        if (comma == std::string_view::npos) {
            break;
        }
        rest = rest.substr(comma + 1);
    }
    const int first = kFirstEventRegister + 2 * (output - 1);
    image.SetValue(first, static_cast<uint16_t>(events & kWordMaximum));
    image.SetValue(first + 1, static_cast<uint16_t>(events >> kEventsPerWord));
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
    return reading;
}

}  // namespace

ConfigReading ReadConfigFile(std::string_view text, const EventNames& eventNames) {
    return Reader(text, eventNames).Read();
}

std::string FormatConfigError(const std::string& fileName, const ConfigError& error) {
    std::string text = fileName + ":" + std::to_string(error.line) + ": " + error.field;
    if (!error.value.empty()) {
        text += " \"" + error.value + "\"";
    }
    return text + " " + error.problem + "; allowed: " + error.allowed;
}
