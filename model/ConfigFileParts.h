#pragma once

// What the writer and the reader of the configuration file share: the fixed texts, the limits
// of the raw forms and the names of the sections.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/FirmwareVariant.h"

class RegisterImage;

namespace config_file {

// Fixed texts of the file; the sheet shows the same entries in the user's language.
inline constexpr std::array<const char*, 3> kParityNames = {"None", "Even", "Odd"};
inline constexpr std::array<const char*, 4> kTypeNames = {"Digital", "Voltage", "Temperature",
                                                          "Percentage"};
inline constexpr std::array<const char*, 2> kStopNames = {"1", "2"};
inline constexpr int kPortCount = 4;
inline constexpr int kEventCount = 32;
inline constexpr int kEventsPerWord = 16;
inline constexpr uint8_t kSpareLineBits = 0x88;  // bits 3 and 7 of a line byte
inline constexpr unsigned kByteMaximum = 0xFF;
inline constexpr unsigned kWordMaximum = 0xFFFF;
inline constexpr unsigned kBaudCodeMaximum = 7;
inline constexpr const char* kRaw = "raw ";
inline constexpr const char* kNoEvents = "none";
inline constexpr const char* kDelayUnit = "ms";

// Section names: "COM0", "Input 1", "Output 8".
std::string PortName(int port);
std::string InputName(int input);
std::string OutputName(int output);

// The keys of the fields each section holds, in file order; a port's raw "spare_bits" aside,
// which no page shows.
std::vector<std::string> PortFieldKeys(int port);
std::vector<std::string> InputFieldKeys();
std::vector<std::string> OutputFieldKeys();

// Baud entries the sheet offers on a port: 4 on COM0, 6 on COM2, 5 on COM1 and COM3.
int BaudEntriesOfPort(int port);
// Only KFT018 exchanges the inputs and outputs.
bool IsKft018(FirmwareFamily family);
// Whether event 1-32 drives output 1-8 in the image.
bool EventSet(const RegisterImage& image, int output, int event);

}  // namespace config_file
