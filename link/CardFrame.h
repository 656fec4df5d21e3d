#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The card's frame and digit conventions, shared by the commands on the PC side and by the
// virtual card.
//
// A frame is STX, two address characters, the payload, four 0xFF bytes and ETX: 8 bytes more
// than its payload. Requests carry the address "10"; the card's replies share the layout, so a
// reply with a four-character echo and n data characters is 12 + n bytes long.

namespace card {

inline constexpr uint8_t kStx = 0x02;
inline constexpr uint8_t kEtx = 0x03;
inline constexpr uint8_t kFill = 0xFF;
inline constexpr size_t kFrameOverhead = 8;
inline constexpr size_t kBufferSize = 120;  // transmit and receive buffers of the commands

// Offsets inside a reply.
inline constexpr size_t kEchoOffset = 3;
inline constexpr size_t kEchoLength = 4;
inline constexpr size_t kDataOffset = 7;

// Reply lengths of the four commands.
inline constexpr size_t kIdentifyReplyLength = 68;
inline constexpr size_t kHardwareReplyLength = 28;
inline constexpr size_t kReadReplyLength = 16;
inline constexpr size_t kWriteReplyLength = 12;

// The identity sits at offset 39 of the identification reply, at most 12 characters.
inline constexpr size_t kIdentityOffset = 39;
inline constexpr size_t kIdentityLength = 12;

// Text positions from this one on carry hexadecimal digits as 0x30 + value.
inline constexpr size_t kFirstEncodedPosition = 7;

// Replaces "A" to "F" from position 7 on by ":" to "?", so each hexadecimal digit travels as
// 0x30 + its value. Earlier characters stay as they are.
void EncodeDigits(std::string& text);

// Lays out a frame around `payload` into `out`, which holds `capacity` bytes. Returns the frame
// length, or 0 when the frame does not fit.
size_t LayOutFrame(std::string_view payload, uint8_t* out, size_t capacity, char addressHigh = '1',
                   char addressLow = '0');

// One hexadecimal digit as it travels: 0x30 + value (value 0-15).
inline uint8_t WireDigit(unsigned value) {
    return static_cast<uint8_t>(0x30 + (value & 0x0F));
}

// The value of a travelling digit, or -1 when the byte is no digit (0x30-0x3F).
inline int WireDigitValue(uint8_t c) {
    return c >= 0x30 && c <= 0x3F ? c - 0x30 : -1;
}

// The value of `count` travelling digits from `offset` of `text`, high digit first; -1 when the
// text is too short or one of them is no digit.
long WireDigitsValue(std::string_view text, size_t offset, size_t count);

// A data byte from its two characters, high digit first, kept to eight bits.
inline uint8_t DecodeWireByte(uint8_t high, uint8_t low) {
    return static_cast<uint8_t>((high - 0x30) * 16 + (low - 0x30));
}

}  // namespace card
