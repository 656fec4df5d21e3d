// Helpers of the end-to-end tests: the program's dialogs and state as start-up makes them, a
// virtual card on a pseudo-terminal behind COM1, and the steps a person takes in the modal
// dialogs of a configuration pass.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "model/RegisterImage.h"
#include "sim/VirtualCard.h"
#include "tests/ui/dialog_helpers.h"
#include "ui/ProgramDialog.h"
#include "ui/ProgressDialog.h"
#include "ui/PropSheet.h"
#include "ui/SetPort.h"

class QWidget;

namespace e2e_test {

// A KFT018 card as a technician finds it: COM0 NEXPR 1200; COM1 MODBUS RTU 19200; COM2 MODBUS
// RTU 9600 at address 32; events assigned to outputs 1, 2 and 4 (output 1 "Normal OFF"); the
// inputs with every type, thresholds and delays.
RegisterImage Kft018Card();

class ConfigurationPass : public testing::Test {
  protected:
    // Placeholder language texts, the register image and the dialogs in start-up order.
    void SetUp() override;
    void TearDown() override;

    // Starts a virtual card (unpaced) and points COM1 at it; a card started before is stopped.
    void StartCard(const std::string& identity, const RegisterImage& registers,
                   int hardwareBits = 0);
    PtyCardServer& Card() { return *card_; }

    // Shows the port selection dialog with COM1 chosen and clicks OK: the card is read and the
    // configuration loop runs, with the steps armed by WhenModal acting in its modal dialogs.
    // Returns when the loop has ended. A pass still running after the deadline fails the test
    // and is cancelled dialog by dialog, so that the test ends.
    void ReadCardAndConfigure(int deadlineMs = 120000);

    std::unique_ptr<TTSetPortParam> setPort;
    std::unique_ptr<TTPropSheet> sheet;
    std::unique_ptr<TTProgressDialog> progress;
    std::unique_ptr<TTProgramDialog> program;
    // Answers every message box of the test and keeps what each one said.
    std::unique_ptr<MessageBoxAnswerer> boxes;

  private:
    std::unique_ptr<PtyCardServer> card_;
};

// Runs `action` once, the next time `dialog` is the active modal window.
void WhenModal(QWidget* dialog, std::function<void()> action, int timeoutMs = 60000);

}  // namespace e2e_test
