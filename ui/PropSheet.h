#pragma once

#include <QDialog>

// The configuration sheet: four serial-port pages, the inputs and the outputs.
class TTPropSheet : public QDialog {
    Q_OBJECT
  public:
    explicit TTPropSheet(QWidget* parent = nullptr);

    // Tabs of the inputs and outputs pages, set by the configuration loop per card read.
    void SetInputOutputPagesVisible(bool visible);
};
