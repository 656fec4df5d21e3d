#include "ui/ProgressDialog.h"

TTProgressDialog::TTProgressDialog(QWidget* parent) : QDialog(parent) {}

void TTProgressDialog::StepProgress(int, uint32_t) {}
