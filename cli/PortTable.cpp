#include "cli/PortTable.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "cli/ExitCodes.h"

namespace {

// The worst result is the highest code.
static_assert(kExitCardFailure < kExitFamilyMismatch && kExitFamilyMismatch < kExitDifferent &&
              kExitDifferent < kExitCannotWrite && kExitCannotWrite < kExitInterrupted);

constexpr size_t kColumns = 5;
using Row = std::array<std::string, kColumns>;

// "25.4 s"
std::string Seconds(std::chrono::milliseconds time) {
    char text[32] = {};
    std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(time.count()) / 1000.0);
    return text;
}

Row RowOf(const PortOutcome& outcome) {
    return {outcome.port, outcome.device.empty() ? "-" : outcome.device,
            outcome.identity.empty() ? "-" : outcome.identity, outcome.result,
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
    int worst = kExitOk;
    for (const PortOutcome& outcome : outcomes) {
        worst = std::max(worst, outcome.exitCode);
    }
    return worst;
}
