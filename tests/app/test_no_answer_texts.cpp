// The words a silent or refusing card gets, in English (the fallbacks, no language file loaded):
// each says only what is known about the card and the registers on it.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/LanguageTable.h"
#include "app/NoAnswerTexts.h"
#include "model/FirmwareVariant.h"

namespace {

struct LineCase {
    const char* name;
    BatchResult result;
    const char* noAnswer;  // NoAnswerLine
    const char* partWay;   // PartWayLine over a KFT018's registers; "" when it says nothing
};

BatchResult Failed(int failedRegister, int done, bool sent, ReplyFault fault,
                   bool answered = true) {
    BatchResult result;
    result.failure = BatchFailure::NoAnswer;
    result.failedRegister = failedRegister;
    result.registersDone = done;
    result.failedRequestSent = sent;
    result.diagnosis.fault = fault;
    result.cardAnswered = answered;
    return result;
}

BatchResult WithStray(BatchResult result, size_t stray) {
    result.diagnosis.stray = stray;
    return result;
}

class NoAnswerWords : public testing::TestWithParam<LineCase> {
  protected:
    void SetUp() override { FreeLanguageTable(); }
};

TEST_P(NoAnswerWords, SayOnlyWhatIsKnown) {
    const LineCase& c = GetParam();
    EXPECT_EQ(NoAnswerLine(c.result), c.noAnswer);
    EXPECT_EQ(PartWayLine(ExchangedRegisters(2), c.result, FinishBy::ProgramButton), c.partWay);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NoAnswerWords,
    testing::Values(
        // Nobody ever answered on this port: it may be the wrong one.
        LineCase{"SilentFromTheStart", Failed(-1, 0, false, ReplyFault::Nothing, false),
                 "The card did not answer: nothing came back: the card is off, a cable end is "
                 "loose, or it is another port.",
                 ""},
        // The card answered the identification on this port, then fell silent.
        LineCase{"SilentAfterTheIdentification", Failed(-1, 0, false, ReplyFault::Nothing),
                 "The card did not answer: nothing came back: the card lost power, a cable came "
                 "loose, or the card restarted.",
                 ""},
        LineCase{"StoppedPartWay", Failed(12, 10, true, ReplyFault::Nothing),
                 "The card stopped answering at register 12: nothing came back: the card lost "
                 "power, a cable came loose, or the card restarted.",
                 "Press Program again to finish: the card holds part of the new configuration "
                 "(written: 0-4, 7-11; sent, no answer: 12, its value on the card is unknown; "
                 "not written: 13-47)."},
        // Nothing is known to be written: the card may hold the first register, no "none".
        LineCase{"StoppedAtTheFirstWrite", Failed(0, 0, true, ReplyFault::Nothing),
                 "The card stopped answering at register 0: nothing came back: the card lost "
                 "power, a cable came loose, or the card restarted.",
                 "Press Program again to finish: the card may hold part of the new "
                 "configuration (sent, no answer: 0, its value on the card is unknown; not "
                 "written: 1-4, 7-47)."},
        // The last register went out unanswered: there is nothing left unwritten to name.
        LineCase{"StoppedAtTheLastWrite", Failed(47, 45, true, ReplyFault::Nothing),
                 "The card stopped answering at register 47: nothing came back: the card lost "
                 "power, a cable came loose, or the card restarted.",
                 "Press Program again to finish: the card holds part of the new configuration "
                 "(written: 0-4, 7-46; sent, no answer: 47, its value on the card is unknown)."},
        LineCase{"StrayBytesBeforeAReply", WithStray(Failed(12, 10, true, ReplyFault::Stray), 4),
                 "The card stopped answering at register 12: a reply came with 4 stray bytes "
                 "before it.",
                 "Press Program again to finish: the card holds part of the new configuration "
                 "(written: 0-4, 7-11; sent, no answer: 12, its value on the card is unknown; "
                 "not written: 13-47)."},
        LineCase{"RefusedWrite", Failed(12, 10, true, ReplyFault::Refused),
                 "The card refused register 12: it answered, and trying again cannot help.",
                 "The card holds part of the new configuration (written: 0-4, 7-11; refused: "
                 "12; not written: 13-47)."},
        // The card refused the first register: it holds nothing new.
        LineCase{"RefusedFirstWrite", Failed(0, 0, true, ReplyFault::Refused),
                 "The card refused register 0: it answered, and trying again cannot help.", ""}),
    [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

// brovane-cli has no Program button: its line names the command to run again.
TEST(PartWayWords, NameTheActionOfTheProgramThatRanTheWrite) {
    FreeLanguageTable();
    const struct {
        BatchResult result;
        const char* line;
    } cases[] = {
        {Failed(12, 10, true, ReplyFault::Nothing),
         "Run the same brovane-cli write again to finish: the card holds part of the new "
         "configuration (written: 0-4, 7-11; sent, no answer: 12, its value on the card is "
         "unknown; not written: 13-47)."},
        {Failed(0, 0, true, ReplyFault::Nothing),
         "Run the same brovane-cli write again to finish: the card may hold part of the new "
         "configuration (sent, no answer: 0, its value on the card is unknown; not written: "
         "1-4, 7-47)."},
        // Writing again cannot get past a refusal: no action is offered.
        {Failed(12, 10, true, ReplyFault::Refused),
         "The card holds part of the new configuration (written: 0-4, 7-11; refused: 12; not "
         "written: 13-47)."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PartWayLine(ExchangedRegisters(2), c.result, FinishBy::WriteCommand), c.line);
    }
}

}  // namespace
