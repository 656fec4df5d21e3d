#pragma once

#include <QString>
#include <vector>

#include "link/CardBatch.h"

class SerialPortParameter;

// Modal message boxes without an owner window, as the program shows its failures and advice.
void ShowErrorMessage(const QString& caption, const QString& text);
void ShowWarningMessage(const QString& caption, const QString& text);
// Texts and captions from the LanguageTable.
void ShowLanguageError(int textNumber, int captionNumber);
// The same with a second line that says more (which device, why).
void ShowLanguageError(int textNumber, int captionNumber, const QString& detail);
void ShowLanguageWarning(int textNumber, int captionNumber);
// A failed card batch: "cannot open" with the port name, its device and the reason on a second
// line (and what to do when the device is missing), or "no answer" from the card with why on a
// second line. A programming that stopped part-way passes its registers: a third line says what
// the card holds now.
void ShowBatchFailure(const BatchResult& result, const SerialPortParameter& port, int captionNumber,
                      const std::vector<int>& programmed = {});
