#include "ui/ProgramDialog.h"

TTProgramDialog::TTProgramDialog(QWidget* parent) : QDialog(parent) {}
