#include "link/ReplyDiagnosis.h"

#include <algorithm>

#include "link/CardFrame.h"

namespace {

// The request came back as sent: the whole of it, or as much of it as one read asks for.
bool IsEcho(const std::vector<uint8_t>& request, const std::vector<uint8_t>& piece,
            size_t expected) {
    const size_t compared = std::min(request.size(), piece.size());
    const bool wholeOrAllRead = compared == request.size() || piece.size() == expected;
    return !request.empty() && wholeOrAllRead &&
           std::equal(request.begin(), request.begin() + static_cast<long>(compared),
                      piece.begin());
}

bool EchoMatches(const std::vector<uint8_t>& piece, std::string_view echo) {
    return piece.size() >= card::kEchoOffset + echo.size() &&
           std::equal(echo.begin(), echo.end(), piece.begin() + card::kEchoOffset);
}

// Where a reply of the command starts after bytes that are none of it: the frame start whose
// echo (as much of it as the read holds, at least its first character) is the command's. 0 if
// there is none.
size_t StrayBefore(const std::vector<uint8_t>& piece, std::string_view echo) {
    for (size_t at = 1; at + card::kEchoOffset < piece.size(); ++at) {
        if (piece[at] != card::kStx) {
            continue;
        }
        const size_t start = at + card::kEchoOffset;
        const size_t compared = std::min(echo.size(), piece.size() - start);
        if (std::equal(echo.begin(), echo.begin() + static_cast<long>(compared),
                       piece.begin() + static_cast<long>(start))) {
            return at;
        }
    }
    return 0;
}

// A write's reply carries no data ("XS00"): a reply with no data and another command letter is
// the card's own answer to the write, its refusal.
constexpr std::string_view kWriteEcho = "XS00";
bool IsRefusal(const std::vector<uint8_t>& piece, std::string_view echo) {
    const size_t at = card::kEchoOffset;
    return echo == kWriteEcho && piece.size() >= at + card::kEchoLength && piece[at] == 'X' &&
           piece[at + 1] != 'S' && piece[at + 2] == '0' && piece[at + 3] == '0';
}

}  // namespace

ReplyDiagnosis DiagnoseReply(const std::vector<uint8_t>& request,
                             const std::vector<uint8_t>& firstPiece, size_t expected,
                             std::string_view echo) {
    ReplyDiagnosis diagnosis;
    if (firstPiece.empty()) {
        diagnosis.fault = ReplyFault::Nothing;
    } else if (IsEcho(request, firstPiece, expected)) {
        diagnosis.fault = ReplyFault::Echo;
    } else if (const size_t stray =
                   firstPiece.front() != card::kStx ? StrayBefore(firstPiece, echo) : 0;
               stray > 0) {
        diagnosis.fault = ReplyFault::Stray;
        diagnosis.stray = stray;
    } else if (firstPiece.front() != card::kStx) {
        diagnosis.fault = ReplyFault::Foreign;
        diagnosis.firstBytes.assign(
            firstPiece.begin(),
            firstPiece.begin() + static_cast<long>(std::min(firstPiece.size(), kShownBytes)));
    } else if (IsRefusal(firstPiece, echo)) {
        diagnosis.fault = ReplyFault::Refused;
    } else if (firstPiece.size() >= card::kEchoOffset + card::kEchoLength &&
               !EchoMatches(firstPiece, echo)) {
        diagnosis.fault = ReplyFault::OtherReply;
    } else {
        // Too short to carry an echo, or the right one: the rest of the reply never came.
        diagnosis.fault = ReplyFault::CutShort;
        diagnosis.got = firstPiece.size();
        diagnosis.expected = expected;
    }
    return diagnosis;
}
