#include "cli/PortTable.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "cli/ExitCodes.h"
#include "cli/ShownText.h"

namespace {

// How much harm a port's end means, the worst first: a half-programmed card must not hide
// behind a card of another family, on which only the identification was sent.
int Harm(const PortOutcome& outcome) {
    if (outcome.exitCode == kExitOk) {
        return 0;
    }
    if (outcome.exitCode == kExitInterrupted) {
        return 7;
    }
    if (outcome.partWay) {
        return 6;
    }
    switch (outcome.exitCode) {
        case kExitCannotWrite:
            return 5;
        case kExitDifferent:
            return 4;
        case kExitFamilyMismatch:
            return 3;
        case kExitCardFailure:
            return 2;
        default:
            return 1;
    }
}

constexpr size_t kColumns = 5;
using Row = std::array<std::string, kColumns>;

// "25.4 s"
std::string Seconds(std::chrono::milliseconds time) {
    char text[32] = {};
    std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(time.count()) / 1000.0);
    return text;
}

Row RowOf(const PortOutcome& outcome) {
    return {Shown(outcome.port), outcome.device.empty() ? "-" : Shown(outcome.device),
            outcome.identity.empty() ? "-" : outcome.identity, Shown(outcome.result),
            Seconds(outcome.time)};
}

}  // namespace

std::string FormatPortTable(const std::vector<PortOutcome>& outcomes) {
    std::vector<Row> rows = {{"port", "device", "card", "result", "time"}};
    std::transform(outcomes.begin(), outcomes.end(), std::back_inserter(rows), RowOf);
    std::array<size_t, kColumns> widths{};
    for (const Row& row : rows) {
        for (size_t column = 0; column < kColumns; ++column) {
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    std::string table;
    for (const Row& row : rows) {
        for (size_t column = 0; column + 1 < kColumns; ++column) {
            table += row[column] + std::string(widths[column] - row[column].size() + 2, ' ');
        }
        table += row[kColumns - 1] + "\n";
    }
    return table;
}

int WorstExitCode(const std::vector<PortOutcome>& outcomes) {
    const auto worst = std::max_element(
        outcomes.begin(), outcomes.end(),
        [](const PortOutcome& a, const PortOutcome& b) { return Harm(a) < Harm(b); });
    return worst == outcomes.end() ? kExitOk : worst->exitCode;
}
