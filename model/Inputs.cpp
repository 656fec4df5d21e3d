#include "model/Inputs.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "model/Fields.h"
#include "model/RegisterImage.h"

namespace {

// The card's voltage scale: 0.00-5.00 V on 0-1023. The constants are the doubles nearest to
// them, used in 80-bit arithmetic so that each text of 0.00-5.00 comes back as the same text.
constexpr long double kFifth = 0.2;
constexpr long double kOneOver1023 = 1.0 / 1023;
constexpr long double kHundredth = 0.01;
constexpr long double kFullScale = 1023;
constexpr long double kVoltsScale = 5;

constexpr double kVoltsMinimum = 0.0;
constexpr double kVoltsMaximum = 5.0;
constexpr long kCelsiusOffset = 20;
constexpr long kCelsiusMinimum = -20;
constexpr long kCelsiusMaximum = 120;
constexpr long kPercentMinimum = 0;
constexpr long kPercentMaximum = 100;

// Low 16 bits of an integral value, exactly for every finite value; no number gives 0.
uint16_t LowSixteenBits(long double integral) {
    constexpr long double kWord = 65536;
    long double rest = std::fmod(integral, kWord);
    if (std::isnan(rest)) {
        return 0;
    }
    if (rest < 0) {
        rest += kWord;
    }
    return static_cast<uint16_t>(rest);
}

uint16_t LowSixteenBits(long value) {
    return static_cast<uint16_t>(static_cast<unsigned long>(value));
}

// The units digit of an already scaled value, with its sign (as C's % gives it).
long double DigitOf(long double scaled) {
    return std::fmod(std::trunc(scaled), 10.0L);
}

std::string TwoDecimals(double value) {
    // Plain "%1.2lf", but independent of the user's locale; -0 shows as 0.00.
    char text[400];
    const auto result =
        std::to_chars(text, text + sizeof text, value + 0.0, std::chars_format::fixed, 2);
    if (result.ec != std::errc{}) {
        return {};
    }
    return std::string(text, result.ptr);
}

}  // namespace

uint16_t VoltsTextToRegister(const std::string& text) {
    const double volts = LenientDecimal(text);
    const double x = static_cast<double>(kFifth * volts * kFullScale);
    const long double firstDecimal = DigitOf(static_cast<long double>(x) * 10);
    // A fraction of .6 or more rounds up, .5 or less rounds down.
    const long double raw = firstDecimal > 5 ? std::ceil(x) : std::floor(x);
    return LowSixteenBits(raw);
}

std::string VoltsRegisterToText(uint16_t raw) {
    const double volts = static_cast<double>(kOneOver1023 * raw * kVoltsScale);
    const long double thirdDecimal = DigitOf(static_cast<long double>(volts) * 1000);
    const double hundredths = static_cast<double>(static_cast<long double>(volts) * 100);
    const long double steps = thirdDecimal > 5 ? std::ceil(hundredths) : std::floor(hundredths);
    return TwoDecimals(static_cast<double>(steps * kHundredth));
}

uint16_t CelsiusTextToRegister(const std::string& text) {
    return static_cast<uint16_t>(LowSixteenBits(LenientInteger(text)) + kCelsiusOffset);
}

std::string CelsiusRegisterToText(uint16_t raw) {
    return std::to_string(raw - kCelsiusOffset);
}

uint16_t PercentTextToRegister(const std::string& text) {
    return LowSixteenBits(LenientInteger(text));
}

std::string PercentRegisterToText(uint16_t raw) {
    return std::to_string(raw);
}

std::optional<uint16_t> ThresholdRegisterOfText(int type, const std::string& text) {
    switch (type) {
        case kInputVolts:
            return VoltsTextToRegister(text);
        case kInputCelsius:
            return CelsiusTextToRegister(text);
        case kInputPercent:
            return PercentTextToRegister(text);
        default:
            return std::nullopt;
    }
}

std::optional<std::string> ThresholdTextOfRegister(int type, uint16_t raw) {
    switch (type) {
        case kInputVolts:
            return VoltsRegisterToText(raw);
        case kInputCelsius:
            return CelsiusRegisterToText(raw);
        case kInputPercent:
            return PercentRegisterToText(raw);
        default:
            return std::nullopt;
    }
}

namespace {

// Whether reg and reg+1 are both registers of the image.
bool IsThresholdPair(int reg) {
    return reg >= 0 && reg + 1 < RegisterImage::kRegisterCount;
}

}  // namespace

std::optional<ThresholdRowView> ShowThresholds(int type, const RegisterImage* image, int reg) {
    ThresholdRowView view;
    switch (type) {
        case kInputNone:
            view.lower = " ";
            view.upper = " ";
            return view;
        case kInputVolts:
            view.unit = "V";
            view.lower = "0.00";
            view.upper = "5.00";
            break;
        case kInputCelsius:
            view.unit = "\u00B0C";
            view.lower = std::to_string(kCelsiusMinimum);
            view.upper = std::to_string(kCelsiusMaximum);
            break;
        case kInputPercent:
            view.unit = "%";
            view.lower = std::to_string(kPercentMinimum);
            view.upper = std::to_string(kPercentMaximum);
            break;
        default:
            return view;
    }
    view.enabled = true;
    // Register 0 is never a threshold register: it asks for the type's defaults.
    if (image != nullptr && reg != 0) {
        if (!IsThresholdPair(reg)) {
            return std::nullopt;
        }
        view.lower = *ThresholdTextOfRegister(type, image->Value(reg));
        view.upper = *ThresholdTextOfRegister(type, image->Value(reg + 1));
    }
    return view;
}

void TransferThresholds(int type, const std::string& lower, int reg, const std::string& upper,
                        RegisterImage& image) {
    if (!IsThresholdPair(reg)) {
        return;
    }
    if (type == kInputNone) {
        image.SetValue(reg, kDigitalInputLower);
        image.SetValue(reg + 1, kDigitalInputUpper);
        return;
    }
    const auto lowerRaw = ThresholdRegisterOfText(type, lower);
    const auto upperRaw = ThresholdRegisterOfText(type, upper);
    if (!lowerRaw || !upperRaw) {
        return;
    }
    image.SetValue(reg, *lowerRaw);
    image.SetValue(reg + 1, *upperRaw);
}

namespace {

// Out of range takes the field's own default, then the field may not cross the other one.
template <typename Number>
Number CorrectThreshold(Number value, Number other, bool otherUsable, ThresholdSide side,
                        Number lowest, Number highest) {
    const bool lower = side == ThresholdSide::Lower;
    if (!(value >= lowest && value <= highest)) {  // NaN counts as out of range
        value = lower ? lowest : highest;
    }
    if (otherUsable) {
        if (lower && value > other) {
            value = other;
        } else if (!lower && value < other) {
            value = other;
        }
    }
    return value;
}

}  // namespace

std::optional<std::string> ValidateThreshold(int type, const std::string& field, ThresholdSide side,
                                             const std::string& other) {
    switch (type) {
        case kInputVolts: {
            const double otherVolts = LenientDecimal(other);
            // An unreadable other field (not a finite number) sets no bound.
            return TwoDecimals(CorrectThreshold(LenientDecimal(field), otherVolts,
                                                std::isfinite(otherVolts), side, kVoltsMinimum,
                                                kVoltsMaximum));
        }
        case kInputCelsius:
            return std::to_string(CorrectThreshold(LenientInteger(field), LenientInteger(other),
                                                   true, side, kCelsiusMinimum, kCelsiusMaximum));
        case kInputPercent:
            return std::to_string(CorrectThreshold(LenientInteger(field), LenientInteger(other),
                                                   true, side, kPercentMinimum, kPercentMaximum));
        default:
            return std::nullopt;
    }
}

std::optional<ThresholdLimits> ThresholdLimitsOfType(int type) {
    const std::optional<ThresholdRowView> defaults = ShowThresholds(type, nullptr, 0);
    if (!defaults || !defaults->enabled) {
        return std::nullopt;
    }
    ThresholdLimits limits;
    limits.unit = defaults->unit;
    switch (type) {
        case kInputVolts:
            limits = {kVoltsMinimum, kVoltsMaximum, 2, limits.unit};
            break;
        case kInputCelsius:
            limits = {kCelsiusMinimum, kCelsiusMaximum, 0, limits.unit};
            break;
        default:
            limits = {kPercentMinimum, kPercentMaximum, 0, limits.unit};
            break;
    }
    return limits;
}

bool IsPageDelay(long milliseconds) {
    return milliseconds >= 0 && milliseconds <= kDelayMaximum &&
           milliseconds % kDelayIncrement == 0;
}

std::string ValidateDelay(const std::string& text) {
    long delay = LenientInteger(text);
    if (delay < 0) {
        delay = 0;
    } else if (delay > kDelayMaximum) {
        delay = kDelayMaximum;
    } else {
        delay -= delay % kDelayIncrement;
    }
    return std::to_string(delay);
}

std::string DelayTextOfByte(uint8_t delayByte) {
    return std::to_string(delayByte * kDelayIncrement);
}

uint8_t DelayByteOfText(const std::string& text) {
    return static_cast<uint8_t>(static_cast<unsigned long>(LenientInteger(text) / kDelayIncrement));
}
