#pragma once

// The help of brovane-cli as a whole; each command's own stands in its row of the command
// table (CommandTable.h).
extern const char kProgramHelp[];
