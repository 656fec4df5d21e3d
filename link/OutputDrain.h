#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>

// The wait until a request has left the port, kept apart from the driver so that every driver's
// way of reporting its queue can be tried.

// A character on the card's line takes 10 bit times: start bit, 8 data bits, stop bit.
inline constexpr int kLineBitsPerByte = 10;
// How often the driver's queue is looked at while it holds bytes.
inline constexpr std::chrono::milliseconds kDrainPollInterval{2};

using DrainClockPoint = std::chrono::steady_clock::time_point;

// How many written bytes the driver still holds; none when it cannot be asked.
using QueueReport = std::function<std::optional<int>()>;

// The clock the wait reads and sleeps on; tests stand in a clock of their own.
struct DrainClock {
    std::function<DrainClockPoint()> now;
    std::function<void(std::chrono::steady_clock::duration)> sleep;
    static DrainClock System();
};

// The time `bytes` take on a line at `baud`.
std::chrono::microseconds LineTime(size_t bytes, int baud);

// Returns true once the driver reports an empty queue and the request's own line time since
// `start` has passed (drivers report an empty queue as soon as the bytes are on their way, and
// a pseudo-terminal at once). Drivers differ in what they report meanwhile (cdc_acm whole USB
// transfers, FTDI the bytes left, 8250 nothing at all), so the queue is watched every
// kDrainPollInterval rather than slept on for what it claims. False when the queue still holds
// bytes at `deadline`, or when the report fails.
bool WaitUntilSent(const QueueReport& queued, DrainClockPoint start,
                   std::chrono::microseconds lineTime, DrainClockPoint deadline,
                   const DrainClock& clock = DrainClock::System());
