#include "link/FrameWords.h"

#include <cstdio>

#include "link/CardFrame.h"

namespace {

// The text between the address characters and the trailer, or everything after the address
// characters when the frame is cut short.
std::string FrameText(const std::vector<uint8_t>& frame) {
    if (frame.size() <= 3) {
        return {};
    }
    const bool complete = frame.size() >= card::kFrameOverhead && frame.back() == card::kEtx;
    const size_t end = complete ? frame.size() - 5 : frame.size();
    std::string text;
    for (size_t i = 3; i < end; ++i) {
        const uint8_t c = frame[i];
        text += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '.';
    }
    return text;
}

std::string Hex4(long value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%04lX", value);
    return buffer;
}

}  // namespace

std::string DescribeRequest(const std::vector<uint8_t>& frame) {
    const std::string text = FrameText(frame);
    std::string meaning = "unknown command";
    if (text == "XI00") {
        meaning = "identify";
    } else if (text == "XD00") {
        meaning = "read hardware bits";
    } else if (text.rfind("XG041", 0) == 0 && text.size() == 8) {
        meaning = "read register " + std::to_string(card::WireDigitsValue(text, 5, 3));
    } else if (text.rfind("XS081", 0) == 0 && text.size() == 12) {
        meaning = "write register " + std::to_string(card::WireDigitsValue(text, 5, 3)) + " = " +
                  Hex4(card::WireDigitsValue(text, 8, 4));
    }
    return text + " (" + meaning + ")";
}

std::string DescribeReply(const std::vector<uint8_t>& frame) {
    const std::string text = FrameText(frame);
    std::string meaning = "part of a reply";
    if (text.rfind("XI", 0) == 0 && frame.size() >= card::kIdentityOffset + card::kIdentityLength) {
        meaning = "identity " + text.substr(card::kIdentityOffset - 3, card::kIdentityLength);
    } else if (text.rfind("XD10", 0) == 0 && text.size() > 4) {
        meaning = "hardware bits " + std::to_string(static_cast<uint8_t>(text[4]) & 0x1F);
    } else if (text.rfind("XG04", 0) == 0 && text.size() >= 8) {
        meaning = "register value " + Hex4(card::WireDigitsValue(text, 4, 4));
    } else if (text == "XS00") {
        meaning = "write accepted";
    } else if (text == "XE00") {
        meaning = "command refused";
    }
    return text + " (" + meaning + ")";
}

std::string HexBytes(const std::vector<uint8_t>& bytes) {
    std::string out;
    char buffer[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, i == 0 ? "%02X" : " %02X", bytes[i]);
        out += buffer;
    }
    return out;
}
