#include "link/CardFrame.h"

#include <cstring>

namespace card {

void EncodeDigits(std::string& text) {
    for (size_t i = kFirstEncodedPosition; i < text.size(); ++i) {
        if (text[i] >= 'A' && text[i] <= 'F') {
            text[i] = static_cast<char>('9' + 1 + (text[i] - 'A'));
        }
    }
}

size_t LayOutFrame(std::string_view payload, uint8_t* out, size_t capacity, char addressHigh,
                   char addressLow) {
    const size_t length = payload.size() + kFrameOverhead;
    if (length > capacity) {
        return 0;
    }
    out[0] = kStx;
    out[1] = static_cast<uint8_t>(addressHigh);
    out[2] = static_cast<uint8_t>(addressLow);
    std::memcpy(out + 3, payload.data(), payload.size());
    std::memset(out + 3 + payload.size(), kFill, 4);
    out[length - 1] = kEtx;
    return length;
}

long WireDigitsValue(std::string_view text, size_t offset, size_t count) {
    if (text.size() < offset + count) {
        return -1;
    }
    long value = 0;
    for (size_t i = offset; i < offset + count; ++i) {
        const int digit = WireDigitValue(static_cast<uint8_t>(text[i]));
        if (digit < 0) {
            return -1;
        }
        value = value * 16 + digit;
    }
    return value;
}

}  // namespace card
