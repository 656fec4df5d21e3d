#pragma once

#include <QDialog>
#include <cstdint>

class QLabel;
class QProgressBar;

// Modeless window that shows how far a transfer with the card has come. It has no buttons and
// the user can neither close nor minimise it: the transfer that shows it closes it at its end.
class TTProgressDialog : public QDialog {
    Q_OBJECT
  public:
    explicit TTProgressDialog(QWidget* parent = nullptr);

    // Shows the window above the dialog that runs the transfer (transient for it), so that the
    // window manager keeps it on top of that modal dialog for the whole transfer.
    void ShowFor(QWidget& owner);

    // Lets pending window messages run, advances the bar by its step, and with setStep nonzero
    // chooses the step for the rest of the transfer from the firmware variant (an unknown
    // variant keeps the step).
    void StepProgress(int setStep, uint32_t variant);

    // Where the transfer stands. The bar shows at most its maximum; the last advance of a long
    // transfer goes one past it.
    int Position() const { return position_; }
    int Step() const { return step_; }

    QLabel* LabelProg;
    QProgressBar* ProgressBar;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  public slots:
    // Escape must not hide the window in the middle of a transfer.
    void reject() override {}

  private:
    void FormShow();
    void FormClose();
    void SetPosition(int position);

    static constexpr int kDesignStep = 3;
    int position_ = 0;
    int step_ = kDesignStep;
};
