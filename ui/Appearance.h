#pragma once

class QApplication;

// What every window of the program shares: the application font (an 11-pixel sans, so the
// fixed layouts hold on every machine) and Qt's own texts in the system's language.
void ApplyApplicationAppearance(QApplication& application);
