#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Names of events 1-32 (language strings 60-91) at index e-1. An empty name hides the event.
using EventNames = std::array<std::string, 32>;
inline constexpr int kFirstEventText = 60;

// Named events in event order: what the list of all events offers.
std::vector<int> NamedEvents(const EventNames& names);

// The events assigned to the eight outputs and their logic. Output k (1-8) owns word 2(k-1)
// (bit b = event b+1) and word 2(k-1)+1 (bit b = event b+17); only bits 0-15 are used.
// Logic bit k-1: 0 = "Normal ON", 1 = "Normal OFF".
class OutputEvents {
  public:
    std::array<uint32_t, 16> words{};
    uint8_t logic = 0;

    // Named events assigned to the output, interleaved: 1, 17, 2, 18, ...
    std::vector<int> AssignedEvents(int output, const EventNames& names) const;
    // Assigns every event whose name equals the text exactly, unless the output already lists
    // an event of that name. An empty text assigns nothing.
    void Assign(int output, const std::string& name, const EventNames& names);
    // Removes every event whose name equals the text exactly.
    void Remove(int output, const std::string& name, const EventNames& names);

    bool IsNormalOff(int output) const;
    void SetNormalOff(int output, bool normalOff);

    bool operator==(const OutputEvents&) const = default;
};
