#pragma once

#include <QDialog>
#include <cstdint>

class QLabel;
class QProgressBar;

// Modeless window that shows how far a transfer with the card has come.
class TTProgressDialog : public QDialog {
    Q_OBJECT
  public:
    explicit TTProgressDialog(QWidget* parent = nullptr);

    // Lets pending window messages run, advances the bar by its step, and with setStep nonzero
    // chooses the step for the rest of the transfer from the firmware variant.
    void StepProgress(int setStep, uint32_t variant);
};
