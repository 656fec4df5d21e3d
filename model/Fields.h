#pragma once

#include <cstdint>
#include <string>

// Field codecs of the card's register map.

// Baud codes 1-7: "1200", "2400", "4800", "9600", "19200", "38400", "57600"; empty otherwise.
std::string BaudText(int code);

// Line byte of COM1-COM3 (low byte of registers 1-3):
// baud code bits 0-2, stop-bit code bit 4, parity code bits 5-6; bits 3 and 7 unused.
struct LineSettings {
    int baudCode = 0;    // 0-7
    int stopCode = 0;    // 0 = one stop bit, 1 = two
    int parityCode = 0;  // 0-3; 1-3 are language strings 42-44
    bool operator==(const LineSettings&) const = default;
};
LineSettings DecodeLineByte(uint8_t lineByte);
// Writes bits 3 and 7 as zero; each code is cut to its field's width.
uint8_t EncodeLineByte(const LineSettings& settings);

// COM0: protocol code in bits 0-3 of register 0 high byte, baud code in bits 0-3 of its low byte.
int Com0ProtocolCode(uint8_t highByte);
int Com0BaudCode(uint8_t lowByte);
// Protocol code of COM1-COM3: bits 0-3 of the register's high byte.
int PortProtocolCode(uint8_t highByte);

// Texts of the sheet's protocol lists, entry 0 first (fixed, not localised).
constexpr const char* kCom0ProtocolNames[] = {"NEXPR", "KARVO"};
constexpr const char* kPortProtocolNames[] = {"NEXPR", "MODBUS RTU"};
// The entry the sheet's protocol list of a port (0-3) shows for a register's high byte, which
// it reads by its low four bits; null when the list shows none.
const char* ShownProtocolName(int port, uint8_t highByte);
// Texts of the output logic list: entry 0 "Normal ON", entry 1 "Normal OFF".
constexpr const char* kLogicNames[] = {"Normal ON", "Normal OFF"};
// Highest COM2 bus address the register holds.
constexpr int kAddressHighest = 255;

// Register numbers of the register map.
constexpr int kAddressRegister = 4;  // low byte: COM2 bus address; high byte written 0xFF
constexpr uint8_t kAddressHighByte = 0xFF;
constexpr int kLogicRegister = 7;  // low byte: output logic bits; high byte written 0xA9
constexpr uint8_t kLogicHighByte = 0xA9;
constexpr int kFirstEventRegister = 8;  // registers 8-23: event words 0-15
constexpr int kEventWordCount = 16;
constexpr int kOutputCount = 8;
constexpr int kInputCount = 8;
// Input n (1-8): type (high) and delay/10 ms (low) in 24+3(n-1), thresholds in the next two.
constexpr int InputTypeRegister(int input) {
    return 24 + 3 * (input - 1);
}
constexpr int InputLowerRegister(int input) {
    return 25 + 3 * (input - 1);
}
constexpr int InputUpperRegister(int input) {
    return 26 + 3 * (input - 1);
}

// The lenient text-to-number conversions of the pages: leading blanks skipped, an optional
// sign, reading stops at the first character that does not fit, no digits give 0.
long LenientInteger(const std::string& text);
double LenientDecimal(const std::string& text);
