#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/RegisterImage.h"

// The virtual Quorix card's protocol logic: bytes from the line in, reply pieces out. No time
// and no I/O here; the pseudo-terminal server and the in-memory line both drive it.

struct CardConfig {
    std::string identity = "KFT018-01-01";  // reported at offset 39 of the identification
    int hardwareBits = 0;                   // 0-31, reported by "XD00"
    RegisterImage registers;                // what "XG04" reads and "XS08" writes
    int baud = 0;      // 0: answers at once; 1200: paced like a real 1200-baud line
    bool log = false;  // log every frame received and sent (decoded and in hex) to stderr
};

enum class CardFault {
    None,
    Silent,        // the command gets no answer
    WrongEcho,     // the reply carries another echo
    ShortReply,    // the reply stops short
    SplitReply,    // the reply arrives in two parts with a pause longer than a second
    SurplusBytes,  // the reply carries bytes beyond its length
    FailingWrite,  // a register write is refused (no "XS00")
    HangUp,        // the card goes away (the cable is pulled) when the command arrives
    Loopback,      // no card: the request comes straight back (a loopback plug, an echoing line)
    Noise,         // the request is answered with bytes that are no frame (another line speed)
    OtherReply,    // the reply to another command comes (the card is out of step)
};

// One piece of a reply: sent after a pause of `pauseBeforeMs` (counted from the end of the
// piece before, or from the arrival of the request).
struct CardReplyPiece {
    std::vector<uint8_t> bytes;
    int pauseBeforeMs = 0;
};

class Card {
  public:
    static constexpr int kSplitPauseMs = 1500;  // longer than a read's timeout on the PC
    static constexpr size_t kShortBy = 3;       // bytes a short reply lacks
    static constexpr size_t kSurplusCount = 4;  // bytes a reply with surplus carries too

    explicit Card(CardConfig config);

    // Takes bytes as they crossed the line; returns the reply pieces of every frame they
    // completed, in order. Bytes outside a frame are dropped.
    std::vector<CardReplyPiece> Receive(const uint8_t* data, size_t count);

    // The fault hits `count` commands, starting with the one `commandsFromNow` commands after
    // the next (0 = the next command).
    void InjectFault(CardFault fault, int commandsFromNow = 0, int count = 1);
    // After this many further commands the card stops answering altogether.
    void StopAnsweringAfter(int commands);
    // A HangUp fault has hit: the line must be dropped.
    bool HungUp() const { return hungUp_; }

    // Where the log lines go (default: stderr); only used when the configuration asks for a log.
    void SetLogSink(std::function<void(const std::string&)> sink) { logSink_ = std::move(sink); }

    const RegisterImage& Registers() const { return config_.registers; }
    const CardConfig& Config() const { return config_; }
    const std::vector<int>& RegistersRead() const { return read_; }
    const std::vector<int>& RegistersWritten() const { return written_; }
    int CommandCount() const { return commands_; }
    void ClearHistory();

  private:
    struct ScheduledFault {
        CardFault fault;
        int first;  // command number, 0 = the card's first command
        int last;
    };

    std::vector<CardReplyPiece> Answer(const std::vector<uint8_t>& frame);
    // The complete reply frame to a well-formed request text, as the card sends it when all
    // is well.
    std::vector<uint8_t> Reply(const std::string& text, CardFault fault);
    std::vector<uint8_t> ReplyFrame(const std::string& payload) const;
    CardFault FaultFor(int command) const;
    void Log(const std::string& line) const;

    CardConfig config_;
    std::vector<uint8_t> pending_;  // bytes of a frame not yet complete
    bool inFrame_ = false;
    int commands_ = 0;
    int silentFrom_ = -1;
    bool hungUp_ = false;
    std::vector<ScheduledFault> faults_;
    std::vector<int> read_;
    std::vector<int> written_;
    std::function<void(const std::string&)> logSink_;
};

// The name used for a fault on the command line and in logs ("silent", "wrong-echo", ...).
const char* CardFaultName(CardFault fault);
