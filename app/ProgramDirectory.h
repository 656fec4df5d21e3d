#pragma once

#include <filesystem>
#include <string>

// Folder of the running executable, with a closing separator; the language files lie there.
// Kept as a path (wide on Windows), so that a folder named in any letters opens whatever the
// system's code page can hold. Empty until start-up fills it.
extern std::filesystem::path ProgramDirectory;

// The folder of the running executable's real path (links resolved), with a closing separator;
// empty when the system cannot tell.
std::filesystem::path ExecutableDirectory();

// A path as UTF-8 text, for messages and for the toolkit's strings. Never throws: a name that
// holds no valid text (a lone UTF-16 half on Windows) shows U+FFFD in its place.
std::string PathText(const std::filesystem::path& path);
