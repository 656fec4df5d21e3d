#pragma once

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

#include "link/SerialLine.h"

// A trace for support: every frame that crosses the line, with the milliseconds since the trace
// began, its direction, its bytes in hex and what they mean. Several lines (one per port) may
// write to one trace; each line of it is written whole and flushed at once, so that a trace
// ends where the program did.
class TraceSink {
  public:
    // Standard error.
    TraceSink();
    // A file, created afresh; Ok() is false when it cannot be.
    explicit TraceSink(const std::filesystem::path& file);
    ~TraceSink();
    TraceSink(const TraceSink&) = delete;
    TraceSink& operator=(const TraceSink&) = delete;

    bool Ok() const { return file_ != nullptr; }
    // "   123 ms  COM1  PC->card  02 31 30 …  XI00 (identify)"
    void Write(const std::string& port, const std::string& what);

  private:
    std::FILE* file_ = nullptr;
    bool owned_ = false;
    std::mutex mutex_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// The line, traced into `sink` under the port's name (none: empty).
std::unique_ptr<SerialLine> TraceLine(std::unique_ptr<SerialLine> line,
                                      std::shared_ptr<TraceSink> sink, std::string port);

// The line, traced into the file that the environment variable BROVANE_TRACE names; the line as
// it is when the variable is not set (nothing is written then). A trace file that cannot be
// created is said on standard error, and the line works untraced.
std::unique_ptr<SerialLine> TraceLineWhenAsked(std::unique_ptr<SerialLine> line);
