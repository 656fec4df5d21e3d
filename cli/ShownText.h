#pragma once

#include <string>

// Text from outside (a port name as typed, a device path) as it may stand on a terminal or in a
// file: every control character as \xHH, so that none can move the cursor, clear the screen
// or break a line.
std::string Shown(const std::string& text);
// Whether `text` holds a control character, which no file name of ours may.
bool HasControlCharacter(const std::string& text);
