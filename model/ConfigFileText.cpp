#include "model/ConfigFileText.h"

#include <algorithm>
#include <charconv>

namespace config_file {

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

std::optional<unsigned> DecimalNumber(std::string_view text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    return UnsignedNumber(text);
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

NumberAndUnit SplitUnit(std::string_view value) {
    const size_t end = value.find_first_not_of("+-0123456789.");
    if (end == std::string_view::npos) {
        return {value, {}};
    }
    return {value.substr(0, end), Trim(value.substr(end))};
}

bool IsDecimalComma(std::string_view unit) {
    return unit.size() >= 2 && unit[0] == ',' && unit[1] >= '0' && unit[1] <= '9';
}

bool IsUnit(std::string_view typed, std::string_view unit) {
    if (SameText(typed, unit)) {
        return true;
    }
    return unit == "°C" && (SameText(typed, "C") || SameText(typed, "degC"));
}

}  // namespace config_file
