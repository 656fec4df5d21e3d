#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Frames written out by hand for the virtual card's tests: STX, two address characters, the
// text, four 0xFF, ETX.
std::vector<uint8_t> RequestFrame(const std::string& text);  // PC to card, address "10"
std::vector<uint8_t> ReplyFrame(const std::string& text);    // card to PC, address "01"
