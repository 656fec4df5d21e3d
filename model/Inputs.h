#pragma once

#include <cstdint>
#include <optional>
#include <string>

class RegisterImage;

// Input types: the entry of the type list is the code stored in the register image.
enum InputTypeCode { kInputNone = 0, kInputVolts = 1, kInputCelsius = 2, kInputPercent = 3 };
constexpr int kInputTypeEntries = 4;  // entries of the type list: codes 0-3

// Threshold conversions, page text <-> register value.
uint16_t VoltsTextToRegister(
    const std::string& text);                   // "2.50" -> 511, rounding as the card expects
std::string VoltsRegisterToText(uint16_t raw);  // 511 -> "2.50", "%1.2lf"
uint16_t CelsiusTextToRegister(const std::string& text);  // "-20" -> 0 (value + 20, low 16 bits)
std::string CelsiusRegisterToText(uint16_t raw);          // 0 -> "-20"
uint16_t PercentTextToRegister(const std::string& text);  // low 16 bits of the integer value
std::string PercentRegisterToText(uint16_t raw);
// The conversion of one threshold field by type (1 volts, 2 degrees, 3 percent); nothing for
// any other type, whose thresholds are not converted.
std::optional<uint16_t> ThresholdRegisterOfText(int type, const std::string& text);
std::optional<std::string> ThresholdTextOfRegister(int type, uint16_t raw);

// What an input row shows for a type: unit labels (UTF-8; "°C" for degrees), whether the
// threshold fields are enabled, and their texts. Type 0 gives blank (" "), disabled fields and
// empty units.
struct ThresholdRowView {
    bool enabled = false;
    std::string unit;
    std::string lower;
    std::string upper;
    bool operator==(const ThresholdRowView&) const = default;
};
// With image null (or reg 0) the type's defaults; otherwise the lower threshold from register
// reg and the upper from reg+1. A type outside 0-3 (a code the type list does not offer) gives
// empty, disabled fields and no units: the row shows nothing it cannot store. Nothing for a
// register pair outside the image.
std::optional<ThresholdRowView> ShowThresholds(int type, const RegisterImage* image, int reg);

// What a digital input (type 0) holds in its threshold registers.
inline constexpr uint16_t kDigitalInputLower = 0;
inline constexpr uint16_t kDigitalInputUpper = 1023;

// Stores one row's thresholds: the lower text into register reg, the upper into reg+1.
// Type 0 stores 0 and 1023; a type outside 0-3 (or a pair outside the image) stores nothing.
void TransferThresholds(int type, const std::string& lower, int reg, const std::string& upper,
                        RegisterImage& image);

// Leaving a threshold field: the corrected text of the field that was left. Out of range gives
// the field's own default (lower: bottom of the range, upper: top), then the field is clamped
// against the other threshold. Nothing for type 0 or a type outside 0-3.
enum class ThresholdSide { Upper = 0, Lower = 1 };
std::optional<std::string> ValidateThreshold(int type, const std::string& field, ThresholdSide side,
                                             const std::string& other);

// The range a threshold of a type may take on the page, and its unit ("V", "°C" in UTF-8, "%")
// and decimals (2 for volts, else 0). Nothing for type 0 or a type outside 0-3.
struct ThresholdLimits {
    double lowest = 0;
    double highest = 0;
    int decimals = 0;
    std::string unit;
};
std::optional<ThresholdLimits> ThresholdLimitsOfType(int type);

// Whether a delay in milliseconds is one the page keeps: 0-2500 in steps of 10.
bool IsPageDelay(long milliseconds);

// Leaving a delay field: below 0 gives 0, above 2500 gives 2500, else rounded down to a
// multiple of 10.
std::string ValidateDelay(const std::string& text);
constexpr int kDelayMaximum = 2500;
constexpr int kDelayIncrement = 10;

// Delay byte (units of 10 ms) <-> milliseconds text.
std::string DelayTextOfByte(uint8_t delayByte);    // 25 -> "250"
uint8_t DelayByteOfText(const std::string& text);  // "2500" -> 250, low 8 bits of value/10
