#include "tests/sim/frame_helpers.h"

#include <algorithm>

namespace {

std::vector<uint8_t> Frame(char high, char low, const std::string& text) {
    std::vector<uint8_t> frame(text.size() + 8, 0xFF);
    frame[0] = 0x02;
    frame[1] = static_cast<uint8_t>(high);
    frame[2] = static_cast<uint8_t>(low);
    std::copy(text.begin(), text.end(), frame.begin() + 3);
    frame.back() = 0x03;
    return frame;
}

}  // namespace

std::vector<uint8_t> RequestFrame(const std::string& text) {
    return Frame('1', '0', text);
}

std::vector<uint8_t> ReplyFrame(const std::string& text) {
    return Frame('0', '1', text);
}
