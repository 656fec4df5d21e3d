#include "cli/ShownText.h"

#include <algorithm>
#include <cstdio>

namespace {

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

}  // namespace

std::string Shown(const std::string& text) {
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        if (!IsControl(c)) {
            shown += c;
            continue;
        }
        char escaped[5] = {};
        std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
        shown += escaped;
    }
    return shown;
}

bool HasControlCharacter(const std::string& text) {
    return std::any_of(text.begin(), text.end(), IsControl);
}
