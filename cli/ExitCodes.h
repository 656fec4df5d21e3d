#pragma once

// The exit codes of brovane-cli, one meaning each; --help and the README list them.
constexpr int kExitOk = 0;
constexpr int kExitCardFailure = 1;  // the port cannot be opened, the card does not answer
constexpr int kExitBadInput = 2;     // a bad file or command line: nothing was sent
constexpr int kExitFamilyMismatch = 3;
constexpr int kExitDifferent = 4;      // verify, write --verify or diff found differences
constexpr int kExitCannotWrite = 5;    // the output file or standard output took not every byte
constexpr int kExitNoLanguage = 6;     // the language file with the event names cannot be loaded
constexpr int kExitInterrupted = 130;  // Ctrl-C or a termination request, as shells count it
