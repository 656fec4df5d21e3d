// Whole configuration passes against the virtual card on a pseudo-terminal, driven through the
// program's own dialogs: port selection, configuration sheet, programming.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <vector>

#include "app/AppState.h"
#include "tests/e2e/pass_helpers.h"
#include "tests/ui/program_helpers.h"
#include "tests/ui/sheet_helpers.h"
#include "ui/ProgramDialog.h"
#include "ui/PropSheet.h"
#include "ui/SetPort.h"

namespace {

using e2e_test::ConfigurationPass;
using e2e_test::Kft018Card;
using e2e_test::WhenModal;
using program_test::Kft018RegisterNumbers;
using program_test::Placeholder;
using program_test::PortRegisterNumbers;
using namespace sheet_test;

// Register by register, so that a failure names the registers that differ.
void ExpectSameRegisters(const RegisterImage& actual, const RegisterImage& expected) {
    for (int reg = 0; reg < RegisterImage::kRegisterCount; ++reg) {
        EXPECT_EQ(actual.Value(reg), expected.Value(reg)) << "register " << reg;
    }
}

// The text's first line; a failure's message says why on the lines below.
void ExpectMessage(const ShownMessage& shown, QMessageBox::Icon icon, int caption, int text) {
    EXPECT_EQ(shown.icon, icon);
    EXPECT_EQ(shown.caption, Placeholder(caption));
    EXPECT_EQ(shown.text.section('\n', 0, 0), Placeholder(text));
}

bool TabVisible(TTPropSheet& sheet, QWidget* page) {
    return sheet.PageControl->isTabVisible(sheet.PageControl->indexOf(page));
}

// What the user changes on the pages of the KFT018 card, and the registers that follow.
// COM1 and COM3 are shown only and cannot be changed.
void ChangeEveryPage(TTPropSheet& sheet) {
    ClickTab(sheet, sheet.Com0Dialog);
    PickEntry(sheet.ComboProt, 1);  // "KARVO" (presets "9600")
    PickEntry(sheet.ComboBaud, 2);  // "4800"

    ClickTab(sheet, sheet.Com2Dialog);
    PickEntry(sheet.ComboBaud2, 5);                       // "38400"
    PickEntry(sheet.ComboParity2, 1);                     // parity code 2
    PickEntry(sheet.ComboStop2, 1);                       // two stop bits
    ClickArrow(sheet.UpDownAddress, UpDown::Button::Up);  // 32 -> 64

    ClickTab(sheet, sheet.InputDialog);
    PickEntry(sheet.ComboInputN[0], 1);  // input 1 from no thresholds to volts
    TypeInto(sheet.EditInfN[0], "1.00");
    TabAway();
    TypeInto(sheet.EditSupN[0], "4.00");
    TabAway();
    TypeInto(sheet.EditDelayN[2], "1234");  // input 3: corrected to 1230 when left
    TabAway();

    ClickTab(sheet, sheet.OutputDialog);
    ClickItem(sheet.ListEventAss, 0);  // output 1: event 1 removed
    Click(sheet.ButtonSub);
    PickEntry(sheet.ComboOutput, 2);  // output 3: event 1 assigned, "Normal OFF"
    ClickItem(sheet.ListEvent, 0);
    Click(sheet.ButtonAdd);
    PickEntry(sheet.ComboLogic, 1);
}

RegisterImage ChosenConfiguration() {
    RegisterImage chosen = Kft018Card();
    chosen.SetValue(0, 0x0103);   // KARVO, 4800
    chosen.SetValue(2, 0x0156);   // MODBUS RTU, 38400, parity code 2, two stop bits
    chosen.SetValue(4, 0xFF40);   // address 64
    chosen.SetValue(24, 0x0100);  // input 1: volts, no delay
    chosen.SetValue(25, 205);     // 1.00 V
    chosen.SetValue(26, 818);     // 4.00 V
    chosen.SetValue(30, 0x027B);  // input 3: degrees, 1230 ms
    chosen.SetValue(8, 0x0002);   // output 1: event 2 (and 17 in register 9)
    chosen.SetValue(12, 0x0001);  // output 3: event 1
    chosen.SetValue(7, 0xA905);   // outputs 1 and 3 "Normal OFF"
    return chosen;
}

void ExpectSheetShowsChosenConfiguration(TTPropSheet& sheet) {
    EXPECT_EQ(Shown(sheet.ComboProt), "KARVO");
    EXPECT_EQ(Shown(sheet.ComboBaud), "4800");
    EXPECT_EQ(Shown(sheet.ComboProt2), "MODBUS RTU");
    EXPECT_EQ(Shown(sheet.ComboBaud2), "38400");
    EXPECT_EQ(Shown(sheet.ComboParity2), sheet_test::Placeholder(43));
    EXPECT_EQ(Shown(sheet.ComboStop2), "2");
    EXPECT_EQ(Shown(sheet.EditAddress), "64");
    EXPECT_EQ(Shown(sheet.ComboInputN[0]), sheet_test::Placeholder(53));
    EXPECT_EQ(Shown(sheet.EditInfN[0]), "1.00");
    EXPECT_EQ(Shown(sheet.EditSupN[0]), "4.00");
    EXPECT_EQ(Shown(sheet.EditDelayN[2]), "1230");
    EXPECT_EQ(Items(sheet.ListEventAss),
              (Texts{sheet_test::Placeholder(76), sheet_test::Placeholder(61)}));
    EXPECT_EQ(Shown(sheet.ComboLogic), "Normal OFF");
}

void ExpectSummaryOfChosenConfiguration(TTProgramDialog& program) {
    const std::pair<const char*, QString> cells[] = {
        {"LabelProt0", "KARVO"},
        {"LabelBaud0", "4800"},
        {"LabelProt2", "MODBUS"},
        {"LabelBaud2", "38400"},
        {"LabelParity2", Placeholder(43)},
        {"LabelStop2", "2"},
        {"LabelAdd2", "64"},
    };
    for (const auto& [name, text] : cells) {
        const auto* cell = program.findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(cell, nullptr) << name;
        EXPECT_EQ(cell->text(), text) << name;
    }
}

void ExpectPortSelectionIdle(TTSetPortParam& setPort) {
    EXPECT_TRUE(setPort.isVisible());
    EXPECT_TRUE(setPort.ButtonOk->isEnabled());
    EXPECT_TRUE(setPort.ButtonCancel->isEnabled());
    EXPECT_TRUE(setPort.ComboPort->isEnabled());
    EXPECT_FALSE(SerialPort->IsOpen());
}

TEST_F(ConfigurationPass, ChangeEveryPageProgramAndFindTheValuesOnTheCard) {
    // A hardware value with COM2 on MODBUS RTU: no hardware-offset warning on the way.
    ASSERT_NO_FATAL_FAILURE(StartCard("KFT018-01-01", Kft018Card(), 5));
    WhenModal(sheet.get(), [this] {
        EXPECT_TRUE(TabVisible(*sheet, sheet->InputDialog));
        EXPECT_TRUE(TabVisible(*sheet, sheet->OutputDialog));
        ChangeEveryPage(*sheet);
        WhenModal(program.get(), [this] {
            ExpectSummaryOfChosenConfiguration(*program);
            Click(program->findChild<QPushButton*>("ButtonProg"));
        });
        Click(sheet->OKBtn);
    });
    ReadCardAndConfigure();

    EXPECT_EQ(Card().RegistersRead(), Kft018RegisterNumbers());
    EXPECT_EQ(Card().RegistersWritten(), Kft018RegisterNumbers());
    ExpectSameRegisters(Card().Registers(), ChosenConfiguration());
    ASSERT_EQ(boxes->Count(), 1);
    ExpectMessage(boxes->Shown()[0], QMessageBox::Warning, 20, 22);
    ExpectPortSelectionIdle(*setPort);

    // Reading the card again shows what was programmed.
    Card().ClearHistory();
    WhenModal(sheet.get(), [this] {
        ExpectSheetShowsChosenConfiguration(*sheet);
        Click(sheet->CancelBtn);
    });
    ReadCardAndConfigure();
    EXPECT_EQ(Card().RegistersRead(), Kft018RegisterNumbers());
    EXPECT_TRUE(Card().RegistersWritten().empty());
    ASSERT_EQ(boxes->Count(), 2);
    ExpectMessage(boxes->Shown()[1], QMessageBox::Warning, 46, 21);
}

TEST_F(ConfigurationPass, Kft015CardReadsAndWritesOnlyThePortRegisters) {
    RegisterImage card = Kft018Card();
    card.SetValue(5, 0x1234);
    card.SetValue(6, 0x5678);
    ASSERT_NO_FATAL_FAILURE(StartCard("KFT015-01-04", card));
    WhenModal(sheet.get(), [this] {
        EXPECT_FALSE(TabVisible(*sheet, sheet->InputDialog));
        EXPECT_FALSE(TabVisible(*sheet, sheet->OutputDialog));
        ClickTab(*sheet, sheet->Com0Dialog);
        PickEntry(sheet->ComboProt, 1);  // "KARVO", "9600"
        ClickTab(*sheet, sheet->Com2Dialog);
        PickEntry(sheet->ComboBaud2, 4);  // "19200"
        WhenModal(program.get(), [this] { Click(program->findChild<QPushButton*>("ButtonProg")); });
        Click(sheet->OKBtn);
    });
    ReadCardAndConfigure();

    EXPECT_EQ(Card().RegistersRead(), PortRegisterNumbers());
    EXPECT_EQ(Card().RegistersWritten(), PortRegisterNumbers());
    RegisterImage expected = card;  // registers 5 to 47 as the card held them
    expected.SetValue(0, 0x0104);
    expected.SetValue(2, 0x0125);
    ExpectSameRegisters(Card().Registers(), expected);
    ASSERT_EQ(boxes->Count(), 1);
    ExpectMessage(boxes->Shown()[0], QMessageBox::Warning, 20, 19);
    ExpectPortSelectionIdle(*setPort);
}

TEST_F(ConfigurationPass, FailedThirdWriteIsReportedAndARetryWritesEverything) {
    ASSERT_NO_FATAL_FAILURE(StartCard("KFT018-01-01", Kft018Card()));
    WhenModal(sheet.get(), [this] {
        ClickTab(*sheet, sheet->Com0Dialog);
        PickEntry(sheet->ComboBaud, 3);  // "9600"
        WhenModal(program.get(), [this] {
            auto* buttonProg = program->findChild<QPushButton*>("ButtonProg");
            Card().ClearHistory();
            Card().InjectFault(CardFault::FailingWrite, 2);
            Click(buttonProg);

            ASSERT_EQ(boxes->Count(), 1);
            ExpectMessage(boxes->Shown()[0], QMessageBox::Critical, 16, 37);
            EXPECT_EQ(boxes->Shown()[0].text.section('\n', 2),
                      "The card holds part of the new configuration (written: 0-1; refused: 2; "
                      "not written: 3-4, 7-47).");
            EXPECT_EQ(Card().RegistersWritten(), (std::vector<int>{0, 1}));
            EXPECT_EQ(Card().Registers().Value(0), 0x0004) << "the first write is on the card";
            EXPECT_EQ(Card().Registers().Value(2), 0x0124) << "the refused write changed nothing";
            EXPECT_TRUE(program->isVisible());
            EXPECT_TRUE(buttonProg->isEnabled());
            EXPECT_FALSE(SerialPort->IsOpen());

            Card().ClearHistory();
            Click(buttonProg);
        });
        Click(sheet->OKBtn);
    });
    ReadCardAndConfigure();

    EXPECT_EQ(Card().RegistersWritten(), Kft018RegisterNumbers());
    RegisterImage expected = Kft018Card();
    expected.SetValue(0, 0x0004);
    ExpectSameRegisters(Card().Registers(), expected);
    ASSERT_EQ(boxes->Count(), 2);
    ExpectMessage(boxes->Shown()[1], QMessageBox::Warning, 20, 22);
    ExpectPortSelectionIdle(*setPort);
}

TEST_F(ConfigurationPass, CancelledSheetWritesNothing) {
    ASSERT_NO_FATAL_FAILURE(StartCard("KFT018-01-01", Kft018Card()));
    WhenModal(sheet.get(), [this] {
        ChangeEveryPage(*sheet);
        Click(sheet->CancelBtn);
    });
    ReadCardAndConfigure();

    ASSERT_EQ(boxes->Count(), 1);
    ExpectMessage(boxes->Shown()[0], QMessageBox::Warning, 46, 21);
    EXPECT_TRUE(Card().RegistersWritten().empty());
    ExpectSameRegisters(Card().Registers(), Kft018Card());
    ExpectSameRegisters(*RegisterImageStorage, Kft018Card());
    ExpectPortSelectionIdle(*setPort);
}

TEST_F(ConfigurationPass, CancelledProgrammingShowsTheSheetAgainWithTheConfirmedValues) {
    ASSERT_NO_FATAL_FAILURE(StartCard("KFT018-01-01", Kft018Card()));
    int sheetShows = 0;
    WhenModal(sheet.get(), [this, &sheetShows] {
        ++sheetShows;
        ChangeEveryPage(*sheet);
        WhenModal(program.get(), [this, &sheetShows] {
            WhenModal(sheet.get(), [this, &sheetShows] {
                ++sheetShows;
                EXPECT_EQ(boxes->Count(), 0) << "no warning on the way back";
                ExpectSheetShowsChosenConfiguration(*sheet);
                WhenModal(program.get(),
                          [this] { Click(program->findChild<QPushButton*>("ButtonProg")); });
                Click(sheet->OKBtn);
            });
            EXPECT_EQ(Card().CommandCount(), 1 + 1 + 46) << "cancelling writes nothing";
            Click(program->findChild<QPushButton*>("ButtonCancel"));
        });
        Click(sheet->OKBtn);
    });
    ReadCardAndConfigure();

    EXPECT_EQ(sheetShows, 2);
    EXPECT_EQ(Card().RegistersWritten(), Kft018RegisterNumbers());
    ExpectSameRegisters(Card().Registers(), ChosenConfiguration());
    ASSERT_EQ(boxes->Count(), 1);
    ExpectMessage(boxes->Shown()[0], QMessageBox::Warning, 20, 22);
}

TEST_F(ConfigurationPass, PagesFollowTheFamilyOfEachRead) {
    struct Read {
        const char* identity;
        bool pagesShown;
    };
    const Read reads[] = {
        {"KFT018-01-01", true},  {"KFT015-01-04", false}, {"KFT018-02-00", true},
        {"KFT026-01-01", false}, {"KFT015-01-03", false},
    };
    int count = 0;
    for (const Read& read : reads) {
        SCOPED_TRACE(read.identity);
        ASSERT_NO_FATAL_FAILURE(StartCard(read.identity, Kft018Card()));
        bool inputs = !read.pagesShown;
        bool outputs = !read.pagesShown;
        WhenModal(sheet.get(), [&] {
            inputs = TabVisible(*sheet, sheet->InputDialog);
            outputs = TabVisible(*sheet, sheet->OutputDialog);
            Click(sheet->CancelBtn);
        });
        ReadCardAndConfigure();
        EXPECT_EQ(inputs, read.pagesShown);
        EXPECT_EQ(outputs, read.pagesShown);
        EXPECT_TRUE(Card().RegistersWritten().empty());
        ++count;
        EXPECT_EQ(boxes->Count(), count) << "one warning per cancelled sheet";
    }
}

}  // namespace
