#pragma once

#include <array>
#include <string>

class RegisterImage;

// The port summary that the programming dialog shows before it writes the card: one column per
// card port COM0-COM3. A cell holds the text to show. A code the summary does not know shows
// "---", as do the cells it never fills (parity and stop bits of COM0, the addresses of COM0,
// COM1 and COM3): a cell never keeps the text of an earlier showing, which may have been
// another card's.
inline constexpr char kNoSummaryValue[] = "---";
struct PortSummary {
    static constexpr int kPortCount = 4;
    using Cells = std::array<std::string, kPortCount>;
    Cells protocol{kNoSummaryValue, kNoSummaryValue, kNoSummaryValue, kNoSummaryValue};
    Cells baud = protocol;
    Cells parity = protocol;
    Cells stop = protocol;
    Cells address = protocol;
    bool operator==(const PortSummary&) const = default;
};

// Names of the parity codes 1, 2 and 3 (language strings 42-44, as their bytes).
using ParityNames = std::array<std::string, 3>;

// The summary of registers 0-4. It does not depend on the firmware variant.
PortSummary SummarizePorts(const RegisterImage& image, const ParityNames& parityNames);
