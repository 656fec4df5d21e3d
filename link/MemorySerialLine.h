#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "link/SerialLine.h"

// A serial line in memory, for tests and the fuzz target: what the card "sends" is queued as
// bursts, and a responder can answer every write. No time passes: a read ends where the real
// line would have ended it, by the rules below.
//
// A read takes the queued bytes in order until it has `count` of them. A burst marked as coming
// after a pause (a pause longer than a read's timeout) ends a read that has already taken bytes;
// the next read takes it. A read that finds nothing returns 0, as a real read does after its
// timeout.
class MemorySerialLine : public SerialLine {
  public:
    using Responder = std::function<void(const std::vector<uint8_t>& written, MemorySerialLine&)>;

    bool Open(const std::string& device) override;
    bool Write(const uint8_t* data, size_t count) override;
    int Read(uint8_t* buffer, size_t count) override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    DeviceList PresentDevices() const override {
        ++listings;
        return present;
    }
    bool IsConsole(const std::string& path) const override {
        return present.IsConsole(DeviceBehind(path));
    }
    std::string DeviceBehind(const std::string& path) const override {
        const auto link = links.find(path);
        return link == links.end() ? path : link->second;
    }

    // Queues bytes from the card.
    void Deliver(std::vector<uint8_t> bytes, bool afterPause = false);
    // Answers every successful write (called after the write is recorded).
    void SetResponder(Responder responder) { responder_ = std::move(responder); }

    // Failures on demand.
    bool refuseOpen = false;  // Open fails
    int failWritesFrom = -1;  // writes from this number on (0 = first) fail; -1: none
    bool shortWrite = false;  // writes report one byte fewer than asked
    void GoAway();            // the device disappears: reads and writes fail until reopened
    DeviceList present;       // the serial devices the system lists
    std::map<std::string, std::string> links;  // where a path leads, when not to itself

    // What happened.
    std::vector<std::vector<uint8_t>> written;  // every write, in order
    std::string lastDevice;                     // name given to the last Open
    int opens = 0;
    mutable int listings = 0;       // times the system was asked for its devices
    int closes = 0;                 // closes of an open line
    int reads = 0;                  // read calls while open
    std::vector<uint8_t> lastRead;  // what the last read returned
    size_t Pending() const;         // queued bytes not yet read

  private:
    struct Burst {
        std::vector<uint8_t> bytes;
        bool afterPause;
    };

    bool open_ = false;
    bool gone_ = false;
    int writes_ = 0;
    std::deque<Burst> input_;
    Responder responder_;
};
