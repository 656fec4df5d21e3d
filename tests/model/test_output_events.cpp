// Output events: which events drive an output, assigning and removing them by name, the logic.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/OutputEvents.h"

namespace {

EventNames AllNamed() {
    EventNames names;
    for (int e = 1; e <= 32; ++e) {
        names[e - 1] = "Event " + std::to_string(e);
    }
    return names;
}

using Events = std::vector<int>;

TEST(OutputEvents, AssignedEventsInterleaveBothWords) {
    const EventNames names = AllNamed();
    OutputEvents outputs;
    outputs.words[0] = 0x0003;
    outputs.words[1] = 0x0001;
    EXPECT_EQ(outputs.AssignedEvents(1, names), (Events{1, 17, 2}));
    outputs.words[0] = 0x8001;
    outputs.words[1] = 0x8002;
    EXPECT_EQ(outputs.AssignedEvents(1, names), (Events{1, 18, 16, 32}));
    EXPECT_EQ(outputs.AssignedEvents(2, names), Events{});
    outputs.words[14] = 0xFFFF;
    outputs.words[15] = 0xFFFF;
    const Events all = outputs.AssignedEvents(8, names);
    ASSERT_EQ(all.size(), 32u);
    EXPECT_EQ((Events{all[0], all[1], all[2], all[3], all[31]}), (Events{1, 17, 2, 18, 32}));
}

TEST(OutputEvents, BitsAboveFifteenAreNotEvents) {
    OutputEvents outputs;
    outputs.words[0] = 0xFFFF0000;
    EXPECT_EQ(outputs.AssignedEvents(1, AllNamed()), Events{});
}

TEST(OutputEvents, UnnamedEventsAreNeverListedAndKeepTheirBits) {
    EventNames names = AllNamed();
    names[1] = "";   // event 2
    names[16] = "";  // event 17
    EXPECT_EQ(NamedEvents(names).size(), 30u);
    EXPECT_EQ(NamedEvents(names)[1], 3);

    OutputEvents outputs;
    outputs.words[0] = 0x0003;
    outputs.words[1] = 0x0001;
    EXPECT_EQ(outputs.AssignedEvents(1, names), Events{1});
    outputs.Remove(1, "", names);  // an empty text matches nothing
    outputs.Remove(1, "Event 1", names);
    EXPECT_EQ(outputs.words[0], 0x0002u);
    EXPECT_EQ(outputs.words[1], 0x0001u);
    outputs.Assign(1, "", names);
    EXPECT_EQ(outputs.words[0], 0x0002u);
}

TEST(OutputEvents, AssignSetsTheBitOfTheChosenOutput) {
    const EventNames names = AllNamed();
    OutputEvents outputs;
    outputs.Assign(3, "Event 17", names);
    EXPECT_EQ(outputs.words[5], 0x0001u);
    outputs.Assign(3, "Event 16", names);
    EXPECT_EQ(outputs.words[4], 0x8000u);
    for (int i = 0; i < 16; ++i) {
        if (i != 4 && i != 5) {
            EXPECT_EQ(outputs.words[i], 0u) << i;
        }
    }
    const OutputEvents before = outputs;
    outputs.Assign(3, "Event 17", names);  // already assigned
    outputs.Assign(3, "event 17", names);  // names compare exactly
    outputs.Assign(3, "Event 17 ", names);
    EXPECT_EQ(outputs, before);
}

TEST(OutputEvents, EqualNamesAreAssignedAndRemovedTogether) {
    EventNames names = AllNamed();
    names[4] = "Alarm";   // event 5
    names[20] = "Alarm";  // event 21
    names[9] = "Alarm";   // event 10
    OutputEvents outputs;
    outputs.Assign(2, "Alarm", names);
    EXPECT_EQ(outputs.words[2], 0x0210u);
    EXPECT_EQ(outputs.words[3], 0x0010u);
    EXPECT_EQ(outputs.AssignedEvents(2, names), (Events{5, 21, 10}));
    outputs.Remove(2, "Alarm", names);
    EXPECT_EQ(outputs.words[2], 0u);
    EXPECT_EQ(outputs.words[3], 0u);
}

TEST(OutputEvents, AssignDoesNothingWhenTheNameIsAlreadyListed) {
    EventNames names = AllNamed();
    names[0] = "Alarm";
    names[1] = "Alarm";
    OutputEvents outputs;
    outputs.words[0] = 0x0001;  // event 1 listed under "Alarm", event 2 not assigned
    outputs.Assign(1, "Alarm", names);
    EXPECT_EQ(outputs.words[0], 0x0001u);
}

TEST(OutputEvents, RemovingTheLastEventEmptiesTheList) {
    const EventNames names = AllNamed();
    OutputEvents outputs;
    outputs.words[6] = 0x0004;
    outputs.Remove(4, "Event 3", names);
    EXPECT_EQ(outputs.AssignedEvents(4, names), Events{});
    EXPECT_EQ(outputs.words[6], 0u);
}

TEST(OutputEvents, OutputsOutsideOneToEightAreIgnored) {
    const EventNames names = AllNamed();
    OutputEvents outputs;
    outputs.Assign(0, "Event 1", names);
    outputs.Assign(9, "Event 1", names);
    outputs.SetNormalOff(9, true);
    EXPECT_EQ(outputs, OutputEvents{});
    EXPECT_EQ(outputs.AssignedEvents(0, names), Events{});
    EXPECT_FALSE(outputs.IsNormalOff(0));
}

TEST(OutputEvents, LogicBitPerOutput) {
    OutputEvents outputs;
    outputs.SetNormalOff(4, true);
    EXPECT_EQ(outputs.logic, 0x08);
    EXPECT_TRUE(outputs.IsNormalOff(4));
    for (int k : {1, 2, 3, 5, 6, 7, 8}) {
        EXPECT_FALSE(outputs.IsNormalOff(k)) << k;
    }
    outputs.SetNormalOff(1, true);
    outputs.SetNormalOff(8, true);
    EXPECT_EQ(outputs.logic, 0x89);
    outputs.SetNormalOff(4, false);
    EXPECT_EQ(outputs.logic, 0x81);
}

}  // namespace
