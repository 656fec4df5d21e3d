#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/OutputEvents.h"

class RegisterImage;

// What the configuration sheet shows, as plain values: list entries count from 0, -1 is a list
// without a current entry (the card held a code the list does not offer); fields are texts.
// The sheet only moves values between its widgets and this state.

// Entries of a port's lists.
struct LineEntries {
    int protocol = -1;
    int baud = -1;
    int parity = -1;
    int stop = -1;
    bool operator==(const LineEntries&) const = default;
};

struct InputRowState {
    int type = -1;      // entry of the type list (type code 0-3), -1 for a code above 3
    std::string lower;  // threshold field texts as shown (for type -1: empty)
    std::string upper;
    std::string delay = "0";  // milliseconds
    // Whether each threshold field still shows the text the sheet showed for the card's
    // register (the user has not changed it, nor the row's type).
    bool lowerUnchanged = false;
    bool upperUnchanged = false;
    bool operator==(const InputRowState&) const = default;
};

// Number of entries in each list of the port pages.
constexpr int kCom0ProtocolEntries = 2;  // "NEXPR", "KARVO"
constexpr int kCom0BaudEntries = 4;      // 1200-9600
constexpr int kPortProtocolEntries = 2;  // "NEXPR", "MODBUS RTU"
constexpr int kCom1BaudEntries = 5;      // 1200-19200 (COM1 and COM3)
constexpr int kCom2BaudEntries = 6;      // 1200-38400
constexpr int kParityEntries = 3;        // strings 42-44
constexpr int kStopEntries = 2;          // "1", "2"
constexpr int kAddressMaximum = 224;     // address spinner 0-224 in steps of 32
constexpr int kAddressIncrement = 32;

struct SheetState {
    int com0Protocol = -1;
    int com0Baud = -1;
    LineEntries com1;
    LineEntries com2;
    LineEntries com3;           // always the first entries
    int rememberedAddress = 0;  // COM2 bus address last taken from the image or the spinner
    std::string addressText = "0";
    std::array<InputRowState, 8> inputs;
    OutputEvents outputs;
    bool operator==(const SheetState&) const = default;
};

// Image -> page, as the sheet shows it. COM2 address controls show the address only while
// COM2 runs "MODBUS RTU" (protocol entry 1), else "0" (the remembered address is kept).
SheetState DecodeSheet(const RegisterImage& image);

// Page -> image, as confirmation writes it. A list without an entry keeps the code the image
// holds for that field. Registers 5 and 6 are never touched.
// While COM2's address controls are disabled (protocol entry not 1) the address field shows
// "0" but the remembered address is stored, so that confirming never wipes the card's address.
// A threshold field of a row whose type is unchanged keeps its register when the user has not
// changed its text, whatever the register holds (a field's mask may show only part of it), or
// when its text still shows the register's value: two decimals cannot tell 204 from 205, and
// the card's value is not replaced unasked.
void EncodeSheet(const SheetState& state, RegisterImage& image);

// Whether COM2's parity, stop-bit and address controls are enabled for a protocol entry.
bool Com2LineControlsEnabled(int protocolEntry);
// Whether the hardware-offset warning is due: COM2's protocol list shows "NEXPR" (entry 0, not
// a list without entry) on a card whose hardware value is not 0.
bool HardwareOffsetWarningDue(int com2ProtocolEntry, int hardwareBits);
// COM0 baud entry preset when the user picks a COM0 protocol: "1200" for NEXPR, else "9600".
int Com0BaudPreset(int protocolEntry);
// COM2 baud/parity/stop entries preset when the user picks a COM2 protocol.
LineEntries Com2LinePreset(int protocolEntry);

// The address field when it is left: a number above 255 becomes "255", below 0 becomes "0";
// any other text stays as typed (it is read leniently on confirmation).
std::string CorrectAddressText(const std::string& text);
// The address byte confirmation stores for a text: its number, held within 0-255.
uint8_t AddressByteOfText(const std::string& text);

// The sheet's caption bytes: "<s14> - <s93>" then identity characters 8-9, ".", 11-12.
std::string SheetCaption(const std::string& first, const std::string& second, const char* identity);
