#pragma once

#include <QDialog>
#include <array>

#include "link/CardBatch.h"

class QCloseEvent;
class QFrame;
class QLabel;
class QPushButton;
class QShowEvent;

// Summary of the port settings and the programming of the card. Result 1 after a complete
// write, 2 from the cancel button; a failed write leaves the dialog open for another try.
class TTProgramDialog : public QDialog {
    Q_OBJECT
  public:
    explicit TTProgramDialog(QWidget* parent = nullptr);

    // Fixed texts, then the summary cells from the RegisterImage.
    void FormShow();
    // Escape and the close box give result 2, like the cancel button; while a programming runs
    // the dialog cannot be closed.
    void reject() override;

  public slots:
    void ButtonProgClick();
    void ButtonCancelClick();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // The cells from the RegisterImage.
    void ShowSummary();
    // Each cell's screen-reader name: its column, its row and its value.
    void NameSummaryCells();
    // Ends a failed programming: progress closed, error shown, buttons usable again.
    void FailProgramming(const BatchResult& result);
    void SetButtonsEnabled(bool enabled);

    bool programming_ = false;

    QLabel* LabelProgParam;
    QLabel* LabelCOM0;
    QLabel* LabelCOM1;
    QLabel* LabelCOM2;
    QLabel* LabelCOM3;
    QLabel* LabelProt;
    QLabel* LabelSerial;
    QLabel* LabelParity;
    QLabel* LabelStop;
    QLabel* LabelAddress;
    std::array<QLabel*, 4> LabelProtN;    // LabelProt0 to LabelProt3
    std::array<QLabel*, 4> LabelBaudN;    // LabelBaud0 to LabelBaud3
    std::array<QLabel*, 4> LabelParityN;  // LabelParity0 to LabelParity3
    std::array<QLabel*, 4> LabelStopN;    // LabelStop0 to LabelStop3
    std::array<QLabel*, 4> LabelAddN;     // LabelAdd0 to LabelAdd3
    std::array<QFrame*, 10> PanelN;       // Panel1 to Panel10: the grid lines
    QPushButton* ButtonProg;
    QPushButton* ButtonCancel;
};
