#include "model/Fields.h"

#include <iterator>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

std::string BaudText(int code) {
    static constexpr std::array<const char*, 7> kRates = {"1200",  "2400",  "4800", "9600",
                                                          "19200", "38400", "57600"};
    if (code < 1 || code > static_cast<int>(kRates.size())) {
        return {};
    }
    return kRates[code - 1];
}

namespace {
constexpr uint8_t kBaudMask = 0x07;
constexpr uint8_t kStopMask = 0x01;
constexpr int kStopShift = 4;
constexpr uint8_t kParityMask = 0x03;
constexpr int kParityShift = 5;
constexpr uint8_t kNibble = 0x0F;
}  // namespace

LineSettings DecodeLineByte(uint8_t lineByte) {
    LineSettings settings;
    settings.baudCode = lineByte & kBaudMask;
    settings.stopCode = (lineByte >> kStopShift) & kStopMask;
    settings.parityCode = (lineByte >> kParityShift) & kParityMask;
    return settings;
}

uint8_t EncodeLineByte(const LineSettings& settings) {
    const unsigned baud = static_cast<unsigned>(settings.baudCode) & kBaudMask;
    const unsigned stop = static_cast<unsigned>(settings.stopCode) & kStopMask;
    const unsigned parity = static_cast<unsigned>(settings.parityCode) & kParityMask;
    return static_cast<uint8_t>(baud | stop << kStopShift | parity << kParityShift);
}

int Com0ProtocolCode(uint8_t highByte) {
    return highByte & kNibble;
}

int Com0BaudCode(uint8_t lowByte) {
    return lowByte & kNibble;
}

int PortProtocolCode(uint8_t highByte) {
    return highByte & kNibble;
}

const char* ShownProtocolName(int port, uint8_t highByte) {
    const auto code =
        static_cast<size_t>(port == 0 ? Com0ProtocolCode(highByte) : PortProtocolCode(highByte));
    const auto& names = port == 0 ? kCom0ProtocolNames : kPortProtocolNames;
    return code < std::size(names) ? names[code] : nullptr;
}

long LenientInteger(const std::string& text) {
    return std::strtol(text.c_str(), nullptr, 10);
}

namespace {

// The blanks strtod skips in the "C" locale.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigitOf(char c, bool hex) {
    if (c >= '0' && c <= '9') {
        return true;
    }
    return hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'));
}

// Whether the number in `digits` (a whole match of from_chars, that was out of range) is too
// large rather than too small: its order of magnitude, counted from the first significant digit
// and the exponent, is positive. Decimal exponents count digits, binary ones bits.
bool TooLarge(std::string_view digits, bool hex) {
    const int bitsPerDigit = hex ? 4 : 1;
    const char exponentMark = hex ? 'p' : 'e';
    long order = 0;
    bool significant = false;
    bool afterPoint = false;
    size_t i = 0;
    for (; i < digits.size() && (digits[i] | 0x20) != exponentMark; ++i) {
        if (digits[i] == '.') {
            afterPoint = true;
        } else if (digits[i] != '0') {
            significant = true;
        }
        if (digits[i] != '.' && !afterPoint && significant) {
            order += bitsPerDigit;
        } else if (digits[i] == '0' && afterPoint && !significant) {
            order -= bitsPerDigit;
        }
    }
    // The exponent: saturated, its size alone decides far beyond any double's range.
    long exponent = 0;
    const bool negative = i + 1 < digits.size() && digits[i + 1] == '-';
    for (++i; i < digits.size(); ++i) {
        if (digits[i] >= '0' && digits[i] <= '9' && exponent < 1'000'000) {
            exponent = exponent * 10 + (digits[i] - '0');
        }
    }
    return order + (negative ? -exponent : exponent) > 0;
}

}  // namespace

double LenientDecimal(const std::string& text) {
    // strtod's reading in the "C" locale, whatever the user's locale (the toolkit sets it, and
    // it may have a decimal comma): the fields always write a point.
    const char* next = text.data();
    const char* const end = next + text.size();
    while (next != end && IsBlank(*next)) {
        ++next;
    }
    bool negative = false;
    if (next != end && (*next == '+' || *next == '-')) {
        negative = *next == '-';
        ++next;
    }
    if (next != end && (*next == '+' || *next == '-')) {
        return 0.0;
    }
    // "0x" opens a hexadecimal number only when a hexadecimal digit follows (with or without a
    // point); otherwise the "0" alone is read.
    bool hex = false;
    if (end - next > 2 && next[0] == '0' && (next[1] | 0x20) == 'x') {
        const char* digits = next + 2;
        if (*digits == '.' && digits + 1 != end) {
            ++digits;
        }
        if (IsDigitOf(*digits, true)) {
            hex = true;
            next += 2;
        }
    }
    double value = 0.0;
    const auto result = std::from_chars(next, end, value,
                                        hex ? std::chars_format::hex : std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        value = TooLarge(std::string_view(next, result.ptr - next), hex) ? HUGE_VAL : 0.0;
    } else if (result.ec != std::errc{}) {
        return 0.0;
    }
    return negative ? -value : value;
}
