#include "sheet_helpers.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <cstdio>

#include "app/AppState.h"
#include "app/LanguageTable.h"
#include "link/SerialPortParameter.h"
#include "tests/support/ProcessState.h"

namespace sheet_test {

namespace {

constexpr int kWaitMs = 5000;

}  // namespace

void SetLanguageEntry(int number, const std::string& text) {
    std::snprintf(LanguageTable[number].get(), kLanguageEntryLength + 1, "%s", text.c_str());
}

void SheetTest::SetUp() {
    ASSERT_EQ(CreateLanguageTable(), 0);
    RegisterImageStorage = std::make_unique<RegisterImage>();
    SerialPort = std::make_unique<SerialPortParameter>(nullptr);
    std::snprintf(SerialPort->Identity, sizeof SerialPort->Identity, "%s", "KFT018-01-04");
    HardwareBits = 0;
    sheet = std::make_unique<TTPropSheet>();
}

void SheetTest::TearDown() {
    sheet.reset();
    ClearProcessState();
}

void SheetTest::SetInputRow(int n, uint8_t type, uint8_t delay, uint16_t lower, uint16_t upper) {
    const int reg = 24 + 3 * (n - 1);
    Image().SetHigh(reg, type);
    Image().SetLow(reg, delay);
    Image().SetValue(reg + 1, lower);
    Image().SetValue(reg + 2, upper);
}

bool SheetTest::Show() {
    sheet->show();
    sheet->activateWindow();
    return QTest::qWaitForWindowActive(sheet.get(), kWaitMs);
}

bool SheetTest::ShowOn(QWidget* page) {
    if (!Show()) {
        return false;
    }
    ClickTab(*sheet, page);
    return sheet->PageControl->currentWidget() == page;
}

QComboBox* SheetTest::Combo(const QString& name) const {
    return Find<QComboBox>(name);
}

QLineEdit* SheetTest::Edit(const QString& name) const {
    return Find<QLineEdit>(name);
}

QListWidget* SheetTest::List(const QString& name) const {
    return Find<QListWidget>(name);
}

QAbstractButton* SheetTest::Button(const QString& name) const {
    return Find<QAbstractButton>(name);
}

UpDown* SheetTest::Spinner(const QString& name) const {
    return Find<UpDown>(name);
}

QString SheetTest::Named(const char* family, int n) {
    return QString::fromLatin1(family) + QString::number(n);
}

void PickEntry(QComboBox* combo, int entry) {
    QTest::mouseClick(combo, Qt::LeftButton);
    QAbstractItemView* view = combo->view();
    ASSERT_TRUE(QTest::qWaitFor([view] { return view->isVisible(); }, kWaitMs))
        << "the list did not open";
    view->setCurrentIndex(combo->model()->index(entry, combo->modelColumn()));
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([view] { return !view->isVisible(); }, kWaitMs))
        << "the list did not close";
}

void TypeInto(QLineEdit* field, const QString& text) {
    QTest::mouseClick(field, Qt::LeftButton);
    ASSERT_TRUE(field->hasFocus()) << field->objectName().toStdString();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

void TabAway() {
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    QTest::keyClick(focused, Qt::Key_Tab);
}

void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

void ClickArrow(UpDown* spinner, UpDown::Button button) {
    auto* arrow = spinner->findChild<QToolButton*>(
        button == UpDown::Button::Up ? QStringLiteral("Up") : QStringLiteral("Down"));
    ASSERT_NE(arrow, nullptr);
    QTest::mouseClick(arrow, Qt::LeftButton);
}

void ClickTab(TTPropSheet& sheet, QWidget* page) {
    QTabBar* bar = sheet.PageControl->tabBar();
    const int index = sheet.PageControl->indexOf(page);
    ASSERT_GE(index, 0);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
}

void ClickItem(QListWidget* list, int row, Qt::KeyboardModifiers modifiers) {
    QListWidgetItem* item = list->item(row);
    ASSERT_NE(item, nullptr);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                      list->visualItemRect(item).center());
}

Texts Items(const QComboBox* combo) {
    Texts items;
    for (int i = 0; i < combo->count(); ++i) {
        items.push_back(combo->itemText(i).toStdString());
    }
    return items;
}

Texts Items(const QListWidget* list) {
    Texts items;
    for (int i = 0; i < list->count(); ++i) {
        items.push_back(list->item(i)->text().toStdString());
    }
    return items;
}

Texts SelectedItems(const QListWidget* list) {
    Texts items;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->isSelected()) {
            items.push_back(list->item(i)->text().toStdString());
        }
    }
    return items;
}

std::string Shown(const QComboBox* combo) {
    return combo->currentIndex() < 0 ? std::string() : combo->currentText().toStdString();
}

std::string Shown(const QLineEdit* field) {
    return field->text().toStdString();
}

std::string Placeholder(int number) {
    char text[16];
    std::snprintf(text, sizeof text, "Text %.3d", number);
    return text;
}

}  // namespace sheet_test
