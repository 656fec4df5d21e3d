#include "ui/LanguageDialog.h"

TTLanguageDialog::TTLanguageDialog(QWidget* parent) : QDialog(parent) {}
