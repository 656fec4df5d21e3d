// The card commands against the virtual card's logic over the in-memory line.
#include <cstring>

#include <gtest/gtest.h>

#include "link/MemorySerialLine.h"
#include "link/SerialPortParameter.h"
#include "sim/MemoryCard.h"

namespace {

CardConfig Configured(const std::string& identity) {
    CardConfig config;
    config.identity = identity;
    config.hardwareBits = 9;
    for (int r = 0; r < 48; ++r) {
        config.registers.SetValue(r, static_cast<uint16_t>(0x1111 * (r % 15) + r));
    }
    return config;
}

class CardLink : public testing::Test {
  protected:
    void SetUp() override {
        AttachCard(line, card);
        std::strcpy(port.PortName, "COM1");
        ASSERT_TRUE(port.OpenPort());
    }

    Card card{Configured("KFT018-01-07")};
    SerialPortParameter port{std::make_unique<MemorySerialLine>()};
    MemorySerialLine& line = static_cast<MemorySerialLine&>(port.Line());
    RegisterImage image;
};

TEST_F(CardLink, ReadsAndWritesEveryRegisterOfTheCard) {
    ASSERT_TRUE(port.Identify());
    EXPECT_EQ(port.FirmwareVariant, 3);
    ASSERT_TRUE(port.ReadHardware());
    EXPECT_EQ(port.HardwareBits, 9);
    for (int r = 0; r < 48; ++r) {
        ASSERT_EQ(port.TransferRegister(0, r, image), 1);
        const uint16_t sent = card.Registers().Value(r);
        const bool normalised = r >= 1 && r <= 3 && (sent & 0x40) == 0;
        EXPECT_EQ(image.Value(r), normalised ? (sent | 0x20) : sent) << r;
    }
    for (int r = 0; r < 48; ++r) {
        image.SetValue(r, static_cast<uint16_t>(0xFFFF - r));
        ASSERT_EQ(port.TransferRegister(1, r, image), 1);
    }
    EXPECT_EQ(card.Registers(), image);
}

TEST_F(CardLink, EveryFaultFailsTheCommandAndClosesTheLine) {
    for (CardFault fault : {CardFault::Silent, CardFault::WrongEcho, CardFault::ShortReply,
                            CardFault::SplitReply, CardFault::FailingWrite, CardFault::HangUp}) {
        SCOPED_TRACE(CardFaultName(fault));
        card.InjectFault(fault);
        line.reads = 0;
        EXPECT_EQ(port.TransferRegister(0, 12, image), 0);
        EXPECT_FALSE(port.IsOpen());
        // Without a reply, or with pieces, the exchange ends after five reads; a line that went
        // away ends it at the first.
        if (fault == CardFault::HangUp) {
            EXPECT_EQ(line.reads, 1);
        } else if (fault == CardFault::Silent || fault == CardFault::ShortReply ||
                   fault == CardFault::SplitReply) {
            EXPECT_EQ(line.reads, 5);
        }
        ASSERT_TRUE(port.OpenPort());
        if (fault != CardFault::HangUp) {
            EXPECT_EQ(port.TransferRegister(0, 12, image), 1);
        }
    }
}

TEST_F(CardLink, SurplusBytesFailTheNextCommand) {
    card.InjectFault(CardFault::SurplusBytes);
    EXPECT_TRUE(port.Identify());
    EXPECT_EQ(line.Pending(), Card::kSurplusCount);
    EXPECT_FALSE(port.ReadHardware());
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(CardLink, ACardThatStopsAnsweringFailsTheCommandAfterIt) {
    card.StopAnsweringAfter(2);
    EXPECT_TRUE(port.Identify());
    EXPECT_TRUE(port.ReadHardware());
    EXPECT_EQ(port.TransferRegister(0, 0, image), 0);
    EXPECT_FALSE(port.IsOpen());
}

}  // namespace
