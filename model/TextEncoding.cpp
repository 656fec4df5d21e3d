#include "model/TextEncoding.h"

#include <algorithm>

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t length = 1;
        unsigned minimum = 0;
        unsigned point = c;
        if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            point = c & 0x07U;
            minimum = 0x10000;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            point = c & 0x0FU;
            minimum = 0x800;
        } else if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            point = c & 0x1FU;
            minimum = 0x80;
        } else if (c >= 0x80) {
            return false;
        }
        if (i + length > text.size()) {
            return false;
        }
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            point = point << 6 | (next & 0x3FU);
        }
        if (point < minimum || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

namespace {

// UTF-16 without a mark: its NULs stand at one parity only (the high bytes of the characters of
// the Latin alphabet), and at least half of that parity's bytes are NUL. A NUL or two anywhere
// else (what a power loss can leave in a UTF-8 file) is no UTF-16.
bool HasUtf16Nuls(std::string_view bytes) {
    std::array<size_t, 2> nuls{};
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\0') {
            ++nuls[i % 2];
        }
    }
    for (size_t parity = 0; parity < 2; ++parity) {
        const size_t atParity = (bytes.size() + 1 - parity) / 2;
        if (nuls[1 - parity] == 0 && nuls[parity] > 0 && 2 * nuls[parity] >= atParity) {
            return true;
        }
    }
    return false;
}

}  // namespace

TextEncoding DetectTextEncoding(std::string_view bytes) {
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF" ||
        HasUtf16Nuls(bytes)) {
        return TextEncoding::Utf16;
    }
    return IsValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 8);
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        const char16_t point = code >= 0x80 && code <= 0x9F ? kWindows1252High[code - 0x80] : code;
        if (point < 0x80) {
            text += static_cast<char>(point);
        } else if (point < 0x800) {
            text += static_cast<char>(0xC0 | point >> 6);
            text += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            text += static_cast<char>(0xE0 | point >> 12);
            text += static_cast<char>(0x80 | (point >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (point & 0x3F));
        }
    }
    return text;
}
