// The card commands over an in-memory line with hand-made replies: frames on the wire, reply
// checks, the five-read rule and what a failure leaves behind.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/MemorySerialLine.h"
#include "link/SerialPortParameter.h"
#include "model/RegisterImage.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A reply as the card sends it: three leading bytes, the payload, five trailing bytes.
Bytes Reply(const std::string& payload) {
    Bytes frame(payload.size() + 8, 0xFF);
    frame[0] = 0x02;
    frame[1] = 0x30;
    frame[2] = 0x31;
    std::copy(payload.begin(), payload.end(), frame.begin() + 3);
    frame.back() = 0x03;
    return frame;
}

// An identification reply (68 bytes) with the given bytes at offset 39.
Bytes IdentifyReply(const std::string& identity, const std::string& echo = "XI38") {
    std::string payload = echo + std::string(56, '0');
    std::fill(payload.begin() + 36, payload.begin() + 48, '\0');
    payload.replace(36, std::min<size_t>(identity.size(), 56 - 32), identity.substr(0, 24));
    return Reply(payload);
}

class CardCommands : public testing::Test {
  protected:
    void SetUp() override {
        // PortName holds at most four characters and its terminating zero.
        std::strcpy(port.PortName, "COM1");
        ASSERT_TRUE(port.OpenPort());
    }
    // Queues what the card answers to the next command.
    void CardSends(const Bytes& bytes, bool afterPause = false) { line.Deliver(bytes, afterPause); }

    SerialPortParameter port{std::make_unique<MemorySerialLine>()};
    MemorySerialLine& line = static_cast<MemorySerialLine&>(port.Line());
    RegisterImage image;
};

TEST_F(CardCommands, WorkedFramesGoOnTheWireByteForByte) {
    CardSends(IdentifyReply("KFT018-01-01"));
    ASSERT_TRUE(port.Identify());
    CardSends(Reply("XD10@000000000000000"));
    ASSERT_TRUE(port.ReadHardware());
    CardSends(Reply("XG0403??"));
    ASSERT_EQ(port.TransferRegister(0, 10, image), 1);
    image.SetHigh(25, 0x03);
    image.SetLow(25, 0xFF);
    CardSends(Reply("XS00"));
    ASSERT_EQ(port.TransferRegister(1, 25, image), 1);
    CardSends(Reply("XG040104"));
    ASSERT_EQ(port.TransferRegister(0, 3, image), 1);

    const std::vector<Bytes> expected = {
        {0x02, 0x31, 0x30, 0x58, 0x49, 0x30, 0x30, 0xFF, 0xFF, 0xFF, 0xFF, 0x03},
        {0x02, 0x31, 0x30, 0x58, 0x44, 0x30, 0x30, 0xFF, 0xFF, 0xFF, 0xFF, 0x03},
        {0x02, 0x31, 0x30, 0x58, 0x47, 0x30, 0x34, 0x31, 0x30, 0x30, 0x3A, 0xFF, 0xFF, 0xFF, 0xFF,
         0x03},
        {0x02, 0x31, 0x30, 0x58, 0x53, 0x30, 0x38, 0x31, 0x30, 0x31,
         0x39, 0x30, 0x33, 0x3F, 0x3F, 0xFF, 0xFF, 0xFF, 0xFF, 0x03},
        {0x02, 0x31, 0x30, 0x58, 0x47, 0x30, 0x34, 0x31, 0x30, 0x30, 0x33, 0xFF, 0xFF, 0xFF, 0xFF,
         0x03},
    };
    EXPECT_EQ(line.written, expected);
    EXPECT_EQ(image.High(10), 0x03);
    EXPECT_EQ(image.Low(10), 0xFF);
    // Register 3: the second byte 0x04 has no parity code, so it arrives with code 1.
    EXPECT_EQ(image.High(3), 0x01);
    EXPECT_EQ(image.Low(3), 0x24);
}

TEST_F(CardCommands, BuildFrameEncodesHexDigitsFromPositionSevenOn) {
    uint8_t transmit[120] = {};
    port.BuildFrame("XABCDEFABCDEF9", transmit);
    ASSERT_EQ(port.FrameLength(), 14u + 8u);
    const std::string text(reinterpret_cast<const char*>(transmit + 3), 14);
    EXPECT_EQ(text, "XABCDEF:;<=>?9");

    struct Case {
        int reg;
        const char* lastDigit;
    };
    for (const Case& c : {Case{10, ":"}, Case{11, ";"}, Case{12, "<"}, Case{13, "="}, Case{14, ">"},
                          Case{15, "?"}, Case{31, "?"}, Case{47, "?"}}) {
        SCOPED_TRACE(c.reg);
        line.written.clear();
        CardSends(Reply("XG040000"));
        ASSERT_EQ(port.TransferRegister(0, c.reg, image), 1);
        ASSERT_EQ(line.written.size(), 1u);
        EXPECT_EQ(line.written[0].size(), 16u);
        EXPECT_EQ(line.written[0][10], static_cast<uint8_t>(c.lastDigit[0]));
    }
}

TEST_F(CardCommands, IdentityGivesTheFirmwareVariant) {
    struct Case {
        std::string identity;
        int variant;  // -1: refused
    };
    const Case cases[] = {
        {"KFT015-01-04", 0}, {std::string("KFT015\0", 7), 1},
        {"KFT015-01-05", 1}, {"KFT015-01-04XYZ", 0},  // only twelve characters count
        {"KFT018-01-01", 2}, {"KFT018-02-00", 3},
        {"KFT026-01-01", 4}, {"KFT026-01-0", 5},
        {"KFT01", -1},       {"kft018-01-01", -1},
        {"XYZ", -1},         {"", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.identity);
        port.FirmwareVariant = 5;
        std::strcpy(port.Identity, "previous");
        CardSends(IdentifyReply(c.identity));
        const bool ok = port.Identify();
        if (c.variant < 0) {
            EXPECT_FALSE(ok);
            EXPECT_FALSE(port.IsOpen());
            EXPECT_EQ(port.FirmwareVariant, 5);
            EXPECT_STREQ(port.Identity, "previous");
            ASSERT_TRUE(port.OpenPort());
            continue;
        }
        ASSERT_TRUE(ok);
        EXPECT_TRUE(port.IsOpen());
        EXPECT_EQ(port.FirmwareVariant, c.variant);
        EXPECT_EQ(std::string(port.Identity), c.identity.substr(0, 12).c_str());
        for (size_t i = std::strlen(port.Identity); i < sizeof port.Identity; ++i) {
            EXPECT_EQ(port.Identity[i], '\0') << "byte " << i;
        }
    }
}

TEST_F(CardCommands, RepliesAreAcceptedOrRefusedByTheirEcho) {
    struct Case {
        const char* what;
        Bytes reply;
        bool accepted;
    };
    Bytes identifyOtherDigits = IdentifyReply("KFT018-01-01", "XIzz");
    const Case identify[] = {
        {"any digits after XI", identifyOtherDigits, true},
        {"lower-case x", IdentifyReply("KFT018-01-01", "xI38"), false},
        {"other letter", IdentifyReply("KFT018-01-01", "XD38"), false},
    };
    for (const Case& c : identify) {
        SCOPED_TRACE(c.what);
        CardSends(c.reply);
        EXPECT_EQ(port.Identify(), c.accepted);
        EXPECT_EQ(port.IsOpen(), c.accepted);
        ASSERT_TRUE(port.IsOpen() || port.OpenPort());
    }

    const Case hardware[] = {
        {"XD10", Reply("XD10?000000000000000"), true},
        {"Xd10", Reply("Xd10?000000000000000"), false},
        {"XD11", Reply("XD11?000000000000000"), false},
    };
    for (const Case& c : hardware) {
        SCOPED_TRACE(c.what);
        port.HardwareBits = 7;
        CardSends(c.reply);
        EXPECT_EQ(port.ReadHardware(), c.accepted);
        EXPECT_EQ(port.HardwareBits, c.accepted ? 31 : 7);
        ASSERT_TRUE(port.IsOpen() || port.OpenPort());
    }

    const Case reads[] = {
        {"XG04", Reply("XG041234"), true},
        {"xg04", Reply("xg041234"), false},
        {"XG05", Reply("XG051234"), false},
        {"XS00 to a read", Reply("XS001234"), false},
    };
    for (const Case& c : reads) {
        SCOPED_TRACE(c.what);
        image.SetValue(8, 0xBEEF);
        CardSends(c.reply);
        EXPECT_EQ(port.TransferRegister(0, 8, image), c.accepted ? 1 : 0);
        EXPECT_EQ(image.Value(8), c.accepted ? 0x1234 : 0xBEEF);
        ASSERT_TRUE(port.IsOpen() || port.OpenPort());
    }

    const Case writes[] = {
        {"XS00", Reply("XS00"), true},
        {"XE00", Reply("XE00"), false},
        {"xs00", Reply("xs00"), false},
    };
    for (const Case& c : writes) {
        SCOPED_TRACE(c.what);
        image.SetValue(8, 0xBEEF);
        CardSends(c.reply);
        EXPECT_EQ(port.TransferRegister(1, 8, image), c.accepted ? 1 : 0);
        EXPECT_EQ(image.Value(8), 0xBEEF);  // a write never changes the image
        ASSERT_TRUE(port.IsOpen() || port.OpenPort());
    }
}

TEST_F(CardCommands, HardwareBitsAreTheLowFiveBitsOfTheFirstDataCharacter) {
    for (const auto& [character, bits] :
         std::vector<std::pair<char, int>>{{'?', 31}, {'@', 0}, {'E', 5}, {'_', 31}, {'0', 16}}) {
        CardSends(Reply(std::string("XD10") + character + std::string(15, '0')));
        ASSERT_TRUE(port.ReadHardware());
        EXPECT_EQ(port.HardwareBits, bits) << character;
    }
}

TEST_F(CardCommands, ParitySettingsOfComOneToThreeAreNormalisedOnRead) {
    struct Case {
        int reg;
        uint8_t sent;    // second byte as the card sends it
        uint8_t stored;  // second byte in the image
    };
    const Case cases[] = {
        {1, 0x05, 0x25}, {2, 0x05, 0x25}, {3, 0x00, 0x20}, {1, 0x25, 0x25},
        {1, 0x45, 0x45}, {2, 0x65, 0x65}, {3, 0x85, 0xA5}, {1, 0x15, 0x35},
        {0, 0x05, 0x05}, {4, 0x05, 0x05}, {7, 0x00, 0x00}, {25, 0x05, 0x05},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "register " << c.reg << " byte " << int(c.sent));
        const char digits[] = {'1', '2', static_cast<char>(0x30 + (c.sent >> 4)),
                               static_cast<char>(0x30 + (c.sent & 0x0F)), '\0'};
        CardSends(Reply(std::string("XG04") + digits));
        ASSERT_EQ(port.TransferRegister(0, c.reg, image), 1);
        EXPECT_EQ(image.High(c.reg), 0x12);
        EXPECT_EQ(image.Low(c.reg), c.stored);
    }
}

// Each way a command can fail closes the line, leaves the command's fields as they were, and
// the next OpenPort works.
TEST_F(CardCommands, EveryFailureClosesTheLineAndASecondOpenWorks) {
    struct Case {
        const char* what;
        std::function<void(MemorySerialLine&)> arrange;
    };
    const Case cases[] = {
        {"no reply", [](MemorySerialLine&) {}},
        {"short reply", [](MemorySerialLine& l) { l.Deliver(Reply("XG0412")); }},
        {"wrong echo", [](MemorySerialLine& l) { l.Deliver(Reply("XG051234")); }},
        {"write fails", [](MemorySerialLine& l) { l.failWritesFrom = 0; }},
        {"write cut short", [](MemorySerialLine& l) { l.shortWrite = true; }},
        {"line gone", [](MemorySerialLine& l) { l.GoAway(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.arrange(line);
        image.SetValue(9, 0x4321);
        EXPECT_EQ(port.TransferRegister(0, 9, image), 0);
        EXPECT_FALSE(port.IsOpen());
        EXPECT_EQ(image.Value(9), 0x4321);

        line.failWritesFrom = -1;
        line.shortWrite = false;
        ASSERT_TRUE(port.OpenPort());
        CardSends(Reply("XG045678"));
        EXPECT_EQ(port.TransferRegister(0, 9, image), 1);
        EXPECT_EQ(image.Value(9), 0x5678);
    }
}

TEST_F(CardCommands, ARegisterOutsideTheImageFailsWithoutAFrame) {
    for (int reg : {-1, 48, 4095}) {
        EXPECT_EQ(port.TransferRegister(0, reg, image), 0);
        EXPECT_EQ(port.TransferRegister(1, reg, image), 0);
        EXPECT_FALSE(port.IsOpen());
        ASSERT_TRUE(port.OpenPort());
    }
    EXPECT_TRUE(line.written.empty());
}

TEST_F(CardCommands, ASlowCardThatDeliversEachReplyInPiecesFailsAfterTheFifthRead) {
    const Bytes reply = Reply("XG041234");
    const auto piece = [&](size_t from, size_t to) {
        return Bytes(reply.begin() + static_cast<long>(from),
                     reply.begin() + static_cast<long>(to));
    };
    // Five pieces, each after a pause: no read ever holds the whole reply.
    for (size_t i = 0; i < 5; ++i) {
        CardSends(piece(i * 3, i == 4 ? reply.size() : i * 3 + 3), true);
    }
    EXPECT_EQ(port.TransferRegister(0, 20, image), 0);
    EXPECT_EQ(line.reads, 5);
    EXPECT_FALSE(port.IsOpen());

    // Even a fifth read that brings the whole reply fails the exchange.
    ASSERT_TRUE(port.OpenPort());
    line.reads = 0;
    for (int i = 0; i < 4; ++i) {
        CardSends(piece(0, 5), true);
    }
    CardSends(reply, true);
    EXPECT_EQ(port.TransferRegister(0, 20, image), 0);
    EXPECT_EQ(line.reads, 5);

    // A fourth read that brings it still counts.
    ASSERT_TRUE(port.OpenPort());
    line.reads = 0;
    for (int i = 0; i < 3; ++i) {
        CardSends(piece(0, 5), true);
    }
    CardSends(reply, true);
    EXPECT_EQ(port.TransferRegister(0, 20, image), 1);
    EXPECT_EQ(line.reads, 4);
    EXPECT_EQ(image.Value(20), 0x1234);
}

TEST_F(CardCommands, PartsOfAReplyAreNeverJoined) {
    const Bytes reply = Reply("XG041234");
    CardSends(Bytes(reply.begin(), reply.begin() + 8));
    CardSends(Bytes(reply.begin() + 8, reply.end()), true);
    EXPECT_EQ(port.TransferRegister(0, 20, image), 0);
    EXPECT_EQ(image.Value(20), 0);
}

TEST_F(CardCommands, SurplusBytesShiftIntoTheNextReply) {
    Bytes first = Reply("XG041111");
    first.insert(first.end(), {0x55, 0x55, 0x55});
    CardSends(first);
    ASSERT_EQ(port.TransferRegister(0, 8, image), 1);
    EXPECT_EQ(image.Value(8), 0x1111);
    EXPECT_EQ(line.Pending(), 3u);  // nothing is purged between two exchanges

    CardSends(Reply("XG042222"));
    EXPECT_EQ(port.TransferRegister(0, 9, image), 0);  // reads 55 55 55 02 30 31 58 ...
    EXPECT_EQ(image.Value(9), 0);
    EXPECT_FALSE(port.IsOpen());

    ASSERT_TRUE(port.OpenPort());  // opening empties the line
    EXPECT_EQ(line.Pending(), 0u);
}

TEST_F(CardCommands, ClosePortReportsWhetherThereWasSomethingToClose) {
    EXPECT_EQ(port.ClosePort(), 1);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.ClosePort(), 0);
}

TEST(CardPort, OpenFailsWhenTheDeviceCannotBeOpened) {
    auto line = std::make_unique<MemorySerialLine>();
    line->refuseOpen = true;
    SerialPortParameter port(std::move(line));
    std::strcpy(port.PortName, "COM9");
    EXPECT_FALSE(port.OpenPort());
    EXPECT_FALSE(port.IsOpen());
}

}  // namespace
