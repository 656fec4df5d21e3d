// Helpers of the configuration sheet's widget tests: the process-wide state a sheet needs and
// the user's actions on its controls.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/LanguageTable.h"
#include "link/SerialPortParameter.h"
#include "model/RegisterImage.h"
#include "ui/PropSheet.h"
#include "ui/UpDown.h"

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QListWidget;
class QWidget;

namespace sheet_test {

// Writes one LanguageTable entry (the bytes as a language file holds them).
void SetLanguageEntry(int number, const std::string& text);

// A sheet with what it relies on: placeholder language texts ("Text NNN"), a zeroed register
// image, a serial connection whose identity is "KFT018-01-04" and hardware value 0. Tests fill
// the image, show the sheet and act on it.
class SheetTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    RegisterImage& Image() { return *RegisterImageStorage; }
    // Input n's registers: type and delay byte, lower and upper threshold.
    void SetInputRow(int n, uint8_t type, uint8_t delay, uint16_t lower, uint16_t upper);
    // Shows the sheet (its show handler runs) and waits until it has the focus.
    bool Show();
    // Shows the sheet and clicks the tab of page.
    bool ShowOn(QWidget* page);

    template <class Widget>
    Widget* Find(const QString& name) const {
        auto* widget = sheet->findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QComboBox* Combo(const QString& name) const;
    QLineEdit* Edit(const QString& name) const;
    QListWidget* List(const QString& name) const;
    QAbstractButton* Button(const QString& name) const;
    UpDown* Spinner(const QString& name) const;

    // What a widget of a numbered family is called: Named("EditSup", 3) is "EditSup3".
    static QString Named(const char* family, int n);

    std::unique_ptr<TTPropSheet> sheet;
};

// The user's actions.
// Opens the drop-down list, moves to the entry and takes it with Return.
void PickEntry(QComboBox* combo, int entry);
// Clicks into the field, selects its whole text, deletes it and types.
void TypeInto(QLineEdit* field, const QString& text);
// Presses Tab in the control that has the focus.
void TabAway();
void Click(QAbstractButton* button);
void ClickArrow(UpDown* spinner, UpDown::Button button);
void ClickTab(TTPropSheet& sheet, QWidget* page);
// Clicks an item of a list box, with Ctrl to add it to the selection.
void ClickItem(QListWidget* list, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// What the user sees, as plain strings so that failures print readably.
using Texts = std::vector<std::string>;
Texts Items(const QComboBox* combo);
Texts Items(const QListWidget* list);
Texts SelectedItems(const QListWidget* list);
std::string Shown(const QComboBox* combo);  // the current entry's text, "" without one
std::string Shown(const QLineEdit* field);
// "Text 060" and so on: the placeholder of a LanguageTable entry.
std::string Placeholder(int number);

}  // namespace sheet_test
