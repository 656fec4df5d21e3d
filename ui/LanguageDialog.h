#pragma once

#include <QDialog>

// The first window: the languages found beside the program; OK loads one and moves on to the
// port selection.
class TTLanguageDialog : public QDialog {
    Q_OBJECT
  public:
    explicit TTLanguageDialog(QWidget* parent = nullptr);
};
