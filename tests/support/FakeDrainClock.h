#pragma once

#include <algorithm>
#include <chrono>

#include "link/OutputDrain.h"

// A clock for the wait until a request has left the port: time passes only when the wait
// sleeps, so a test sees exactly how long it waited.
class FakeDrainClock {
  public:
    DrainClock Clock() {
        return {[this] { return now_; },
                [this](std::chrono::steady_clock::duration wait) {
                    longestSleep_ = std::max(longestSleep_, wait);
                    now_ += wait;
                }};
    }
    std::chrono::milliseconds Elapsed() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(now_ - start_);
    }
    DrainClockPoint Start() const { return start_; }
    std::chrono::steady_clock::duration LongestSleep() const { return longestSleep_; }

  private:
    DrainClockPoint start_{std::chrono::hours(1)};
    DrainClockPoint now_ = start_;
    std::chrono::steady_clock::duration longestSleep_{};
};
