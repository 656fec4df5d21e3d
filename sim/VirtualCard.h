#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/RegisterImage.h"

// The virtual Quorix card: answers "XI00", "XD00", "XG04..." and "XS08..." frames as the card
// does, keeps 48 registers, and can misbehave on purpose for tests.

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
};

// Runs a virtual card on a pseudo-terminal, served by a background thread until Stop or
// destruction (also when a test fails).
class PtyCardServer {
  public:
    explicit PtyCardServer(CardConfig config);
    ~PtyCardServer();
    PtyCardServer(const PtyCardServer&) = delete;
    PtyCardServer& operator=(const PtyCardServer&) = delete;

    // Creates the pseudo-terminal (and a symlink to it when a path is given) and starts
    // answering. False when no pseudo-terminal can be made.
    bool Start(const std::string& symlinkPath = {});
    void Stop();
    // Absolute path of the pseudo-terminal's device (or of the symlink when one was made).
    std::string DevicePath() const;

    // The fault hits `count` commands, starting with the one `commandsFromNow` commands after
    // the next (0 = the next command).
    void InjectFault(CardFault fault, int commandsFromNow = 0, int count = 1);
    // After this many further commands the card stops answering altogether.
    void StopAnsweringAfter(int commands);

    // Thread-safe snapshots.
    RegisterImage Registers() const;
    std::vector<int> RegistersRead() const;     // in the order read
    std::vector<int> RegistersWritten() const;  // in the order written
    int CommandCount() const;                   // frames answered or ignored so far
    void ClearHistory();                        // forgets what was read and written

  private:
    struct State;
    std::unique_ptr<State> state_;
};
