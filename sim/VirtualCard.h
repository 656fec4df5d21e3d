#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/RegisterImage.h"
#include "sim/Card.h"

// The virtual Quorix card on a pseudo-terminal: answers "XI00", "XD00", "XG04..." and "XS08..."
// frames as the card does, keeps 48 registers, and can misbehave on purpose for tests.
// CardConfig and CardFault are in sim/Card.h.

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
    // Stops answering, closes the pseudo-terminal (a PC side that has it open sees the line go
    // away) and removes the symlink.
    void Stop();
    // Absolute path of the pseudo-terminal's device (or of the symlink when one was made).
    std::string DevicePath() const;
    // Absolute path of the pseudo-terminal's device itself.
    std::string PtyPath() const;
    // Answering: started, not stopped, and not hung up by a HangUp fault.
    bool Running() const;

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

    // Waits until the card has taken `commands` frames in all (or has stopped); true when it
    // has them before the timeout.
    bool WaitForCommands(int commands, std::chrono::milliseconds timeout) const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};
