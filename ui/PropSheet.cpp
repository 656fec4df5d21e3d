#include "ui/PropSheet.h"

TTPropSheet::TTPropSheet(QWidget* parent) : QDialog(parent) {}

void TTPropSheet::SetInputOutputPagesVisible(bool) {}
