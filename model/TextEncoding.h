#pragma once

#include <array>
#include <string>
#include <string_view>

// How a text file's bytes encode its characters, as the editors people use save them.

// Windows-1252 bytes 0x80-0x9F; the rest of the code page equals Latin-1. The five undefined
// bytes pass through as their C1 control characters.
inline constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

enum class TextEncoding {
    Utf8,         // also plain ASCII, with or without a byte-order mark
    Windows1252,  // not valid UTF-8: Notepad's "ANSI"
    Utf16,        // a UTF-16 byte-order mark, or NUL bytes at alternating positions
};

bool IsValidUtf8(std::string_view text);

// Which of the three the bytes are; UTF-16 is known by its mark or by NUL bytes at every other
// position. A stray NUL elsewhere leaves the text UTF-8 or Windows-1252, for the reader to
// refuse by its line.
TextEncoding DetectTextEncoding(std::string_view bytes);

// The characters of Windows-1252 bytes, as UTF-8.
std::string Windows1252ToUtf8(std::string_view bytes);
