#pragma once

#include <QStringList>

class QApplication;
class QCoreApplication;
class QLocale;
class QString;
class QTranslator;
class QWidget;

// What every window of the program shares: the application font (an 11-pixel DejaVu Sans, so
// the fixed layouts hold on every machine; loaded from the fonts folder beside the program
// where it comes with it, as on Windows) and Qt's own texts in the system's language.
void ApplyApplicationAppearance(QApplication& application);

// Adds the TrueType fonts of the folder to the application's fonts; the families they hold, in
// the order of their file names. A missing folder adds none.
QStringList LoadProgramFonts(const QString& folder);

// Installs Qt's shipped translations for the locale, so the toolkit's own texts (the buttons of
// message boxes) read as the system's do: the catalogue "qt" (what Qt's deployment tool leaves
// beside a Windows program), else "qtbase", from the folder translations beside the program,
// else from Qt's translations folder, or from the folder given.
// The translator belongs to the application; null when neither is there for that locale.
QTranslator* InstallQtTranslations(QCoreApplication& application, const QLocale& locale);
QTranslator* InstallQtTranslations(QCoreApplication& application, const QLocale& locale,
                                   const QString& folder);

// The dialog border: a title with a close box only, no minimise or maximise, a fixed size.
void SetDialogBorder(QWidget& dialog);

// The focus of a window that is about to be shown is drawn from the start, as after a Tab: a
// technician at the keyboard sees where the first key goes.
void ShowKeyboardFocus(QWidget& window);

// Places a window that is about to be shown, frame included, in the middle of its screen's free
// area, or in the middle of another window. Before its first showing the window manager's frame
// is unknown: the window is centred again once it is framed.
void CentreOnScreen(QWidget& window);
void CentreOnWindow(QWidget& window, const QWidget& other);
