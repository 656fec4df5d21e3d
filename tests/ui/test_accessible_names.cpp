// What a screen reader hears for each control: the name of every field, arrow, list and button
// of the sheet, the names of the drop-down lists, and each value of the programming summary with
// its port and row.
#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <set>
#include <string>

#include "sheet_helpers.h"
#include "tests/ui/program_helpers.h"
#include "ui/Accessibility.h"
#include "ui/LanguageDialog.h"
#include "ui/ProgramDialog.h"

namespace sheet_test {
namespace {

std::string NameOf(QObject* object) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
    return accessible != nullptr ? accessible->text(QAccessible::Name).toStdString() : "<none>";
}

std::string ArrowName(UpDown* spinner, const char* arrow) {
    return NameOf(spinner->findChild<QToolButton*>(QString::fromLatin1(arrow)));
}

class AccessibleNames : public SheetTest {
  protected:
    void SetUp() override {
        InstallAccessibleNames();
        SheetTest::SetUp();
        SetLanguageEntry(48, "Type");
        SetLanguageEntry(49, "Upper");
        SetLanguageEntry(50, "Lower");
        SetLanguageEntry(51, "Delay");
        SetLanguageEntry(100, "up");
        SetLanguageEntry(101, "down");
    }
};

struct RowControl {
    const char* family;
    const char* name;  // after "Input n "
};

const RowControl kRowControls[] = {
    {"ComboInput", "Type"}, {"EditSup", "Upper"}, {"EditInf", "Lower"}, {"EditDelay", "Delay"}};

TEST_F(AccessibleNames, EveryInputFieldSaysWhichInputAndWhichValue) {
    for (int n = 1; n <= 8; ++n) {
        SetInputRow(n, 1, 5, 100, 400);
    }
    sheet->SetInputOutputPagesVisible(true);
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    std::set<std::string> names;
    for (int n = 1; n <= 8; ++n) {
        const std::string input = "Input " + std::to_string(n) + " ";
        for (const RowControl& control : kRowControls) {
            const std::string name = NameOf(Find<QWidget>(Named(control.family, n)));
            EXPECT_EQ(name, input + control.name);
            names.insert(name);
        }
        UpDown* spinner = Spinner(Named("UpDownDelay", n));
        EXPECT_EQ(ArrowName(spinner, "Up"), input + "Delay up");
        EXPECT_EQ(ArrowName(spinner, "Down"), input + "Delay down");
    }
    EXPECT_EQ(names.size(), 32u);
}

TEST_F(AccessibleNames, TheAddressArrowsSayWhatTheyDo) {
    SetLanguageEntry(32, "Address");
    ASSERT_TRUE(ShowOn(sheet->Com2Dialog));
    EXPECT_EQ(ArrowName(sheet->UpDownAddress, "Up"), "Address up");
    EXPECT_EQ(ArrowName(sheet->UpDownAddress, "Down"), "Address down");
}

TEST_F(AccessibleNames, OutputListsAndButtonsAreNamedForTheChosenOutput) {
    SetLanguageEntry(58, "All events");
    SetLanguageEntry(59, "Assigned events");
    SetLanguageEntry(102, "Add");
    SetLanguageEntry(103, "Remove");
    SetLanguageEntry(104, "Assign the selected events");
    SetLanguageEntry(105, "Remove the selected events");
    sheet->SetInputOutputPagesVisible(true);
    ASSERT_TRUE(ShowOn(sheet->OutputDialog));
    PickEntry(sheet->ComboOutput, 2);
    EXPECT_EQ(NameOf(sheet->ListEvent), "Output3: All events");
    EXPECT_EQ(NameOf(sheet->ListEventAss), "Output3: Assigned events");
    EXPECT_EQ(NameOf(sheet->ButtonAdd), "Add");
    EXPECT_EQ(NameOf(sheet->ButtonSub), "Remove");
    EXPECT_EQ(sheet->ButtonAdd->toolTip().toStdString(), "Assign the selected events");
    EXPECT_EQ(sheet->ButtonSub->toolTip().toStdString(), "Remove the selected events");
}

// Lists showing the same entry are told apart by their labels, not by the entry.
TEST_F(AccessibleNames, DropDownListsAreNamedByTheirLabelNotTheirEntry) {
    SetLanguageEntry(10, "Protocol");
    ASSERT_TRUE(Show());
    EXPECT_EQ(NameOf(sheet->ComboProt), "Protocol");
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(sheet->ComboProt);
    EXPECT_EQ(accessible->text(QAccessible::Value).toStdString(), "NEXPR");
    EXPECT_EQ(accessible->role(), QAccessible::ComboBox);
    // A screen reader that walks into the list hears which list it is in.
    QAccessibleInterface* list = accessible->child(0);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->text(QAccessible::Name).toStdString(), "Protocol");
}

TEST(LanguageListName, IsTheDialogsCaptionNotTheCurrentLanguage) {
    InstallAccessibleNames();
    TTLanguageDialog dialog;
    auto* list = dialog.findChild<QComboBox*>(QStringLiteral("ComboLanguage"));
    EXPECT_EQ(NameOf(list), "Set Language");
    // The open list too.
    EXPECT_EQ(NameOf(list->view()), "Set Language");
}

TEST(ProgramSummaryNames, EachValueCarriesItsPortAndItsRow) {
    program_test::ProgrammingSetUp state;
    const std::pair<int, const char*> texts[] = {
        {9, "Baud"},  {10, "Protocol"}, {17, "Parity"}, {18, "Stop"}, {32, "Address"},
        {33, "COM0"}, {34, "COM1"},     {35, "COM2"},   {41, "COM3"}, {106, "not used"}};
    for (const auto& [number, text] : texts) {
        SetLanguageEntry(number, text);
    }
    RegisterImageStorage->SetValue(2, 0x0124);  // COM2: MODBUS, 9600
    TTProgramDialog dialog;
    dialog.show();
    const auto name = [&dialog](const char* cell) {
        return NameOf(dialog.findChild<QLabel*>(QString::fromLatin1(cell)));
    };
    EXPECT_EQ(name("LabelBaud2"), "COM2 Baud 9600");
    EXPECT_EQ(name("LabelProt2"), "COM2 Protocol MODBUS");
    // A dash cell is read as words.
    EXPECT_EQ(name("LabelAdd0"), "COM0 Address not used");
    std::set<std::string> names;
    for (const char* row : {"LabelProt", "LabelBaud", "LabelParity", "LabelStop", "LabelAdd"}) {
        for (int port = 0; port < 4; ++port) {
            names.insert(name((std::string(row) + std::to_string(port)).c_str()));
        }
    }
    EXPECT_EQ(names.size(), 20u);
}

}  // namespace
}  // namespace sheet_test
