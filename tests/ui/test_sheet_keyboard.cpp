// The configuration sheet from the keyboard and for screen readers: the order in which Tab
// reaches the controls, and the field each label names.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <string>
#include <vector>

#include "sheet_helpers.h"

namespace sheet_test {
namespace {

class Keyboard : public SheetTest {
  protected:
    // Name of the control that has the focus; the tab bar is "tabs".
    static std::string Focused() {
        QWidget* focused = QApplication::focusWidget();
        if (focused == nullptr) {
            return "<none>";
        }
        if (qobject_cast<QTabBar*>(focused) != nullptr) {
            return "tabs";
        }
        return focused->objectName().toStdString();
    }
    // From the tab bar, the controls Tab (or Shift+Tab) reaches, in order, until the tab bar
    // has the focus again (at most limit presses).
    Texts Round(Qt::KeyboardModifiers modifiers = Qt::NoModifier, int limit = 60) {
        sheet->PageControl->tabBar()->setFocus(Qt::TabFocusReason);
        Texts reached;
        for (int i = 0; i < limit; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
            const std::string now = Focused();
            if (now == "tabs") {
                return reached;
            }
            reached.push_back(now);
        }
        reached.push_back("<no way back to the tabs>");
        return reached;
    }
};

TEST_F(Keyboard, Com0PageThenOkThenCancel) {
    ASSERT_TRUE(Show());
    EXPECT_EQ(Round(), (Texts{"ComboProt", "ComboBaud", "OKBtn", "CancelBtn"}));
    EXPECT_EQ(Round(Qt::ShiftModifier), (Texts{"CancelBtn", "OKBtn", "ComboBaud", "ComboProt"}));
}

TEST_F(Keyboard, Com1AndCom3PagesHaveNoFieldToReach) {
    ASSERT_TRUE(ShowOn(sheet->Com1Dialog));
    EXPECT_EQ(Round(), (Texts{"OKBtn", "CancelBtn"}));
    ClickTab(*sheet, sheet->Com3Dialog);
    EXPECT_EQ(Round(), (Texts{"OKBtn", "CancelBtn"}));
}

TEST_F(Keyboard, Com2PageInDesignOrder) {
    Image().SetValue(2, 0x0121);  // MODBUS RTU: every line and address field enabled
    ASSERT_TRUE(ShowOn(sheet->Com2Dialog));
    EXPECT_EQ(Round(), (Texts{"ComboProt2", "ComboBaud2", "ComboParity2", "ComboStop2",
                              "EditAddress", "OKBtn", "CancelBtn"}));
}

TEST_F(Keyboard, InputsPageRowByRow) {
    for (int n = 1; n <= 8; ++n) {
        SetInputRow(n, 3, 0, 0, 100);
    }
    sheet->SetInputOutputPagesVisible(true);
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    Texts expected;
    for (int n = 1; n <= 8; ++n) {
        for (const char* family : {"ComboInput", "EditSup", "EditInf", "EditDelay"}) {
            expected.push_back(Named(family, n).toStdString());
        }
    }
    expected.insert(expected.end(), {"OKBtn", "CancelBtn"});
    EXPECT_EQ(Round(), expected);
}

TEST_F(Keyboard, OutputsPageInDesignOrder) {
    Image().SetValue(8, 0x0001);  // one assigned event: ButtonSub enabled
    sheet->SetInputOutputPagesVisible(true);
    ASSERT_TRUE(ShowOn(sheet->OutputDialog));
    EXPECT_EQ(Round(), (Texts{"ComboOutput", "ComboLogic", "ListEvent", "ListEventAss", "ButtonAdd",
                              "ButtonSub", "OKBtn", "CancelBtn"}));
}

TEST(SheetLabels, EachLabelNamesItsField) {
    TTPropSheet sheet;
    std::vector<std::pair<std::string, std::string>> buddies = {
        {"LabelProt", "ComboProt"},      {"LabelBaud", "ComboBaud"},
        {"LabelAddress", "EditAddress"}, {"LabelHardware", "EditHardware"},
        {"LabelType", "ComboInput1"},    {"LabelSup", "EditSup1"},
        {"LabelInf", "EditInf1"},        {"LabelDelay", "EditDelay1"},
        {"LabelOutput", "ComboOutput"},  {"LabelLogic", "ComboLogic"},
        {"LabelEvent", "ListEvent"},     {"LabelEventAss", "ListEventAss"},
    };
    for (const char* port : {"1", "2", "3"}) {
        const std::string p = port;
        buddies.insert(buddies.end(), {{"LabelProt" + p, "ComboProt" + p},
                                       {"LabelBaud" + p, "ComboBaud" + p},
                                       {"LabelParity" + p, "ComboParity" + p},
                                       {"LabelStopBit" + p, "ComboStop" + p}});
    }
    for (int n = 1; n <= 8; ++n) {
        const std::string k = std::to_string(n);
        buddies.insert(buddies.end(), {{"LabelInput" + k, "ComboInput" + k},
                                       {"LabelSup" + k, "EditSup" + k},
                                       {"LabelInf" + k, "EditInf" + k}});
    }
    for (const auto& [label, field] : buddies) {
        const auto* widget = sheet.findChild<QLabel*>(QString::fromStdString(label));
        ASSERT_NE(widget, nullptr) << label;
        ASSERT_NE(widget->buddy(), nullptr) << label;
        EXPECT_EQ(widget->buddy()->objectName().toStdString(), field) << label;
    }
    // No label of the sheet is left without its field.
    EXPECT_EQ(sheet.findChildren<QLabel*>().size(), static_cast<qsizetype>(buddies.size()));
}

class SheetLabelTexts : public SheetTest {};

TEST_F(SheetLabelTexts, AnAmpersandInALanguageTextIsShownNotTakenAsAShortcut) {
    SetLanguageEntry(10, "Protocol & mode");
    ASSERT_TRUE(Show());
    // Doubled for the toolkit, which then draws one ampersand and no underlined letter.
    EXPECT_EQ(sheet->LabelProt->text().toStdString(), "Protocol && mode");
}

}  // namespace
}  // namespace sheet_test
