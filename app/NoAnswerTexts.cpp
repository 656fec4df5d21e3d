#include "app/NoAnswerTexts.h"

#include <algorithm>
#include <initializer_list>

#include "app/LanguageTable.h"
#include "app/TextDecoding.h"
#include "link/FrameWords.h"

namespace {

// Texts added after the dialogs' own, with the English that stands in for a language file that
// lacks them.
struct AddedText {
    int number;
    const char* english;
};
constexpr AddedText kNoAnswer{210, "The card did not answer: %1."};
constexpr AddedText kStoppedAt{211, "The card stopped answering at register %1: %2."};
constexpr AddedText kNothing{
    212, "nothing came back: the card is off, a cable end is loose, or it is another port"};
constexpr AddedText kEcho{
    213, "the request came back: transmit and receive are bridged (loopback plug, echoing RS-485)"};
constexpr AddedText kForeign{
    214, "bytes that are no reply of the card came back (%1): another device, or another speed"};
constexpr AddedText kCutShort{
    215, "a reply cut short (%1 of %2 bytes): a loose contact, or noise on the line"};
constexpr AddedText kOtherReply{216,
                                "a reply to another command: the card is out of step; try again"};
constexpr AddedText kLineLost{217, "the serial device went away"};
constexpr AddedText kNotSent{218, "the request could not be sent"};
constexpr AddedText kPartWay{
    219, "Press Program again to finish: the card holds part of the new configuration (%1)."};
constexpr AddedText kWritten{220, "written: %1"};
constexpr AddedText kSentNoAnswer{221, "sent, no answer: %1, its value on the card is unknown"};
constexpr AddedText kNotWritten{222, "not written: %1"};
constexpr AddedText kMayHold{
    224, "Press Program again to finish: the card may hold part of the new configuration (%1)."};
constexpr AddedText kFellSilent{
    225, "nothing came back: the card lost power, a cable came loose, or the card restarted"};
constexpr AddedText kStray{226, "a reply came with %1 stray bytes before it"};
constexpr AddedText kRefusedAt{
    227, "The card refused register %1: it answered, and trying again cannot help."};
constexpr AddedText kRefusedPart{228, "refused: %1"};
constexpr AddedText kHoldsAfterRefusal{229, "The card holds part of the new configuration (%1)."};
constexpr AddedText kPartWayCommand{230,
                                    "Run the same brovane-cli write again to finish: the card "
                                    "holds part of the new configuration (%1)."};
constexpr AddedText kMayHoldCommand{231,
                                    "Run the same brovane-cli write again to finish: the card may "
                                    "hold part of the new configuration (%1)."};

// The text in the loaded language, with %1, %2 … replaced by the values.
std::string Text(const AddedText& text, std::initializer_list<std::string> values = {}) {
    std::string result =
        DecodeLanguageBytes(LanguageEntryOr(text.number, text.english)).toStdString();
    int index = 1;
    for (const std::string& value : values) {
        const std::string mark = "%" + std::to_string(index++);
        if (const size_t at = result.find(mark); at != std::string::npos) {
            result.replace(at, mark.size(), value);
        }
    }
    return result;
}

// Why the reply was not valid; `answered`: a card has answered on this device, so the line and
// the port are right.
std::string Reason(const ReplyDiagnosis& diagnosis, bool answered) {
    switch (diagnosis.fault) {
        case ReplyFault::NotSent:
            return Text(kNotSent);
        case ReplyFault::LineLost:
            return Text(kLineLost);
        case ReplyFault::Echo:
            return Text(kEcho);
        case ReplyFault::Foreign:
            return Text(kForeign, {HexBytes(diagnosis.firstBytes)});
        case ReplyFault::CutShort:
            return Text(kCutShort,
                        {std::to_string(diagnosis.got), std::to_string(diagnosis.expected)});
        case ReplyFault::OtherReply:
            return Text(kOtherReply);
        case ReplyFault::Stray:
            return Text(kStray, {std::to_string(diagnosis.stray)});
        case ReplyFault::None:
        case ReplyFault::Nothing:
        case ReplyFault::Refused:
            break;
    }
    return Text(answered ? kFellSilent : kNothing);
}

}  // namespace

std::string NoAnswerLine(const BatchResult& result) {
    if (result.diagnosis.fault == ReplyFault::Refused && result.failedRegister >= 0) {
        return Text(kRefusedAt, {std::to_string(result.failedRegister)});
    }
    const std::string reason = Reason(result.diagnosis, result.cardAnswered);
    return result.failedRegister < 0
               ? Text(kNoAnswer, {reason})
               : Text(kStoppedAt, {std::to_string(result.failedRegister), reason});
}

std::string PartWayLine(const std::vector<int>& registers, const BatchResult& result,
                        FinishBy finish) {
    const auto done = registers.begin() +
                      std::min<long>(result.registersDone, static_cast<long>(registers.size()));
    const bool failed = done != registers.end();
    const bool refused = failed && result.diagnosis.fault == ReplyFault::Refused;
    const bool unknown = failed && !refused && result.failedRequestSent;
    if (done == registers.begin() && !unknown) {
        return {};
    }
    std::vector<std::string> parts;
    if (done != registers.begin()) {
        parts.push_back(Text(kWritten, {RegisterRuns({registers.begin(), done})}));
    }
    if (refused) {
        parts.push_back(Text(kRefusedPart, {std::to_string(*done)}));
    } else if (unknown) {
        parts.push_back(Text(kSentNoAnswer, {std::to_string(*done)}));
    }
    if (const auto rest = done + (refused || unknown ? 1 : 0); rest != registers.end()) {
        parts.push_back(Text(kNotWritten, {RegisterRuns({rest, registers.end()})}));
    }
    std::string joined;
    for (const std::string& part : parts) {
        joined += (joined.empty() ? "" : "; ") + part;
    }
    if (refused) {
        return Text(kHoldsAfterRefusal, {joined});
    }
    const bool mayHold = done == registers.begin();
    if (finish == FinishBy::WriteCommand) {
        return Text(mayHold ? kMayHoldCommand : kPartWayCommand, {joined});
    }
    return Text(mayHold ? kMayHold : kPartWay, {joined});
}

std::string RegisterRuns(const std::vector<int>& registers) {
    std::string text;
    for (size_t i = 0; i < registers.size();) {
        size_t end = i;
        while (end + 1 < registers.size() && registers[end + 1] == registers[end] + 1) {
            ++end;
        }
        text += (text.empty() ? "" : ", ") + std::to_string(registers[i]);
        if (end > i) {
            text += "-" + std::to_string(registers[end]);
        }
        i = end + 1;
    }
    return text.empty() ? "none" : text;
}
