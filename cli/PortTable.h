#pragma once

#include <string>
#include <vector>

#include "cli/PortJobs.h"

// The end of a command on several ports: a table with one row per port (port, device, card,
// the fields set on that card alone when a manifest set any, result, time), and the exit code
// of all of them.

// Port names and devices stand escaped: a control character in one cannot reach the terminal.
std::string FormatPortTable(const std::vector<PortOutcome>& outcomes);

// kExitOk when every port succeeded, else the code of the worst result. Results rank by harm:
// interrupted (130), then a card left part-way (1), an output that cannot be written (5), a
// difference (4), a card of another family (3), a card that cannot be reached or does not
// answer (1), a port name that makes no port (2).
int WorstExitCode(const std::vector<PortOutcome>& outcomes);
