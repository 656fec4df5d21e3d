#include "link/MemorySerialLine.h"

#include <algorithm>

bool MemorySerialLine::Open(const std::string& device) {
    lastDevice = device;
    Close();  // as the system line does: a second open starts afresh
    if (refuseOpen) {
        return false;
    }
    // Opening empties both directions, as the real line does.
    input_.clear();
    open_ = true;
    gone_ = false;
    ++opens;
    return true;
}

bool MemorySerialLine::Write(const uint8_t* data, size_t count) {
    if (!open_ || gone_) {
        return false;
    }
    const int number = writes_++;
    if (failWritesFrom >= 0 && number >= failWritesFrom) {
        return false;
    }
    const size_t sent = shortWrite && count > 0 ? count - 1 : count;
    written.emplace_back(data, data + sent);
    if (sent != count) {
        return false;
    }
    if (responder_) {
        responder_(written.back(), *this);
    }
    return true;
}

int MemorySerialLine::Read(uint8_t* buffer, size_t count) {
    if (!open_) {
        return -1;
    }
    ++reads;
    lastRead.clear();
    if (gone_) {
        return -1;
    }
    size_t got = 0;
    while (got < count && !input_.empty()) {
        Burst& burst = input_.front();
        if (burst.afterPause && got > 0) {
            break;
        }
        burst.afterPause = false;
        const size_t take = std::min(count - got, burst.bytes.size());
        std::copy_n(burst.bytes.begin(), take, buffer + got);
        got += take;
        burst.bytes.erase(burst.bytes.begin(), burst.bytes.begin() + static_cast<long>(take));
        if (burst.bytes.empty()) {
            input_.pop_front();
        }
    }
    lastRead.assign(buffer, buffer + got);
    return static_cast<int>(got);
}

void MemorySerialLine::Close() {
    if (open_) {
        ++closes;
    }
    open_ = false;
}

void MemorySerialLine::Deliver(std::vector<uint8_t> bytes, bool afterPause) {
    if (!bytes.empty()) {
        input_.push_back({std::move(bytes), afterPause});
    }
}

void MemorySerialLine::GoAway() {
    gone_ = true;
}

size_t MemorySerialLine::Pending() const {
    size_t total = 0;
    for (const auto& burst : input_) {
        total += burst.bytes.size();
    }
    return total;
}
