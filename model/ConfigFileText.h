#pragma once

// The words and numbers of the configuration file's values, as the reader takes them apart.

#include <optional>
#include <string>
#include <string_view>

namespace config_file {

std::string_view Trim(std::string_view text);
// Equal but for the case of ASCII letters.
bool SameText(std::string_view a, std::string_view b);
std::string LowerCase(std::string_view text);
std::string UpperCase(std::string_view text);

// A whole decimal or 0x-hexadecimal number without sign.
std::optional<unsigned> UnsignedNumber(std::string_view text);
// A whole decimal number without sign: no 0x, no blank.
std::optional<unsigned> DecimalNumber(std::string_view text);
// A whole decimal number with an optional minus sign.
std::optional<long> SignedNumber(std::string_view text);
bool IsRaw(std::string_view value);

// A value as people type it: the number, then the unit with or without blanks before it
// ("1.00V", "1.00 v", "500\tms").
struct NumberAndUnit {
    std::string_view number;
    std::string_view unit;  // empty when none is given
};
NumberAndUnit SplitUnit(std::string_view value);
// Whether the unit SplitUnit found begins with a decimal comma ("1,00 V" gives ",00 V"), as
// technicians who write numbers the German or Italian way type it.
bool IsDecimalComma(std::string_view unit);
// Whether `typed` names `unit` ("V", "%", "°C", "ms"), whatever its case; degrees Celsius are
// also "C" and "degC".
bool IsUnit(std::string_view typed, std::string_view unit);

}  // namespace config_file
