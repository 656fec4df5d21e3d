#include "cli/CardFileText.h"

#include <ctime>

#include "cli/ShownText.h"

namespace {

// "2026-12-09 at 10:01:32": when the card was read, in local time.
std::string Now() {
    const std::time_t now = std::time(nullptr);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d at %H:%M:%S", std::localtime(&now));
    return text;
}

}  // namespace

std::string CardFileText(const CardConfiguration& card, const EventNames& names,
                         const std::string& portName, const std::string& identity,
                         int hardwareBits) {
    return FormatConfigFile(
        DescribeConfiguration(card, names),
        {"Quorix card configuration, read by brovane-cli from " + Shown(portName) + " on " + Now() +
             ".",
         "Identity " + identity + ", hardware value " + std::to_string(hardwareBits) + ".",
         "Events are numbered 1 to 32; their names follow as comments.",
         "\"raw N\" keeps a code for which Brovane's sheet has no entry."});
}
