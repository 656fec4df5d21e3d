#pragma once

#include <string>

// The help texts of brovane-cli: the program's and one per command.

struct CommandHelp {
    const char* name;
    const char* text;
};

extern const char kProgramHelp[];
// The help of a command; null for a name that is no command.
const CommandHelp* FindCommandHelp(const std::string& name);
