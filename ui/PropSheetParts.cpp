#include "ui/PropSheetParts.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/Glyphs.h"
#include "ui/Texts.h"
#include "ui/UpDown.h"

namespace sheet_parts {

QLabel* MakeRowLabel(QWidget* parent, const QString& name, int x, int y, int width) {
    auto* label = Make<QLabel>(parent, name, QRect(x, y, width, kListHeight));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QComboBox* MakeList(QWidget* parent, const QString& name, int x, int y, int width) {
    auto* combo = Make<QComboBox>(parent, name, QRect(x, y, width, kListHeight));
    combo->setEditable(false);
    return combo;
}

QString Numbered(const char* name, int n) {
    return QString::fromLatin1(name) + QString::number(n);
}

QPushButton* MakeGlyphButton(QWidget* parent, const QString& name, const QRect& geometry,
                             const char* glyph) {
    auto* button = Make<QPushButton>(parent, name, geometry);
    button->setIcon(GlyphIcon(glyph));
    button->setIconSize(QSize(16, 16));
    button->setAutoDefault(false);
    return button;
}

void FillList(QComboBox* combo, const QStringList& items, int entry) {
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(entry);
}

QStringList LanguageItems(int first, int count) {
    QStringList items;
    for (int number = first; number < first + count; ++number) {
        items << LanguageText(number);
    }
    return items;
}

QString LabelCaption(int number) {
    return LanguageText(number).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void FitHeightToText(QLabel* label) {
    label->resize(label->width(), label->heightForWidth(label->width()));
}

void NameArrows(UpDown* spinner, const QString& fieldName) {
    constexpr int kTextUp = 100;
    constexpr int kTextDown = 101;
    const QString space = QStringLiteral(" ");
    spinner->SetArrowNames(fieldName + space + LanguageTextOr(kTextUp, "up"),
                           fieldName + space + LanguageTextOr(kTextDown, "down"));
}

LineEntries ReadLine(const QComboBox* protocol, const QComboBox* baud, const QComboBox* parity,
                     const QComboBox* stop) {
    return {protocol->currentIndex(), baud->currentIndex(), parity->currentIndex(),
            stop->currentIndex()};
}

std::string Text(const QLineEdit* field) {
    return field->displayText().toStdString();
}

// A correction replaces the text but leaves the caret where it was.
void ReplaceText(QLineEdit* field, const std::string& text) {
    const int caret = field->cursorPosition();
    field->setText(QString::fromStdString(text));
    field->setCursorPosition(caret);
}

}  // namespace sheet_parts
