// The inputs and outputs of a KFT018 file, checked by the sheet's rules.
#include <algorithm>
#include <string>

#include "model/ConfigFileCheck.h"
#include "model/ConfigFileParts.h"
#include "model/Fields.h"
#include "model/Inputs.h"

namespace config_file {

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
    const auto [text, unit] = SplitUnit(line->value);
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
    if (IsDecimalComma(unit)) {
        Error(line->number, Label(section, line->key), line->value,
              "has a decimal comma: use a decimal point", allowed);
        return std::nullopt;
    }
    if (!unit.empty() && !IsUnit(unit, limits->unit)) {
        Error(line->number, Label(section, line->key), line->value,
              "unit \"" + std::string(unit) + "\" is not " + limits->unit, allowed);
        return std::nullopt;
    }
    // The field's mask: digits, a sign, and for volts a point with up to two decimals.
    const size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    const auto digits = [](std::string_view part) {
        return !part.empty() &&
               std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    const bool wellFormed = SignedNumber(whole).has_value() &&
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

void Reader::CheckThresholdWithoutType(const Section& section, const Line* line) {
    if (line == nullptr || IsRaw(line->value)) {
        return;
    }
    // Tried against each type with thresholds, quietly: one that takes it may be meant.
    std::string types;
    for (size_t type = 1; type < kTypeNames.size(); ++type) {
        const size_t before = errors_.size();
        double number = 0;
        if (ReadThreshold(section, line, static_cast<int>(type), &number)) {
            return;
        }
        errors_.resize(before);
        types += (types.empty() ? "" : ", ") + std::string(kTypeNames[type]);
    }
    Error(line->number, Label(section, line->key), line->value,
          "is a threshold of no type; it cannot be checked until the type is one of " + types,
          "a threshold of the input's type, or raw 0x0000-0xFFFF");
}

void Reader::ReadInput(int input, RegisterImage& image) {
    const Section* section = Need(InputName(input));
    if (section == nullptr) {
        return;
    }
    CheckKeys(*section, InputFieldKeys());
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
    if (type == kNoEntry) {
        CheckThresholdWithoutType(*section, lowerLine);
        CheckThresholdWithoutType(*section, upperLine);
    }
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
            const auto [text, unit] = SplitUnit(line->value);
            const auto milliseconds = SignedNumber(text);
            if (IsDecimalComma(unit)) {
                Error(line->number, Label(*section, "delay"), line->value,
                      "has a decimal comma: use a decimal point", delayAllowed);
            } else if (!unit.empty() && !IsUnit(unit, kDelayUnit)) {
                Error(line->number, Label(*section, "delay"), line->value,
                      "unit \"" + std::string(unit) + "\" is not " + kDelayUnit, delayAllowed);
            } else if (!milliseconds || !IsPageDelay(*milliseconds)) {
                Error(line->number, Label(*section, "delay"), line->value,
                      milliseconds ? "is not a delay of the sheet" : "is not a delay",
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
    CheckKeys(*section, OutputFieldKeys());
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
    const std::string eventsAllowed = "none, or event numbers 1-32 separated by commas";
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
        // Events are counted in decimal, as the list shows them: 0x10 is no event 16.
        const auto event = raw ? UnsignedNumber(Trim(token.substr(3))) : DecimalNumber(token);
        if (token.empty()) {
            // The whole value names what is wrong: a comma with nothing after or before it.
            Error(line->number, Label(*section, "events"), line->value,
                  "has a comma with no event number beside it", eventsAllowed);
        } else if (!event || *event < 1 || *event > kEventCount) {
            Error(line->number, Label(*section, "events"), std::string(token),
                  "is not an event number", eventsAllowed);
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

}  // namespace config_file
