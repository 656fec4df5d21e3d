// Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PageDown and Ctrl+PageUp turn the sheet's pages from every
// kind of control, and never reach a drop-down list (where PageDown picks the last entry).
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <string>
#include <vector>

#include "sheet_helpers.h"

namespace sheet_test {
namespace {

struct PageKey {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int direction;
    const char* name;
};

const PageKey kPageKeys[] = {
    {Qt::Key_Tab, Qt::ControlModifier, 1, "Ctrl+Tab"},
    {Qt::Key_PageDown, Qt::ControlModifier, 1, "Ctrl+PageDown"},
    {Qt::Key_PageUp, Qt::ControlModifier, -1, "Ctrl+PageUp"},
    // From the window system Shift+Tab arrives as Backtab; from elsewhere as Tab with Shift.
    {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, -1, "Ctrl+Shift+Tab"},
    {Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier, -1, "Ctrl+Shift+Tab (as Tab)"},
};

// A control of each kind, on the page it lies on; "tabs" is the page control's tab bar.
struct Start {
    const char* page;
    const char* control;
};

const Start kStarts[] = {
    {"Com0Dialog", "ComboProt"},     {"Com0Dialog", "ComboBaud"},
    {"Com0Dialog", "tabs"},          {"Com0Dialog", "OKBtn"},
    {"Com0Dialog", "CancelBtn"},     {"Com1Dialog", "tabs"},
    {"Com2Dialog", "ComboProt2"},    {"Com2Dialog", "ComboStop2"},
    {"Com2Dialog", "EditAddress"},   {"Com3Dialog", "tabs"},
    {"InputDialog", "ComboInput3"},  {"InputDialog", "EditSup3"},
    {"InputDialog", "EditInf8"},     {"InputDialog", "EditDelay5"},
    {"OutputDialog", "ComboOutput"}, {"OutputDialog", "ComboLogic"},
    {"OutputDialog", "ListEvent"},   {"OutputDialog", "ListEventAss"},
    {"OutputDialog", "ButtonAdd"},   {"OutputDialog", "ButtonSub"},
    {"OutputDialog", "OKBtn"},
};

const char* const kPageOrder[] = {"Com0Dialog", "Com1Dialog",  "Com2Dialog",
                                  "Com3Dialog", "InputDialog", "OutputDialog"};

class PageKeys : public SheetTest {
  protected:
    void Prepare(bool inputOutputPages) {
        Image().SetValue(2, 0x0121);  // COM2 on MODBUS RTU: its address field takes the focus
        Image().SetValue(8, 0x0003);  // two events assigned to the first output
        for (int n = 1; n <= 8; ++n) {
            SetInputRow(n, 3, 5, 10, 90);
        }
        sheet->SetInputOutputPagesVisible(inputOutputPages);
    }

    QWidget* Page(const char* name) const { return Find<QWidget>(QString::fromLatin1(name)); }

    QWidget* Control(const char* name) const {
        if (std::string(name) == "tabs") {
            return sheet->PageControl->tabBar();
        }
        return Find<QWidget>(QString::fromLatin1(name));
    }

    std::string CurrentPage() const {
        return sheet->PageControl->currentWidget()->objectName().toStdString();
    }

    // Everything the user could have changed, as text, by control name (showing a page reorders
    // the pages among their siblings).
    Texts Values() const {
        Texts values;
        for (const QComboBox* combo : sheet->findChildren<QComboBox*>()) {
            values.push_back(combo->objectName().toStdString() + "=" + Shown(combo));
        }
        for (const QLineEdit* field : sheet->findChildren<QLineEdit*>()) {
            values.push_back(field->objectName().toStdString() + "=" + Shown(field));
        }
        for (const QListWidget* list : sheet->findChildren<QListWidget*>()) {
            values.push_back(list->objectName().toStdString() + "=" +
                             std::to_string(list->count()));
        }
        std::sort(values.begin(), values.end());
        return values;
    }
};

// The page a key leads to from `page`, over the visible pages in their order, round the end.
std::string Neighbour(const char* page, int direction, int visiblePages) {
    int index = 0;
    while (std::string(kPageOrder[index]) != page) {
        ++index;
    }
    return kPageOrder[(index + direction + visiblePages) % visiblePages];
}

TEST_F(PageKeys, EachKeyTurnsThePageFromEveryKindOfControlAndChangesNoValue) {
    Prepare(true);
    ASSERT_TRUE(Show());
    for (const Start& start : kStarts) {
        for (const PageKey& key : kPageKeys) {
            const std::string where = std::string(key.name) + " from " + start.control;
            sheet->PageControl->setCurrentWidget(Page(start.page));
            QWidget* control = Control(start.control);
            control->setFocus(Qt::TabFocusReason);
            ASSERT_TRUE(control->hasFocus()) << where;
            const Texts before = Values();
            QTest::keyClick(control, key.key, key.modifiers);
            EXPECT_EQ(CurrentPage(), Neighbour(start.page, key.direction, 6)) << where;
            EXPECT_EQ(Values(), before) << where;
        }
    }
}

TEST_F(PageKeys, HiddenPagesAreSkipped) {
    Prepare(false);
    ASSERT_TRUE(ShowOn(Page("Com3Dialog")));
    QTest::keyClick(sheet->PageControl->tabBar(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(CurrentPage(), "Com0Dialog");
    sheet->ComboProt->setFocus(Qt::TabFocusReason);
    QTest::keyClick(sheet->ComboProt, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(CurrentPage(), "Com3Dialog");
    EXPECT_EQ(Shown(sheet->ComboProt), "NEXPR");
    EXPECT_EQ(Shown(sheet->ComboBaud), "");
}

// Turning the page from a list leaves the focus on the tabs: the next key a technician types
// changes no value on the new page.
TEST_F(PageKeys, TheFocusWaitsOnTheTabsOfTheNewPage) {
    Prepare(true);
    ASSERT_TRUE(Show());
    sheet->ComboProt->setFocus(Qt::TabFocusReason);
    QTest::keyClick(sheet->ComboProt, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), sheet->PageControl->tabBar());
}

// In an open drop-down the keys page its entries as PageDown and PageUp do, with the highlight;
// the sheet's page stays, and the field keeps its value until the technician picks an entry.
TEST_F(PageKeys, InAnOpenListTheKeysMoveItsHighlight) {
    Prepare(true);
    ASSERT_TRUE(Show());
    QComboBox* list = sheet->ComboBaud;
    list->setFocus(Qt::TabFocusReason);
    list->setCurrentIndex(0);
    const std::string shown = Shown(list);
    list->showPopup();
    QAbstractItemView* entries = list->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(entries->window()));
    ASSERT_EQ(entries->currentIndex().row(), 0);
    const struct {
        Qt::Key key;
        int row;  // the highlighted entry afterwards
    } steps[] = {{Qt::Key_PageDown, list->count() - 1}, {Qt::Key_PageUp, 0}};
    for (const auto& step : steps) {
        // As the window system delivers it: to the open list's window, past the shortcuts.
        QTest::keyClick(entries->window()->windowHandle(), step.key, Qt::ControlModifier);
        EXPECT_EQ(entries->currentIndex().row(), step.row);
        EXPECT_TRUE(entries->selectionModel()->isSelected(entries->currentIndex()));
        EXPECT_TRUE(entries->isVisible());
        EXPECT_EQ(CurrentPage(), "Com0Dialog");
        EXPECT_EQ(Shown(list), shown);
    }
    list->hidePopup();
}

}  // namespace
}  // namespace sheet_test
