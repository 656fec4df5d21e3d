#pragma once

#include <QString>

// Modal message boxes without an owner window, as the program shows its failures and advice.
void ShowErrorMessage(const QString& caption, const QString& text);
void ShowWarningMessage(const QString& caption, const QString& text);
// Texts and captions from the LanguageTable.
void ShowLanguageError(int textNumber, int captionNumber);
void ShowLanguageWarning(int textNumber, int captionNumber);
