#include "sim/MemoryCard.h"

namespace {

constexpr int kReadTimeoutMs = 1000;

}  // namespace

void AttachCard(MemorySerialLine& line, Card& card) {
    line.SetResponder([&card](const std::vector<uint8_t>& written, MemorySerialLine& target) {
        for (auto& piece : card.Receive(written.data(), written.size())) {
            target.Deliver(std::move(piece.bytes), piece.pauseBeforeMs > kReadTimeoutMs);
        }
        if (card.HungUp()) {
            target.GoAway();
        }
    });
}
