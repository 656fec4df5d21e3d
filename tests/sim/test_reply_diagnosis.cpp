// Why a card does not answer, told from what came back: each line fault of the virtual card
// through the card read and the programming.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/CardBatch.h"
#include "link/MemorySerialLine.h"
#include "link/SerialPortParameter.h"
#include "model/RegisterImage.h"
#include "sim/MemoryCard.h"

namespace {

// The read's commands: identification, hardware, then registers 0-4 and 7-47 of a KFT018.
constexpr int kIdentify = 0;
constexpr int kRegister12 = 12;

struct FaultCase {
    const char* name;
    CardFault fault;  // None: the card stops answering at `command`
    int command;
    bool programming;  // the fault hits the programming rather than the read
    ReplyFault diagnosed;
    int failedRegister;
    size_t got = 0;  // CutShort
    std::vector<uint8_t> firstBytes = {};
    size_t stray = 0;  // Stray
};

class Diagnosis : public testing::TestWithParam<FaultCase> {
  protected:
    void SetUp() override {
        AttachCard(line, card);
        std::strcpy(port.PortName, "COM1");
    }
    void Inject(const FaultCase& c) {
        if (c.fault == CardFault::None) {
            card.StopAnsweringAfter(c.command);
        } else {
            card.InjectFault(c.fault, c.command);
        }
    }

    Card card{CardConfig{}};
    SerialPortParameter port{std::make_unique<MemorySerialLine>()};
    MemorySerialLine& line = static_cast<MemorySerialLine&>(port.Line());
    RegisterImage image;
};

TEST_P(Diagnosis, TellsWhatCameBackInsteadOfTheReply) {
    const FaultCase& c = GetParam();
    if (c.programming) {
        ASSERT_TRUE(ReadCardRegisters(port, image, {}).Ok());
        Inject(c);
    } else {
        Inject(c);
    }
    const BatchResult result =
        c.programming ? ProgramCardRegisters(port, image, {}) : ReadCardRegisters(port, image, {});
    ASSERT_EQ(result.failure, BatchFailure::NoAnswer);
    EXPECT_EQ(result.diagnosis.fault, c.diagnosed);
    EXPECT_EQ(result.failedRegister, c.failedRegister);
    EXPECT_EQ(result.diagnosis.got, c.got);
    EXPECT_EQ(result.diagnosis.firstBytes, c.firstBytes);
    EXPECT_EQ(result.diagnosis.stray, c.stray);
    // The card answered on this device before, unless the identification itself failed (surplus
    // bytes after its reply fail the command after it).
    const bool identificationFailed =
        !c.programming && c.command == kIdentify && c.fault != CardFault::SurplusBytes;
    EXPECT_EQ(result.cardAnswered, !identificationFailed);
    EXPECT_EQ(port.LastDiagnosis().fault, c.diagnosed);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, Diagnosis,
    testing::Values(
        FaultCase{"NothingAtAll", CardFault::Silent, kIdentify, false, ReplyFault::Nothing, -1},
        FaultCase{"Loopback", CardFault::Loopback, kIdentify, false, ReplyFault::Echo, -1},
        FaultCase{"AnotherLineSpeed",
                  CardFault::Noise,
                  kIdentify,
                  false,
                  ReplyFault::Foreign,
                  -1,
                  0,
                  {0x80, 0xF8, 0x00, 0xFE, 0x78, 0x86, 0xE0, 0x1E}},
        FaultCase{"CutShort", CardFault::ShortReply, kIdentify, false, ReplyFault::CutShort, -1,
                  65},
        FaultCase{"OutOfStep", CardFault::OtherReply, kIdentify, false, ReplyFault::OtherReply, -1},
        FaultCase{"HardwareReadOutOfStep", CardFault::OtherReply, 1, false, ReplyFault::OtherReply,
                  -1},
        FaultCase{"StoppedAtRegister12", CardFault::None, kRegister12, false, ReplyFault::Nothing,
                  12},
        FaultCase{"WrongEchoAtRegister12", CardFault::WrongEcho, kRegister12, false,
                  ReplyFault::OtherReply, 12},
        FaultCase{"CablePulled", CardFault::HangUp, kRegister12, false, ReplyFault::LineLost, 12},
        // The programming writes registers 0-4 and 7-47: the eleventh write is register 12.
        FaultCase{"LoopbackWhileProgramming", CardFault::Loopback, 10, true, ReplyFault::Echo, 12},
        // The card's refusal is a reply of its own to the write: it answered and refused.
        FaultCase{"RefusedWrite", CardFault::FailingWrite, 10, true, ReplyFault::Refused, 12},
        // The identification's reply carried four bytes more: they come before the next reply.
        FaultCase{"LeftOverBytesBeforeTheHardwareRead",
                  CardFault::SurplusBytes,
                  kIdentify,
                  false,
                  ReplyFault::Stray,
                  -1,
                  0,
                  {},
                  Card::kSurplusCount},
        FaultCase{"LeftOverBytesWhileProgramming",
                  CardFault::SurplusBytes,
                  9,
                  true,
                  ReplyFault::Stray,
                  12,
                  0,
                  {},
                  Card::kSurplusCount},
        FaultCase{"NoiseWhileProgramming",
                  CardFault::Noise,
                  10,
                  true,
                  ReplyFault::Foreign,
                  12,
                  0,
                  {0x80, 0xF8, 0x00, 0xFE, 0x78, 0x86, 0xE0, 0x1E}}),
    [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

TEST(DiagnoseReply, AnEchoingRs485AdapterSendsTheRequestBeforeTheReply) {
    const std::vector<uint8_t> request = {0x02, 0x31, 0x30, 'X',  'I',  '0',
                                          '0',  0xFF, 0xFF, 0xFF, 0xFF, 0x03};
    std::vector<uint8_t> piece = request;
    piece.insert(piece.end(), {0x02, 0x30, 0x31, 'X', 'I', '3', '8'});
    EXPECT_EQ(DiagnoseReply(request, piece, 68, "XI").fault, ReplyFault::Echo);
    // Two bytes of a reply: too few to tell its command.
    EXPECT_EQ(DiagnoseReply(request, {0x02, 0x30}, 68, "XI").fault, ReplyFault::CutShort);
}

TEST(DiagnoseReply, AValidReplyNeedsNoDiagnosis) {
    SerialPortParameter port{std::make_unique<MemorySerialLine>()};
    Card card{CardConfig{}};
    AttachCard(static_cast<MemorySerialLine&>(port.Line()), card);
    std::strcpy(port.PortName, "COM1");
    ASSERT_TRUE(port.OpenPort());
    card.InjectFault(CardFault::Silent);
    EXPECT_FALSE(port.Identify());
    ASSERT_TRUE(port.OpenPort());
    EXPECT_TRUE(port.Identify());
    EXPECT_EQ(port.LastDiagnosis().fault, ReplyFault::None);
}

}  // namespace
