// The two batches of the dialogs and brovane-cli against the virtual card's logic: the stages
// they report, what they transfer, and how far they came when they fail.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "link/CardBatch.h"
#include "link/MemorySerialLine.h"
#include "link/SerialPortParameter.h"
#include "model/FirmwareVariant.h"
#include "sim/MemoryCard.h"

namespace {

using Stages = std::vector<BatchStage>;

CardConfig Configured(const std::string& identity) {
    CardConfig config;
    config.identity = identity;
    for (int r = 0; r < 48; ++r) {
        config.registers.SetValue(r, static_cast<uint16_t>(0x0101 * r + 0x40));
    }
    return config;
}

class CardBatch : public testing::Test {
  protected:
    void Use(const std::string& identity) {
        card = std::make_unique<Card>(Configured(identity));
        AttachCard(line, *card);
        std::strcpy(port.PortName, "COM1");
    }
    BatchProgress Record() {
        return [this](BatchStage stage) { stages.push_back(stage); };
    }

    std::unique_ptr<Card> card;
    SerialPortParameter port{std::make_unique<MemorySerialLine>()};
    MemorySerialLine& line = static_cast<MemorySerialLine&>(port.Line());
    Stages stages;
};

Stages ReadStages(int registers) {
    Stages expected = {BatchStage::Opened, BatchStage::Identified, BatchStage::HardwareRead};
    expected.insert(expected.end(), static_cast<size_t>(registers), BatchStage::Register);
    return expected;
}

TEST_F(CardBatch, ReadsTheFamilysRegistersAndClosesTheLine) {
    for (const char* identity : {"KFT015-01-04", "KFT018-01-01", "KFT026-02-00"}) {
        SCOPED_TRACE(identity);
        Use(identity);
        stages.clear();
        RegisterImage image;
        const BatchResult result = ReadCardRegisters(port, image, Record());
        const std::vector<int> registers = ExchangedRegisters(port.FirmwareVariant);
        ASSERT_TRUE(result.Ok());
        EXPECT_EQ(result.registersDone, static_cast<int>(registers.size()));
        EXPECT_EQ(stages, ReadStages(static_cast<int>(registers.size())));
        EXPECT_EQ(card->RegistersRead(), registers);
        EXPECT_FALSE(line.IsOpen());
        EXPECT_EQ(image.Value(5), 0);
        EXPECT_EQ(image.Value(4), card->Registers().Value(4));
    }
}

TEST_F(CardBatch, ProgramsTheFamilysRegistersInOrder) {
    Use("KFT018-01-01");
    RegisterImage image;
    for (int r = 0; r < 48; ++r) {
        image.SetValue(r, static_cast<uint16_t>(0xA000 + r));
    }
    port.FirmwareVariant = 2;
    const BatchResult result = ProgramCardRegisters(port, image, Record());
    ASSERT_TRUE(result.Ok());
    EXPECT_EQ(result.registersDone, 46);
    EXPECT_EQ(card->RegistersWritten(), ExchangedRegisters(2));
    EXPECT_EQ(stages.front(), BatchStage::Opened);
    EXPECT_EQ(stages.size(), 47u);
    EXPECT_EQ(card->Registers().Value(47), 0xA000 + 47);
    EXPECT_EQ(card->Registers().Value(5), Configured("").registers.Value(5));
    EXPECT_FALSE(line.IsOpen());
}

TEST_F(CardBatch, AFailedWriteTellsHowManyRegistersReachedTheCard) {
    Use("KFT018-01-01");
    port.FirmwareVariant = 2;
    card->InjectFault(CardFault::FailingWrite, 7);
    const BatchResult result = ProgramCardRegisters(port, RegisterImage{}, Record());
    EXPECT_EQ(result.failure, BatchFailure::NoAnswer);
    EXPECT_EQ(result.registersDone, 7);
    EXPECT_EQ(card->RegistersWritten(), (std::vector<int>{0, 1, 2, 3, 4, 7, 8}));
    EXPECT_FALSE(line.IsOpen());
}

TEST_F(CardBatch, ARequestSentWithoutAnAnswerIsToldApartFromOneNeverSent) {
    Use("KFT018-01-01");
    port.FirmwareVariant = 2;
    line.failWritesFrom = 2;
    const BatchResult unsent = ProgramCardRegisters(port, RegisterImage{}, Record());
    EXPECT_EQ(unsent.failure, BatchFailure::NoAnswer);
    EXPECT_EQ(unsent.registersDone, 2);
    EXPECT_FALSE(unsent.failedRequestSent);
    line.failWritesFrom = -1;
    card->InjectFault(CardFault::FailingWrite, 3);
    EXPECT_TRUE(ProgramCardRegisters(port, RegisterImage{}, Record()).failedRequestSent);
}

TEST_F(CardBatch, AStopEndsTheBatchBetweenTwoRegistersWithTheLineClosed) {
    Use("KFT018-01-01");
    port.FirmwareVariant = 2;
    int asked = 0;
    const BatchResult result =
        ProgramCardRegisters(port, RegisterImage{}, Record(), [&] { return ++asked > 3; });
    EXPECT_EQ(result.failure, BatchFailure::Stopped);
    EXPECT_EQ(result.registersDone, 3);
    EXPECT_EQ(card->RegistersWritten(), (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(line.IsOpen());
}

TEST_F(CardBatch, ALineThatDoesNotOpenSendsNothing) {
    Use("KFT018-01-01");
    line.refuseOpen = true;
    RegisterImage image;
    EXPECT_EQ(ReadCardRegisters(port, image, Record()).failure, BatchFailure::CannotOpen);
    EXPECT_EQ(ProgramCardRegisters(port, image, Record()).failure, BatchFailure::CannotOpen);
    EXPECT_TRUE(stages.empty());
    EXPECT_EQ(card->CommandCount(), 0);
}

TEST_F(CardBatch, AReadStopsAtTheFirstUnansweredCommand) {
    Use("KFT018-01-01");
    card->StopAnsweringAfter(4);  // identification, hardware, registers 0 and 1
    RegisterImage image;
    const BatchResult result = ReadCardRegisters(port, image, Record());
    EXPECT_EQ(result.failure, BatchFailure::NoAnswer);
    EXPECT_EQ(result.registersDone, 2);
    EXPECT_EQ(stages, ReadStages(2));
    EXPECT_FALSE(line.IsOpen());
}

}  // namespace

namespace {

// A signal that asks for the stop also ends the wait of the exchange in flight: that exchange's
// failure is the stop's, not the card's.
TEST_F(CardBatch, AnExchangeThatFailsWhileAStopIsAskedForIsAStop) {
    Use("KFT018-01-01");
    card->StopAnsweringAfter(4);  // identification, hardware, registers 0 and 1
    RegisterImage image;
    const BatchResult result =
        ReadCardRegisters(port, image, Record(), [this] { return card->CommandCount() > 4; });
    EXPECT_EQ(result.failure, BatchFailure::Stopped);
    EXPECT_EQ(result.registersDone, 2);
    EXPECT_EQ(result.failedRegister, 2);
    EXPECT_FALSE(line.IsOpen());
}

}  // namespace
