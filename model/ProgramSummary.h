#pragma once

#include <array>
#include <optional>
#include <string>

class RegisterImage;

// The port summary that the programming dialog shows before it writes the card: one column per
// card port COM0-COM3. A cell holds the text to show, or nothing when the image holds a code the
// summary does not know: the cell then keeps what it showed before. Cells the summary never
// fills (parity and stop bits of COM0, the addresses of COM0, COM1 and COM3) are always empty.
struct PortSummary {
    static constexpr int kPortCount = 4;
    std::array<std::optional<std::string>, kPortCount> protocol;
    std::array<std::optional<std::string>, kPortCount> baud;
    std::array<std::optional<std::string>, kPortCount> parity;
    std::array<std::optional<std::string>, kPortCount> stop;
    std::array<std::optional<std::string>, kPortCount> address;
    bool operator==(const PortSummary&) const = default;
};

// Names of the parity codes 1, 2 and 3 (language strings 42-44, as their bytes).
using ParityNames = std::array<std::string, 3>;

// The summary of registers 0-4. It does not depend on the firmware variant.
PortSummary SummarizePorts(const RegisterImage& image, const ParityNames& parityNames);
