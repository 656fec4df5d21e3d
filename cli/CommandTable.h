#pragma once

#include <string>
#include <vector>

#include "cli/Context.h"
#include "cli/Request.h"

// The commands of brovane-cli, each with everything about it in one row: its name, the options
// only it takes, its operands, its help and the function that runs it.
struct CommandRow {
    const char* name;
    std::vector<std::string> options;  // the options of this command alone
    size_t operands;                   // how many operands it takes
    bool anyOperandsWhenProbing;       // ports --probe: any number of ports
    bool needsLanguage;                // the language file is loaded before it runs
    const char* help;
    int (*run)(CliContext& context, const Request& request);
};

// The row of a command; null for a name that is no command.
const CommandRow* FindCommand(const std::string& name);
// The commands whose option `option` is ("write and verify"); empty for the options of every
// command.
std::string CommandsOfOption(const std::string& option);
// Whether `command` takes `option`: its own, or one of every command.
bool TakesOption(const std::string& command, const std::string& option);
