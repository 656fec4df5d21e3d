#include "model/Fields.h"

#include <locale.h>
#include <array>
#include <clocale>
#include <cstdlib>

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

long LenientInteger(const std::string& text) {
    return std::strtol(text.c_str(), nullptr, 10);
}

double LenientDecimal(const std::string& text) {
    // The program runs under the user's locale (the toolkit sets it), where the decimal point
    // may be a comma; the fields always write a point, so they are read in the "C" locale.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    if (cLocale == locale_t{}) {
        return std::strtod(text.c_str(), nullptr);
    }
    return strtod_l(text.c_str(), nullptr, cLocale);
}
