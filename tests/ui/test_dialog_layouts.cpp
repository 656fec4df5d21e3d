// Every dialog as designed: each control's place and size inside its parent, where its caption
// comes from (a LanguageTable number or a fixed text) and whether it is enabled and shown.
// A swapped caption or a moved control fails here.
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QTest>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/AppState.h"
#include "app/LanguageTable.h"
#include "model/RegisterImage.h"
#include "program_helpers.h"
#include "sheet_helpers.h"
#include "tests/support/ProcessState.h"
#include "ui/LanguageDialog.h"
#include "ui/ProgramDialog.h"
#include "ui/ProgressDialog.h"
#include "ui/SetPort.h"

namespace {

constexpr int kAny = -1;  // a measure the design leaves to the toolkit (an autosized label)

// Where a control's caption comes from.
struct Caption {
    enum class Kind { None, Language, Fixed };
    Kind kind = Kind::None;
    int number = 0;
    std::string text;
};
Caption Lt(int number) {
    return {Caption::Kind::Language, number, ""};
}
Caption Fixed(std::string text) {
    return {Caption::Kind::Fixed, 0, std::move(text)};
}
const Caption kNoCaption{};

struct Control {
    std::string name;
    int x;
    int y;
    int width;
    int height;
    Caption caption = kNoCaption;
    bool enabled = true;
    bool visible = true;
};

// The caption a control shows: a label's or a button's text, a group box's title.
QString CaptionOf(const QWidget& widget) {
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        return button->text();
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(&widget)) {
        return group->title();
    }
    return {};
}

std::string Expected(const Caption& caption) {
    switch (caption.kind) {
        case Caption::Kind::Language:
            return sheet_test::Placeholder(caption.number);
        case Caption::Kind::Fixed:
            return caption.text;
        case Caption::Kind::None:
            break;
    }
    return {};
}

void ExpectLayout(const QWidget& dialog, const std::vector<Control>& table) {
    for (const Control& c : table) {
        SCOPED_TRACE(c.name);
        const auto* widget = dialog.findChild<QWidget*>(QString::fromStdString(c.name));
        ASSERT_NE(widget, nullptr);
        const QRect at = widget->geometry();
        EXPECT_EQ(at.x(), c.x);
        EXPECT_EQ(at.y(), c.y);
        if (c.width != kAny) {
            EXPECT_EQ(at.width(), c.width);
        }
        if (c.height != kAny) {
            EXPECT_EQ(at.height(), c.height);
        }
        if (c.caption.kind != Caption::Kind::None) {
            EXPECT_EQ(CaptionOf(*widget).toStdString(), Expected(c.caption));
        }
        EXPECT_EQ(widget->isEnabled(), c.enabled);
        EXPECT_EQ(!widget->isHidden(), c.visible);
    }
}

// The language dialog, the port selection and the progress dialog on placeholder texts. The
// language list holds whatever files lie where the tests run: the layout does not depend on it.
class DialogLayout : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(CreateLanguageTable(), 0);
        RegisterImageStorage = std::make_unique<RegisterImage>();
    }
    void TearDown() override { ClearProcessState(); }
};

TEST_F(DialogLayout, LanguageDialog) {
    TTLanguageDialog dialog;
    dialog.show();
    EXPECT_EQ(dialog.size(), QSize(232, 114));
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Set Language");
    ExpectLayout(dialog, {
                             {"GroupBox1", 8, 8, 216, 65, Fixed("")},
                             {"ComboLanguage", 21, 32, 193, kAny},
                             {"ButtonOk", 143, 80, 81, 25, Fixed("Ok")},
                         });
    dialog.hide();
}

TEST_F(DialogLayout, PortSelection) {
    TTSetPortParam dialog;
    dialog.show();
    EXPECT_EQ(dialog.size(), QSize(186, 113));
    EXPECT_EQ(dialog.windowTitle().toStdString(), sheet_test::Placeholder(0) + " - Version 1.4");
    ExpectLayout(dialog, {
                             {"GroupPort", 8, 8, 169, 65, Lt(3)},
                             {"ComboPort", 17, 27, 138, kAny},
                             {"ButtonOk", 10, 79, 81, 25, Lt(1)},
                             {"ButtonCancel", 97, 79, 81, 25, Lt(2)},
                         });
    EXPECT_EQ(dialog.ComboPort->parentWidget(), dialog.GroupPort);
    dialog.hide();
}

TEST_F(DialogLayout, ProgressDialog) {
    TTProgressDialog dialog;
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Progress");
    EXPECT_EQ(dialog.LabelProg->text().toStdString(), "Wait");
    dialog.show();
    EXPECT_EQ(dialog.size(), QSize(322, 63));
    ExpectLayout(dialog, {
                             {"LabelProg", 16, 7, kAny, kAny, Lt(40)},
                             {"ProgressBar", 16, 26, 289, 25},
                         });
    EXPECT_EQ(dialog.ProgressBar->minimum(), 0);
    EXPECT_EQ(dialog.ProgressBar->maximum(), 100);
    dialog.close();
}

TEST(ProgramDialogLayout, GridOfAZeroedImage) {
    program_test::ProgrammingSetUp state;
    TTProgramDialog dialog;
    dialog.show();
    EXPECT_EQ(dialog.size(), QSize(429, 316));
    EXPECT_EQ(dialog.windowTitle().toStdString(), sheet_test::Placeholder(23));
    std::vector<Control> table = {
        {"LabelProgParam", 95, 19, kAny, kAny, Lt(24)}, {"LabelCOM0", 104, 64, 65, kAny, Lt(33)},
        {"LabelCOM1", 184, 64, kAny, kAny, Lt(34)},  // sized to its text
        {"LabelCOM2", 264, 64, 65, kAny, Lt(35)},       {"LabelCOM3", 344, 64, 65, kAny, Lt(41)},
        {"LabelProt", 24, 111, 65, kAny, Lt(10)},       {"LabelSerial", 24, 150, 65, kAny, Lt(9)},
        {"LabelParity", 24, 170, 65, kAny, Lt(17)},     {"LabelStop", 24, 190, 65, kAny, Lt(18)},
        {"LabelAddress", 24, 230, 65, kAny, Lt(32)},    {"ButtonProg", 241, 277, 81, 25, Lt(29)},
        {"ButtonCancel", 336, 277, 81, 25, Lt(30)},
    };
    // The cells of a zeroed image: NEXPR everywhere, baud code 0 and parity code 0 unknown.
    const int columns[] = {104, 184, 264, 344};
    for (int port = 0; port < 4; ++port) {
        const std::string n = std::to_string(port);
        const int x = columns[port];
        table.push_back({"LabelProt" + n, x, 111, 65, kAny, Fixed("NEXPR")});
        table.push_back({"LabelBaud" + n, x, 150, 65, kAny, Fixed("---")});
        table.push_back({"LabelParity" + n, x, 170, 65, kAny, Fixed("---")});
        table.push_back({"LabelStop" + n, x, 190, 65, kAny, Fixed(port == 0 ? "---" : "1")});
        table.push_back({"LabelAdd" + n, x, 229, 65, kAny, Fixed(port == 2 ? "0" : "---")});
    }
    // The grid: vertical bars from the top line to below the bottom line, horizontal bars from
    // the left line to beyond the right line, all 3 pixels thick.
    const int verticals[] = {95, 174, 256, 335, 414};
    const int horizontals[] = {46, 94, 136, 214, 256};
    for (int k = 0; k < 5; ++k) {
        table.push_back({"Panel" + std::to_string(k + 1), verticals[k], 46, 3, 256 + 3 - 46});
        table.push_back({"Panel" + std::to_string(k + 6), 95, horizontals[k], 414 + 3 - 95, 3});
    }
    ExpectLayout(dialog, table);
    dialog.hide();
}

// The configuration sheet, every page, for a card with COM2 on NEXPR and all inputs on volts.
class SheetLayout : public sheet_test::SheetTest {};

TEST_F(SheetLayout, FrameTabsAndButtons) {
    sheet->SetInputOutputPagesVisible(true);
    ASSERT_TRUE(Show());
    EXPECT_EQ(sheet->size(), QSize(392, 423));
    ExpectLayout(*sheet, {
                             {"Tabbed", 0, 0, 392, 389},
                             {"PageControl", 5, 5, 382, 379},
                             {"Control", 0, 389, 392, 34},
                             {"OKBtn", 218, 2, 81, 25, Lt(4)},
                             {"CancelBtn", 306, 2, 81, 25, Lt(30)},
                         });
    const std::pair<QWidget*, int> tabs[] = {
        {sheet->Com0Dialog, 6},  {sheet->Com1Dialog, 25},  {sheet->Com2Dialog, 11},
        {sheet->Com3Dialog, 27}, {sheet->InputDialog, 47}, {sheet->OutputDialog, 56},
    };
    int index = 0;
    for (const auto& [page, number] : tabs) {
        EXPECT_EQ(sheet->PageControl->indexOf(page), index++);
        EXPECT_EQ(sheet->PageControl->tabText(sheet->PageControl->indexOf(page)).toStdString(),
                  sheet_test::Placeholder(number));
    }
    EXPECT_EQ(sheet->PageControl->currentWidget(), sheet->Com0Dialog);
}

// The rows of a port page: labels at x 68 (74 wide), lists at x 155 (116 wide, 21 high).
void AddPortRows(std::vector<Control>& table, const std::string& port, bool enabled,
                 bool lineEnabled) {
    const struct {
        const char* label;
        const char* list;
        int y;
        int caption;
        bool followsProtocol;
    } rows[] = {
        {"LabelProt", "ComboProt", 35, 10, false},
        {"LabelBaud", "ComboBaud", 70, 9, false},
        {"LabelParity", "ComboParity", 105, 17, true},
        {"LabelStopBit", "ComboStop", 140, 18, true},
    };
    for (const auto& row : rows) {
        const bool on = enabled && (lineEnabled || !row.followsProtocol);
        table.push_back({row.label + port, 68, row.y, 74, kAny, Lt(row.caption), on});
        table.push_back({row.list + port, 155, row.y, 116, 21, kNoCaption, on});
    }
}

TEST_F(SheetLayout, PortPages) {
    Image().SetValue(2, 0x0021);  // COM2 on NEXPR: its line and address controls disabled
    ASSERT_TRUE(Show());
    std::vector<Control> table = {
        {"GroupCom0", 30, 22, 320, 195, Lt(8)},
        {"LabelProt", 68, 35, 74, kAny, Lt(10)},
        {"ComboProt", 155, 35, 116, 21},
        {"LabelBaud", 68, 104, 74, kAny, Lt(9)},
        {"ComboBaud", 155, 104, 116, 21},
        {"GroupCom1", 30, 22, 320, 195, Lt(26)},
        {"GroupCom2", 30, 22, 320, 195, Lt(12)},
        {"GroupAddress", 30, 224, 321, 97, Lt(7)},
        {"LabelAddress", 68, 30, kAny, kAny, Lt(32), false},
        {"EditAddress", 155, 26, 50, kAny, kNoCaption, false},
        {"UpDownAddress", 205, 26, 15, kAny, kNoCaption, false},
        {"LabelHardware", 68, 66, kAny, kAny, Lt(13), false},
        {"EditHardware", 155, 62, 70, kAny, kNoCaption, false},
        {"GroupCom3", 30, 22, 320, 195, Lt(28), false},
    };
    AddPortRows(table, "1", false, false);
    AddPortRows(table, "2", true, false);
    AddPortRows(table, "3", false, false);
    ExpectLayout(*sheet, table);
    EXPECT_EQ(sheet->GroupCom0->parentWidget(), sheet->Com0Dialog);
    EXPECT_EQ(sheet->ComboProt2->parentWidget(), sheet->GroupCom2);
    EXPECT_EQ(sheet->EditAddress->parentWidget(), sheet->GroupAddress);
}

TEST_F(SheetLayout, InputsPage) {
    for (int n = 1; n <= 8; ++n) {
        SetInputRow(n, 1, 0, 0, 1023);
    }
    sheet->SetInputOutputPagesVisible(true);
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    std::vector<Control> table = {
        {"LabelType", kAny, 21, kAny, kAny, Lt(48)},
        {"LabelSup", kAny, 21, kAny, kAny, Lt(49)},
        {"LabelInf", kAny, 21, kAny, kAny, Lt(50)},
        {"LabelDelay", kAny, 21, kAny, kAny, Lt(51)},
    };
    for (int n = 1; n <= 8; ++n) {
        const std::string k = std::to_string(n);
        const int y = 57 + 33 * (n - 1);
        table.push_back({"LabelInput" + k, 10, y, kAny, kAny, Fixed("Input " + k)});
        table.push_back({"ComboInput" + k, 64, y, 97, 21});
        table.push_back({"EditSup" + k, 178, y, 28, kAny});
        table.push_back({"LabelSup" + k, 210, y, kAny, kAny, Fixed("V")});
        table.push_back({"EditInf" + k, 243, y, kAny, kAny});
        table.push_back({"LabelInf" + k, 275, y, kAny, kAny, Fixed("V")});
        table.push_back({"EditDelay" + k, 308, y, 31, kAny});
        table.push_back({"UpDownDelay" + k, 339, y, kAny, kAny});
    }
    // The headings' x is not designed: take it from the widget, check the rest.
    for (Control& c : table) {
        if (c.x == kAny) {
            c.x = sheet->findChild<QWidget*>(QString::fromStdString(c.name))->x();
        }
    }
    ExpectLayout(*sheet, table);
}

TEST_F(SheetLayout, OutputsPage) {
    sheet->SetInputOutputPagesVisible(true);
    ASSERT_TRUE(ShowOn(sheet->OutputDialog));
    ExpectLayout(*sheet, {
                             {"LabelOutput", 19, 24, kAny, kAny, Lt(57)},
                             {"ComboOutput", 19, 44, 145, 21},
                             {"LabelLogic", 208, 24, kAny, kAny, Lt(95)},
                             {"ComboLogic", 208, 44, 145, 21},
                             {"LabelEvent", 19, 98, kAny, kAny, Lt(58)},
                             {"ListEvent", 19, 115, 145, 201},
                             {"LabelEventAss", 208, 98, kAny, kAny, Lt(59)},
                             {"ListEventAss", 208, 114, 145, 201},
                             {"ButtonAdd", 167, 163, 39, 25},
                             {"ButtonSub", 167, 220, 39, 25, kNoCaption, false},
                         });
}

TEST_F(SheetLayout, HiddenInputAndOutputPages) {
    sheet->SetInputOutputPagesVisible(false);
    ASSERT_TRUE(Show());
    EXPECT_FALSE(sheet->PageControl->isTabVisible(sheet->PageControl->indexOf(sheet->InputDialog)));
    EXPECT_FALSE(
        sheet->PageControl->isTabVisible(sheet->PageControl->indexOf(sheet->OutputDialog)));
    for (QWidget* page :
         {sheet->Com0Dialog, sheet->Com1Dialog, sheet->Com2Dialog, sheet->Com3Dialog}) {
        EXPECT_TRUE(sheet->PageControl->isTabVisible(sheet->PageControl->indexOf(page)));
    }
}

}  // namespace
