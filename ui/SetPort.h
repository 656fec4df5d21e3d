#pragma once

#include <QDialog>

// Port selection: the user picks the PC's serial port; OK reads the card and runs the
// configuration loop. Its constructor creates the process-wide SerialPortParameter.
class TTSetPortParam : public QDialog {
    Q_OBJECT
  public:
    explicit TTSetPortParam(QWidget* parent = nullptr);
};
