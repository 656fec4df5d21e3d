#include "link/OutputDrain.h"

#include <algorithm>
#include <thread>

DrainClock DrainClock::System() {
    return {[] { return std::chrono::steady_clock::now(); },
            [](std::chrono::steady_clock::duration wait) { std::this_thread::sleep_for(wait); }};
}

std::chrono::microseconds LineTime(size_t bytes, int baud) {
    return std::chrono::microseconds(static_cast<long long>(bytes) * kLineBitsPerByte * 1'000'000 /
                                     std::max(baud, 1));
}

bool WaitUntilSent(const QueueReport& queued, DrainClockPoint start,
                   std::chrono::microseconds lineTime, DrainClockPoint deadline,
                   const DrainClock& clock) {
    const DrainClockPoint onTheLine = start + lineTime;
    for (;;) {
        const std::optional<int> left = queued();
        if (!left) {
            return false;
        }
        const DrainClockPoint now = clock.now();
        if (*left <= 0 && now >= onTheLine) {
            return true;
        }
        if (now >= deadline) {
            return false;
        }
        const DrainClockPoint next = *left <= 0 ? onTheLine : now + kDrainPollInterval;
        clock.sleep(std::min(next, deadline) - now);
    }
}
