// A bare pseudo-terminal for tests that need a serial device with nobody answering.
#pragma once

#include <string>

// Its master end stays with the test and is closed with it; Path() is the device to open.
class PseudoTerminal {
  public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Empty when no pseudo-terminal could be made.
    const std::string& Path() const { return path_; }
    int Master() const { return master_; }

  private:
    int master_ = -1;
    std::string path_;
};
