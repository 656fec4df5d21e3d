#pragma once

#include <string>

// Folder of the running executable, with a closing separator; the language files lie there.
// Empty until start-up fills it.
extern std::string ProgramDirectory;

// The folder of the running executable's real path (links resolved), with a closing separator;
// empty when the system cannot tell.
std::string ExecutableDirectory();
