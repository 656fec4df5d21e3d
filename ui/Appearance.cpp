#include "ui/Appearance.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>
#include <QWidget>
#include <memory>

namespace {

void CentreOn(QWidget& window, const QRect& area) {
    QRect frame = window.frameGeometry();
    frame.moveCenter(area.center());
    window.move(frame.topLeft());
}

}  // namespace

void ApplyApplicationAppearance(QApplication& application) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    application.setFont(font);
    InstallQtTranslations(application, QLocale::system());
}

QTranslator* InstallQtTranslations(QCoreApplication& application, const QLocale& locale) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return nullptr;
    }
    translator->setParent(&application);
    QCoreApplication::installTranslator(translator.get());
    return translator.release();
}

void CentreOnScreen(QWidget& window) {
    if (const QScreen* screen = window.screen()) {
        CentreOn(window, screen->availableGeometry());
    }
}

void CentreOnWindow(QWidget& window, const QWidget& other) {
    CentreOn(window, other.frameGeometry());
}
