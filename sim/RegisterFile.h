#pragma once

#include <string>

#include "model/RegisterImage.h"

// The virtual card's register file: one register per line, "<register> <value>".
//   register  decimal 0-47 (or hexadecimal with "0x"); a range such as "24-26" sets each one
//   value     the 16-bit value in hexadecimal, "0x" optional: 0125, 0x0125, 21
// An "=" between the two is allowed. Everything after "#" or ";" is a comment; blank lines are
// ignored. Registers the file does not name keep their value (zero on a fresh card). A register
// dump is written in the same format, so it can be loaded again.

// Applies the text to the image. False, with "line N: reason" in `error`, on the first bad line
// (the image is then left as it was).
bool ParseRegisterText(const std::string& text, RegisterImage& image, std::string& error);
// Reads and applies a register file.
bool LoadRegisterFile(const std::string& path, RegisterImage& image, std::string& error);
// All 48 registers in the file format, each with a comment naming what it holds.
std::string FormatRegisterDump(const RegisterImage& image);
