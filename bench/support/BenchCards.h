#pragma once

// What the benchmarks share: the bytes each exchange with the card puts on the wire, the
// virtual card they talk to, and brovane-cli run in process.

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "link/CardFrame.h"
#include "model/FirmwareVariant.h"
#include "model/RegisterImage.h"
#include "sim/Card.h"

namespace bench {

inline constexpr int kPacedBaud = 1200;

// Request and reply of each exchange: a request is its command text ("XI00", "XD00",
// "XG041rrr", "XS081rrrhhll") in the frame; a reply as the card frames it.
inline constexpr long kIdentifyBytes = 4 + card::kFrameOverhead + card::kIdentifyReplyLength;
inline constexpr long kHardwareBytes = 4 + card::kFrameOverhead + card::kHardwareReplyLength;
inline constexpr long kRegisterReadBytes = 8 + card::kFrameOverhead + card::kReadReplyLength;
inline constexpr long kRegisterWriteBytes = 12 + card::kFrameOverhead + card::kWriteReplyLength;

// A card read: the identification, the hardware value and the registers of the variant.
inline long ReadBytes(int variant) {
    const auto registers = static_cast<long>(ExchangedRegisters(variant).size());
    return kIdentifyBytes + kHardwareBytes + registers * kRegisterReadBytes;
}

// A programming: the register writes of the variant.
inline long ProgrammingBytes(int variant) {
    return static_cast<long>(ExchangedRegisters(variant).size()) * kRegisterWriteBytes;
}

// brovane-cli's write --verify: the identification, the programming, then a whole read back.
inline long WriteVerifyBytes(int variant) {
    return kIdentifyBytes + ProgrammingBytes(variant) + ReadBytes(variant);
}

inline int Kft018Variant() {
    return VariantOfFamily(FirmwareFamily::Kft018);
}

// A KFT018 card with a value in every register, made from `seed`.
inline CardConfig Kft018Card(int baud, int seed = 0x21) {
    CardConfig config;
    config.baud = baud;
    for (int reg = 0; reg < RegisterImage::kRegisterCount; ++reg) {
        config.registers.SetValue(reg, static_cast<uint16_t>(0x0101 * reg + seed));
    }
    return config;
}

// brovane-cli in process, without progress output; its exit code.
inline int RunCliQuietly(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    return RunCli(arguments, out, err, false);
}

}  // namespace bench
