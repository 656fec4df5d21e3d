#pragma once

#include <string>
#include <vector>

#include "cli/PortJobs.h"

// The end of a command on several ports: a table with one row per port (port, device, card,
// result, time), and the exit code of all of them.

std::string FormatPortTable(const std::vector<PortOutcome>& outcomes);

// kExitOk when every port succeeded, else the code of the worst result. Results rank as their
// codes do: interrupted (130) before an output that cannot be written (5), a difference (4), a
// card of another family (3) and a card that cannot be reached or stops answering (1).
int WorstExitCode(const std::vector<PortOutcome>& outcomes);
