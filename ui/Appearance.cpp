#include "ui/Appearance.h"

#include <QApplication>
#include <QFont>

void ApplyApplicationAppearance(QApplication& application) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    application.setFont(font);
}
