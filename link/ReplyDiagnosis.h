#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// Why an exchange with the card got no valid reply, told from what did come back. The link
// says what happened; the dialogs and brovane-cli say it in words.
enum class ReplyFault {
    None,        // the card answered correctly
    NotSent,     // the request could not be written to the line
    LineLost,    // the device went away during the exchange
    Nothing,     // nothing at all came back
    Echo,        // the request itself came back unchanged: transmit and receive are bridged
    Foreign,     // bytes that are no reply of the card: another device, or another line speed
    CutShort,    // the start of a reply, cut short
    OtherReply,  // a reply to another command: the card is out of step
    Stray,       // a reply of the command, with bytes left over on the line before it
    Refused,     // the card answered a write with a reply of its own: it refused the register
};

struct ReplyDiagnosis {
    ReplyFault fault = ReplyFault::None;
    std::vector<uint8_t> firstBytes;  // Foreign: the first bytes that came (at most kShownBytes)
    size_t got = 0;                   // CutShort: how many bytes of the reply came
    size_t expected = 0;              // CutShort: how many a whole reply has
    size_t stray = 0;                 // Stray: how many bytes came before the reply
};

// Foreign bytes are shown up to this many.
inline constexpr size_t kShownBytes = 8;

// Judges an exchange from the first read that brought anything (`firstPiece`; empty when every
// read came back empty): every read fills the buffer from its start, so that read holds the
// beginning of whatever the line carried. `echo` is what the command expects at offset 3 of its
// reply ("XI", "XD10", "XG04", "XS00"). A write's reply that carries no data like "XS00" but
// another command letter is the card's refusal of the write.
ReplyDiagnosis DiagnoseReply(const std::vector<uint8_t>& request,
                             const std::vector<uint8_t>& firstPiece, size_t expected,
                             std::string_view echo);
