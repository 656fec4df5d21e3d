#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "link/SerialLine.h"
#include "link/SerialPlatform.h"

// A trace for support: every frame that crosses the line, with the milliseconds since the trace
// began, its direction, its bytes in hex and what they mean. Several lines (one per port) may
// write to one trace; each line of it is written whole at once, so that a trace ends where the
// program did. The trace never holds the exchange with the card: what its output does not take
// at once is left out, and an output that fails is given up; the first such failure is kept
// for the program to tell once.
class TraceSink {
  public:
    // Standard error.
    TraceSink();
    // A file, created afresh; Ok() is false when it cannot be, and Failure() says why.
    explicit TraceSink(const std::filesystem::path& file);
    TraceSink(const TraceSink&) = delete;
    TraceSink& operator=(const TraceSink&) = delete;

    bool Ok() const { return output_.Ok(); }
    // Why the output could not be opened: "no program reads from it".
    const std::string& OpenReason() const { return output_.Reason(); }
    // "   123 ms  COM1  PC->card  02 31 30 …  XI00 (identify)"
    void Write(const std::string& port, const std::string& what);
    // The first failure, in words, once: "the trace /tmp/t cannot be written (No space left on
    // device); the work goes on without it". None when there was none, or it was taken already.
    std::optional<std::string> TakeFailure();

  private:
    void Failed(const std::string& reason);

    std::string name_;
    TraceOutput output_;
    bool givenUp_ = false;
    std::optional<std::string> failure_;
    bool failureTaken_ = false;
    std::mutex mutex_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// The line, traced into `sink` under the port's name (none: empty).
std::unique_ptr<SerialLine> TraceLine(std::unique_ptr<SerialLine> line,
                                      std::shared_ptr<TraceSink> sink, std::string port);

// The trace that the file named at start-up asks for (BROVANE_TRACE; empty: none). A file that
// cannot be created gives a sink that is not Ok, whose failure says why.
std::shared_ptr<TraceSink> TraceAskedFor(const std::string& file);
// The line, traced into `sink` when there is one that works; the line as it is otherwise.
std::unique_ptr<SerialLine> TraceLineInto(std::unique_ptr<SerialLine> line,
                                          const std::shared_ptr<TraceSink>& sink);
