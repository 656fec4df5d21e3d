#pragma once

#include <ostream>
#include <string>
#include <vector>

// brovane-cli: saves, compares, clones and verifies the configuration of Quorix cards with the
// card commands and register rules of Brovane.

// Exit codes.
constexpr int kExitOk = 0;
constexpr int kExitCardFailure = 1;  // the port cannot be opened, the card does not answer
constexpr int kExitBadInput = 2;     // a bad file or command line: nothing was sent
constexpr int kExitFamilyMismatch = 3;
constexpr int kExitDifferent = 4;  // verify, write --verify or diff found differences

// Runs one command line (without the program name). Results go to `out`, progress and errors
// to `err`; `errIsTerminal` chooses the progress bar over plain lines.
int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           bool errIsTerminal);
