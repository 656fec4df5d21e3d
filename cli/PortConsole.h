#pragma once

#include <memory>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "cli/Progress.h"

// Standard error shared by the ports of one command, each drawing its own Progress: on a
// terminal one line per port, redrawn in place and cut to the terminal's width; in a log, or on
// a terminal with fewer rows than ports, every line a port's progress writes, whole; nothing
// when quiet. Safe for the threads of the ports: each line is written under one
// lock, so lines of two ports never mix.
class PortConsole {
  public:
    PortConsole(std::ostream& err, ProgressStyle style, const std::vector<std::string>& ports,
                const ErrorScreen& screen);
    PortConsole(const PortConsole&) = delete;
    PortConsole& operator=(const PortConsole&) = delete;
    ~PortConsole();

    // The stream on which the progress of the port at `index` draws.
    std::ostream& Stream(size_t index) { return *streams_[index]; }
    ProgressStyle Style() const { return style_; }

  private:
    // Collects what one port's Progress writes and hands it on a line at a time.
    class PortBuffer : public std::streambuf {
      public:
        PortBuffer(PortConsole& console, size_t index) : console_(console), index_(index) {}

      protected:
        int overflow(int c) override;
        int sync() override;

      private:
        PortConsole& console_;
        size_t index_;
        std::string current_;
    };

    // The port's line as it stands now; `whole` when it ended with a line break.
    void Show(size_t index, const std::string& text, bool whole);
    void Redraw(size_t index);

    std::ostream& err_;
    ProgressStyle style_;
    int columns_;
    std::mutex mutex_;
    std::vector<std::string> lines_;
    std::vector<std::unique_ptr<PortBuffer>> buffers_;
    std::vector<std::unique_ptr<std::ostream>> streams_;
};
