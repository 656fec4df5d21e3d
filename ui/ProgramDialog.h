#pragma once

#include <QDialog>

// Summary of the port settings and the programming of the card.
class TTProgramDialog : public QDialog {
    Q_OBJECT
  public:
    explicit TTProgramDialog(QWidget* parent = nullptr);
};
