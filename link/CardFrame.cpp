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

}  // namespace card
