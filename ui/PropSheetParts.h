// Building blocks shared by the pages of the configuration sheet.
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <string>

#include "model/SheetState.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class UpDown;

namespace sheet_parts {

constexpr int kListHeight = 21;
constexpr int kFieldHeight = 21;

template <class Widget>
Widget* Make(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* widget = new Widget(parent);
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

QLabel* MakeRowLabel(QWidget* parent, const QString& name, int x, int y, int width);
QComboBox* MakeList(QWidget* parent, const QString& name, int x, int y, int width);
QString Numbered(const char* name, int n);
QPushButton* MakeGlyphButton(QWidget* parent, const QString& name, const QRect& geometry,
                             const char* glyph);
void FillList(QComboBox* combo, const QStringList& items, int entry);
QStringList LanguageItems(int first, int count);
// A LanguageTable text for a label tied to its field: an ampersand in it is shown, not taken
// as the mark of a shortcut key.
QString LabelCaption(int number);
// A word-wrapped label keeps its top line and width and becomes as tall as its text.
void FitHeightToText(QLabel* label);
// The spinner's arrows are named after its field: "Input 3 Delay ms up".
void NameArrows(UpDown* spinner, const QString& fieldName);
LineEntries ReadLine(const QComboBox* protocol, const QComboBox* baud, const QComboBox* parity,
                     const QComboBox* stop);
// The text a field shows, as its numbers are read: a masked field's blank positions are spaces
// (reading stops there), where QLineEdit::text() would drop them and join the digits around.
std::string Text(const QLineEdit* field);
// A correction replaces the text but leaves the caret where it was.
void ReplaceText(QLineEdit* field, const std::string& text);

}  // namespace sheet_parts
