#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/ExitCodes.h"
#include "cli/Terminal.h"

// brovane-cli: saves, compares, clones and verifies the configuration of Quorix cards with the
// card commands and register rules of Brovane.

// Runs one command line (without the program name). Results go to `out`, progress and errors
// to `err`; a terminal behind `err` gets the progress bar, cut to its size, instead of plain
// lines. `out` is flushed and checked before success is reported: output it did not take gives
// kExitCannotWrite.
int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           const ErrorScreen& screen);
// The same on a terminal of unknown size (`errIsTerminal`) or none.
int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           bool errIsTerminal);

// Writes the results of RunCli to the process's standard output and checks that it took every
// byte; kExitCannotWrite after a message on `err` with the system's reason, else `code`.
int WriteStandardOutput(const std::string& results, std::ostream& err, int code);
