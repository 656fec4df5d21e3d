#pragma once

#include <string>
#include <vector>

#include "cli/Context.h"

// The commands of brovane-cli, one unit each; each returns its exit code. write and verify are
// the jobs of PortJobs.h, on one port or several.
// `named`: the ports that --probe asks; none: every present port.
int PortsCommand(CliContext& context, bool probe, const std::vector<std::string>& named);
int ReadCommand(CliContext& context, const std::string& port, const std::string& outputFile);
// Identifies the card and reads its hardware value; says why when it does not answer.
int CheckCommand(CliContext& context, const std::string& port);
int DiffCommand(CliContext& context, const std::string& a, const std::string& b);
int ShowCommand(CliContext& context, const std::string& file);

// Prints the differences, or `same` when there are none; kExitDifferent or kExitOk.
int ReportDifferences(CliContext& context, const std::vector<std::string>& differences,
                      const std::string& same);
