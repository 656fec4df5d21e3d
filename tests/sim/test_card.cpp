// The card's protocol logic, bytes in and bytes out.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/Card.h"
#include "tests/sim/frame_helpers.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The whole answer to one request, pieces joined.
Bytes Answer(Card& card, const std::string& text) {
    const Bytes request = RequestFrame(text);
    Bytes out;
    for (const auto& piece : card.Receive(request.data(), request.size())) {
        out.insert(out.end(), piece.bytes.begin(), piece.bytes.end());
    }
    return out;
}

CardConfig Config() {
    CardConfig config;
    config.registers.SetValue(10, 0x03FF);
    config.registers.SetValue(47, 0xABCD);
    config.hardwareBits = 21;
    return config;
}

TEST(Card, AnswersTheFourCommandsWithFramesOfTheirLength) {
    Card card(Config());

    const Bytes identity = Answer(card, "XI00");
    ASSERT_EQ(identity.size(), 68u);
    EXPECT_EQ(std::string(identity.begin() + 3, identity.begin() + 5), "XI");
    EXPECT_EQ(std::string(identity.begin() + 39, identity.begin() + 51), "KFT018-01-01");

    EXPECT_EQ(Answer(card, "XD00"), ReplyFrame("XD10U000000000000000"));  // 0x40 | 21
    EXPECT_EQ(Answer(card, "XG04100:"), ReplyFrame("XG0403??"));
    EXPECT_EQ(Answer(card, "XG04102?"), ReplyFrame("XG04:;<="));
    EXPECT_EQ(Answer(card, "XS08101903??"), ReplyFrame("XS00"));
    EXPECT_EQ(card.Registers().Value(25), 0x03FF);
    EXPECT_EQ(card.RegistersRead(), (std::vector<int>{10, 47}));
    EXPECT_EQ(card.RegistersWritten(), (std::vector<int>{25}));
    EXPECT_EQ(card.CommandCount(), 5);
}

TEST(Card, IdentityIsPaddedWithZerosAndCutAtTwelve) {
    for (const auto& [configured, sent] : std::vector<std::pair<std::string, std::string>>{
             {"KFT015", std::string("KFT015") + std::string(6, '\0')},
             {"KFT026-01-01-EXTRA", "KFT026-01-01"},
             {std::string("AB\0CD", 5), std::string("AB\0CD", 5) + std::string(7, '\0')}}) {
        CardConfig config;
        config.identity = configured;
        Card card(config);
        const Bytes reply = Answer(card, "XI00");
        ASSERT_EQ(reply.size(), 68u);
        EXPECT_EQ(std::string(reply.begin() + 39, reply.begin() + 51), sent);
        EXPECT_EQ(reply[51], '0');
    }
}

TEST(Card, RefusesWhatItDoesNotUnderstand) {
    Card card(Config());
    for (const char* text : {"XQ00", "XG041030", "XG04100", "XG0410A0", "XG042000", "XS08103000000",
                             "XS0810300 00", "XI01"}) {
        EXPECT_EQ(Answer(card, text), ReplyFrame("XE00")) << text;
    }
    EXPECT_EQ(card.Registers(), Config().registers);
}

TEST(Card, FindsFramesInAnyChunkingAndSkipsNoise) {
    Card card(Config());
    Bytes stream = {0x55, 0x03, 0xFF};
    const Bytes first = RequestFrame("XG04100:");
    const Bytes second = RequestFrame("XD00");
    stream.insert(stream.end(), first.begin(), first.end());
    stream.insert(stream.end(), {0x02, 0x31});  // a frame that breaks off
    stream.insert(stream.end(), second.begin(), second.end());
    std::vector<Bytes> replies;
    for (uint8_t byte : stream) {
        for (auto& piece : card.Receive(&byte, 1)) {
            replies.push_back(piece.bytes);
        }
    }
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[0], ReplyFrame("XG0403??"));
    EXPECT_EQ(replies[1], ReplyFrame("XD10U000000000000000"));

    // A frame without its four 0xFF is taken but not answered.
    const Bytes malformed = {0x02, '1', '0', 'X', 'D', '0', '0', 0x03};
    EXPECT_TRUE(card.Receive(malformed.data(), malformed.size()).empty());
    EXPECT_EQ(card.CommandCount(), 3);
}

TEST(Card, FaultsShapeTheReply) {
    const Bytes good = ReplyFrame("XG0403??");
    struct Case {
        CardFault fault;
        std::vector<Bytes> pieces;
        std::vector<int> pauses;
    };
    Bytes lowerEcho = good;
    lowerEcho[4] = 'g';
    Bytes surplus = good;
    surplus.insert(surplus.end(), 4, 0x55);
    const Case cases[] = {
        {CardFault::Silent, {}, {}},
        {CardFault::WrongEcho, {lowerEcho}, {0}},
        {CardFault::ShortReply, {Bytes(good.begin(), good.end() - 3)}, {0}},
        {CardFault::SplitReply,
         {Bytes(good.begin(), good.begin() + 8), Bytes(good.begin() + 8, good.end())},
         {0, 1500}},
        {CardFault::SurplusBytes, {surplus}, {0}},
        {CardFault::FailingWrite, {ReplyFrame("XE00")}, {0}},
        {CardFault::HangUp, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CardFaultName(c.fault));
        Card card(Config());
        card.InjectFault(c.fault);
        const Bytes request = RequestFrame("XG04100:");
        const auto pieces = card.Receive(request.data(), request.size());
        ASSERT_EQ(pieces.size(), c.pieces.size());
        for (size_t i = 0; i < pieces.size(); ++i) {
            EXPECT_EQ(pieces[i].bytes, c.pieces[i]);
            EXPECT_EQ(pieces[i].pauseBeforeMs, c.pauses[i]);
        }
        EXPECT_EQ(card.HungUp(), c.fault == CardFault::HangUp);
        // The next command is answered normally (none after a hang-up).
        EXPECT_EQ(Answer(card, "XG04100:").empty(), c.fault == CardFault::HangUp);
    }
}

TEST(Card, AFailingWriteStoresNothing) {
    Card card(Config());
    card.InjectFault(CardFault::FailingWrite);
    EXPECT_EQ(Answer(card, "XS08100:1234"), ReplyFrame("XE00"));
    EXPECT_EQ(card.Registers().Value(10), 0x03FF);
    EXPECT_TRUE(card.RegistersWritten().empty());
    EXPECT_EQ(Answer(card, "XS08100:1234"), ReplyFrame("XS00"));
    EXPECT_EQ(card.Registers().Value(10), 0x1234);
}

TEST(Card, FaultsHitTheChosenCommandsOnly) {
    Card card(Config());
    Answer(card, "XI00");
    card.InjectFault(CardFault::Silent, 2, 2);  // commands 4 and 5 of the card
    card.StopAnsweringAfter(6);                 // answers up to command 7
    std::vector<bool> answered;
    for (int i = 0; i < 8; ++i) {
        answered.push_back(!Answer(card, "XD00").empty());
    }
    EXPECT_EQ(answered, (std::vector<bool>{true, true, false, false, true, true, false, false}));
    EXPECT_EQ(card.CommandCount(), 9);
}

TEST(Card, LogsEveryFrameDecodedAndInHexWhenAsked) {
    CardConfig config = Config();
    config.log = true;
    Card card(config);
    std::vector<std::string> lines;
    card.SetLogSink([&](const std::string& line) { lines.push_back(line); });
    Answer(card, "XS08101903??");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("write register 25 = 0x03FF"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("02 31 30 58 53 30 38 31 30 31 39 30 33 3F 3F FF FF FF FF 03"),
              std::string::npos);
    EXPECT_NE(lines[1].find("write accepted"), std::string::npos) << lines[1];

    Card quiet(Config());
    quiet.SetLogSink([&](const std::string& line) { lines.push_back(line); });
    Answer(quiet, "XI00");
    EXPECT_EQ(lines.size(), 2u);
}

}  // namespace
