#include "model/OutputEvents.h"

namespace {

constexpr int kOutputs = 8;
constexpr int kEventsPerWord = 16;

bool IsOutput(int output) {
    return output >= 1 && output <= kOutputs;
}

int FirstWordOf(int output) {
    return 2 * (output - 1);
}

uint32_t BitOf(int b) {
    return uint32_t{1} << b;
}

// Applies change to the bit of every event named exactly name, in both words of an output.
template <typename Change>
void ForEventsNamed(const std::string& name, const EventNames& names, uint32_t& first,
                    uint32_t& second, Change change) {
    for (int b = 0; b < kEventsPerWord; ++b) {
        if (names[b] == name) {
            change(first, BitOf(b));
        }
        if (names[kEventsPerWord + b] == name) {
            change(second, BitOf(b));
        }
    }
}

}  // namespace

std::vector<int> NamedEvents(const EventNames& names) {
    std::vector<int> events;
    for (int e = 1; e <= static_cast<int>(names.size()); ++e) {
        if (!names[e - 1].empty()) {
            events.push_back(e);
        }
    }
    return events;
}

std::vector<int> OutputEvents::AssignedEvents(int output, const EventNames& names) const {
    std::vector<int> events;
    if (!IsOutput(output)) {
        return events;
    }
    const uint32_t first = words[FirstWordOf(output)];
    const uint32_t second = words[FirstWordOf(output) + 1];
    for (int b = 0; b < kEventsPerWord; ++b) {
        if ((first & BitOf(b)) != 0 && !names[b].empty()) {
            events.push_back(b + 1);
        }
        if ((second & BitOf(b)) != 0 && !names[kEventsPerWord + b].empty()) {
            events.push_back(kEventsPerWord + b + 1);
        }
    }
    return events;
}

void OutputEvents::Assign(int output, const std::string& name, const EventNames& names) {
    if (!IsOutput(output) || name.empty()) {
        return;
    }
    for (int e : AssignedEvents(output, names)) {
        if (names[e - 1] == name) {
            return;
        }
    }
    ForEventsNamed(name, names, words[FirstWordOf(output)], words[FirstWordOf(output) + 1],
                   [](uint32_t& word, uint32_t bit) { word |= bit; });
}

void OutputEvents::Remove(int output, const std::string& name, const EventNames& names) {
    // An empty text would match the unnamed events, whose bits stay as the card reported them.
    if (!IsOutput(output) || name.empty()) {
        return;
    }
    ForEventsNamed(name, names, words[FirstWordOf(output)], words[FirstWordOf(output) + 1],
                   [](uint32_t& word, uint32_t bit) { word &= ~bit; });
}

bool OutputEvents::IsNormalOff(int output) const {
    return IsOutput(output) && (logic & BitOf(output - 1)) != 0;
}

void OutputEvents::SetNormalOff(int output, bool normalOff) {
    if (!IsOutput(output)) {
        return;
    }
    const auto bit = static_cast<uint8_t>(BitOf(output - 1));
    logic = static_cast<uint8_t>(normalOff ? logic | bit : logic & ~bit);
}
