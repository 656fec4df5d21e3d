#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Frames in words and in hex, for the virtual card's log and the PC side's trace.

// What a request frame asks for ("read register 10", "identify", ...).
std::string DescribeRequest(const std::vector<uint8_t>& frame);
// What a reply (or a piece of one) says ("register value 0x03FF", "identity KFT018-01-01", ...).
std::string DescribeReply(const std::vector<uint8_t>& frame);
// The bytes as two-digit hexadecimal numbers separated by blanks.
std::string HexBytes(const std::vector<uint8_t>& bytes);
