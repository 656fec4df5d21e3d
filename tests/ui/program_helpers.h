#pragma once

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "sim/VirtualCard.h"

class TTProgressDialog;

namespace program_test {

// The process-wide state a programming needs, made for one test and released after it:
// placeholder language texts ("Text NNN"), an empty register image, the progress dialog, and
// the serial connection on COM1, which leads to a virtual card once StartCard has run.
class ProgrammingSetUp {
  public:
    ProgrammingSetUp();
    ~ProgrammingSetUp();
    ProgrammingSetUp(const ProgrammingSetUp&) = delete;
    ProgrammingSetUp& operator=(const ProgrammingSetUp&) = delete;

    // Starts the virtual card and points COM1 at its pseudo-terminal. False when it cannot run.
    bool StartCard(const CardConfig& config);
    // COM1 leads nowhere: opening the port fails.
    void PointComOneNowhere();
    PtyCardServer& Card() { return *card_; }

  private:
    std::unique_ptr<TTProgressDialog> progress_;
    std::unique_ptr<PtyCardServer> card_;
};

// The registers a card of each family exchanges, written out: 0-4, and for KFT018 also 7-47.
std::vector<int> PortRegisterNumbers();
std::vector<int> Kft018RegisterNumbers();

// Placeholder of a LanguageTable entry ("Text 037") as a widget shows it.
QString Placeholder(int number);

}  // namespace program_test
