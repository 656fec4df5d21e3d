#include "tests/e2e/pass_helpers.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>

#include "app/AppState.h"
#include "app/LanguageTable.h"
#include "tests/support/ProcessState.h"
#include "tests/ui/sheet_helpers.h"
#include "ui/ProgramDialog.h"
#include "ui/ProgressDialog.h"
#include "ui/PropSheet.h"
#include "ui/SetPort.h"

namespace e2e_test {

namespace {

constexpr int kPollMs = 20;
constexpr int kWindowWaitMs = 5000;

}  // namespace

RegisterImage Kft018Card() {
    RegisterImage card;
    card.SetValue(0, 0x0001);   // COM0 NEXPR, 1200
    card.SetValue(1, 0x0125);   // COM1 MODBUS RTU, 19200, parity code 1, one stop bit
    card.SetValue(2, 0x0124);   // COM2 MODBUS RTU, 9600, parity code 1, one stop bit
    card.SetValue(3, 0x0021);   // COM3 NEXPR, 1200
    card.SetValue(4, 0xFF20);   // COM2 address 32
    card.SetValue(7, 0xA901);   // output 1 "Normal OFF"
    card.SetValue(8, 0x0003);   // output 1: events 1, 2 ...
    card.SetValue(9, 0x0001);   // ... and 17
    card.SetValue(10, 0x0100);  // output 2: event 9
    card.SetValue(15, 0x0002);  // output 4: event 18
    // Inputs: type (high byte) and delay / 10 ms, lower and upper threshold.
    const uint16_t inputs[8][3] = {
        {0x0000, 0, 1023},   // 1: no thresholds
        {0x0132, 205, 921},  // 2: volts 1.00-4.50, 500 ms
        {0x0264, 20, 80},    // 3: degrees 0-60, 1000 ms
        {0x0319, 10, 90},    // 4: percent 10-90, 250 ms
        {0x000A, 0, 1023},   // 5: no thresholds, 100 ms
        {0x0105, 0, 1023},   // 6: volts 0.00-5.00, 50 ms
        {0x02FA, 0, 140},    // 7: degrees -20-120, 2500 ms
        {0x0300, 0, 100},    // 8: percent 0-100, no delay
    };
    for (int n = 0; n < 8; ++n) {
        for (int i = 0; i < 3; ++i) {
            card.SetValue(24 + 3 * n + i, inputs[n][i]);
        }
    }
    return card;
}

void ConfigurationPass::SetUp() {
    ASSERT_EQ(CreateLanguageTable(), 0);
    RegisterImageStorage = std::make_unique<RegisterImage>();
    HardwareBits = 0;
    setPort = std::make_unique<TTSetPortParam>();
    sheet = std::make_unique<TTPropSheet>();
    progress = std::make_unique<TTProgressDialog>();
    program = std::make_unique<TTProgramDialog>();
    TSetPortParam = setPort.get();
    TPropSheet = sheet.get();
    TProgressDialog = progress.get();
    TProgramDialog = program.get();
    boxes = std::make_unique<MessageBoxAnswerer>();
}

void ConfigurationPass::TearDown() {
    boxes.reset();
    program.reset();
    progress.reset();
    sheet.reset();
    setPort.reset();
    ClearProcessState();
    card_.reset();
}

void ConfigurationPass::StartCard(const std::string& identity, const RegisterImage& registers,
                                  int hardwareBits) {
    card_.reset();
    CardConfig config;
    config.identity = identity;
    config.hardwareBits = hardwareBits;
    config.registers = registers;
    card_ = std::make_unique<PtyCardServer>(config);
    ASSERT_TRUE(card_->Start()) << "no pseudo-terminal for the virtual card";
    setenv("BROVANE_COM1", card_->DevicePath().c_str(), 1);
    setPort->UsePortOverrides(ReadPortOverrides());
}

void ConfigurationPass::ReadCardAndConfigure(int deadlineMs) {
    setPort->show();
    setPort->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(setPort.get(), kWindowWaitMs));
    ASSERT_EQ(setPort->ComboPort->currentText(), QStringLiteral("COM1"));

    // Past the deadline every dialog of the pass is cancelled as it comes up (the loop's
    // warning is answered like every message box), so the pass ends.
    bool overdue = false;
    QTimer unwinder;
    unwinder.setInterval(kPollMs);
    QObject::connect(&unwinder, &QTimer::timeout, [&overdue] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog != nullptr && qobject_cast<QMessageBox*>(dialog) == nullptr) {
            dialog->reject();
        }
        overdue = true;
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [&unwinder] { unwinder.start(); });
    deadline.start(deadlineMs);

    sheet_test::Click(setPort->ButtonOk);

    deadline.stop();
    unwinder.stop();
    EXPECT_FALSE(overdue) << "the configuration pass did not end within " << deadlineMs << " ms";
}

void WhenModal(QWidget* dialog, std::function<void()> action, int timeoutMs) {
    RunWhen(
        [dialog] {
            return dialog->isVisible() && QApplication::activeModalWidget() == dialog &&
                   QApplication::activeWindow() == dialog;
        },
        std::move(action), timeoutMs);
}

}  // namespace e2e_test
