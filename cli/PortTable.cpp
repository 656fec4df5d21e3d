#include "cli/PortTable.h"

#include <algorithm>
#include <cstdio>
#include <vector>

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

using Row = std::vector<std::string>;

// "25.4 s"
std::string Seconds(std::chrono::milliseconds time) {
    char text[32] = {};
    std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(time.count()) / 1000.0);
    return text;
}

// The fields set on the card stand after the card, when some card has any.
Row RowOf(const PortOutcome& outcome, bool withSet) {
    Row row = {Shown(outcome.port), outcome.device.empty() ? "-" : Shown(outcome.device),
               outcome.identity.empty() ? "-" : outcome.identity};
    if (withSet) {
        row.push_back(outcome.set.empty() ? "-" : Shown(outcome.set));
    }
    row.push_back(Shown(outcome.result));
    row.push_back(Seconds(outcome.time));
    return row;
}

}  // namespace

std::string FormatPortTable(const std::vector<PortOutcome>& outcomes) {
    const bool withSet =
        std::any_of(outcomes.begin(), outcomes.end(),
                    [](const PortOutcome& outcome) { return !outcome.set.empty(); });
    std::vector<Row> rows = {withSet ? Row{"port", "device", "card", "set", "result", "time"}
                                     : Row{"port", "device", "card", "result", "time"}};
    for (const PortOutcome& outcome : outcomes) {
        rows.push_back(RowOf(outcome, withSet));
    }
    const size_t columns = rows.front().size();
    std::vector<size_t> widths(columns);
    for (const Row& row : rows) {
        for (size_t column = 0; column < columns; ++column) {
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    std::string table;
    for (const Row& row : rows) {
        for (size_t column = 0; column + 1 < columns; ++column) {
            table += row[column] + std::string(widths[column] - row[column].size() + 2, ' ');
        }
        table += row[columns - 1] + "\n";
    }
    return table;
}

int WorstExitCode(const std::vector<PortOutcome>& outcomes) {
    const auto worst = std::max_element(
        outcomes.begin(), outcomes.end(),
        [](const PortOutcome& a, const PortOutcome& b) { return Harm(a) < Harm(b); });
    return worst == outcomes.end() ? kExitOk : worst->exitCode;
}
