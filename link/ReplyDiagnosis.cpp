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

}  // namespace

ReplyDiagnosis DiagnoseReply(const std::vector<uint8_t>& request,
                             const std::vector<uint8_t>& firstPiece, size_t expected,
                             std::string_view echo) {
    ReplyDiagnosis diagnosis;
    if (firstPiece.empty()) {
        diagnosis.fault = ReplyFault::Nothing;
    } else if (IsEcho(request, firstPiece, expected)) {
        diagnosis.fault = ReplyFault::Echo;
    } else if (firstPiece.front() != card::kStx) {
        diagnosis.fault = ReplyFault::Foreign;
        diagnosis.firstBytes.assign(
            firstPiece.begin(),
            firstPiece.begin() + static_cast<long>(std::min(firstPiece.size(), kShownBytes)));
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
