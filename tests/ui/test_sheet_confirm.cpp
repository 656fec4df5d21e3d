// Confirming and cancelling the configuration sheet: what OK writes into the register image,
// that a field's correction runs before, and that Cancel and the close box write nothing.
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "dialog_helpers.h"
#include "model/Inputs.h"
#include "sheet_helpers.h"

namespace sheet_test {
namespace {

class Confirmation : public SheetTest {
  protected:
    // A card's configuration with values the pages must keep and codes the lists do not offer.
    void FillCard() {
        Image().SetValue(0, 0x1111);  // KARVO at 1200: no baud preset from code
        Image().SetValue(1, 0x003D);  // bit 3 set
        Image().SetValue(2, 0x01A2);  // MODBUS RTU at 2400, bit 7 set
        Image().SetValue(3, 0x0175);
        Image().SetValue(4, 0x1240);
        Image().SetValue(5, 0xBEEF);
        Image().SetValue(6, 0xCAFE);
        Image().SetValue(7, 0x0005);
        for (int reg = 8; reg <= 23; ++reg) {
            Image().SetValue(reg, static_cast<uint16_t>(0x1111 * (reg - 7)));
        }
        SetInputRow(1, 1, 25, 204, 1023);  // 204 shows 1.00 like 205 does
        SetInputRow(2, 2, 255, 0, 140);    // delay above the spinner's range
        SetInputRow(3, 3, 0, 33, 66);
        SetInputRow(4, 0, 7, 17, 18);      // type 0 always stores 0 and 1023
        SetInputRow(5, 9, 3, 100, 200);    // type without entry
        SetInputRow(6, 1, 1, 2000, 1023);  // above 5 V
        SetInputRow(7, 2, 100, 50, 60);
        SetInputRow(8, 3, 2, 0, 100);
    }
    void Confirm() {
        Click(Button("OKBtn"));
        EXPECT_EQ(sheet->result(), 1);
        EXPECT_FALSE(sheet->isVisible());
    }
};

TEST_F(Confirmation, UnchangedSheetRewritesOnlyWhatIsAlwaysWritten) {
    FillCard();
    RegisterImage expected = Image();
    expected.SetValue(0, 0x0101);
    expected.SetLow(1, 0x35);
    expected.SetLow(2, 0x22);
    expected.SetValue(3, 0x0021);
    expected.SetHigh(4, 0xFF);
    expected.SetHigh(7, 0xA9);
    expected.SetValue(34, 0);
    expected.SetValue(35, 1023);

    ASSERT_TRUE(Show());
    Confirm();
    for (int reg = 0; reg < RegisterImage::kRegisterCount; ++reg) {
        EXPECT_EQ(Image().Value(reg), expected.Value(reg)) << "register " << reg;
    }
}

TEST_F(Confirmation, Com2LineSettingsAsPicked) {
    Image().SetValue(2, 0x0121);
    ASSERT_TRUE(ShowOn(sheet->Com2Dialog));
    PickEntry(Combo("ComboBaud2"), 5);
    PickEntry(Combo("ComboParity2"), 2);
    PickEntry(Combo("ComboStop2"), 1);
    Confirm();
    EXPECT_EQ(Image().Value(2), 0x0176);
}

TEST_F(Confirmation, DelaysAreStoredInTensAndShownAgain) {
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    TypeInto(Edit("EditDelay1"), "2500");
    TypeInto(Edit("EditDelay2"), "10");
    TypeInto(Edit("EditDelay3"), "0");
    TypeInto(Edit("EditDelay4"), "1239");
    Confirm();
    EXPECT_EQ(Image().Low(24), 250);
    EXPECT_EQ(Image().Low(27), 1);
    EXPECT_EQ(Image().Low(30), 0);
    EXPECT_EQ(Image().Low(33), 123);
    ASSERT_TRUE(Show());
    EXPECT_EQ(Shown(Edit("EditDelay1")), "2500");
    EXPECT_EQ(Shown(Edit("EditDelay2")), "10");
    EXPECT_EQ(Shown(Edit("EditDelay3")), "0");
    EXPECT_EQ(Shown(Edit("EditDelay4")), "1230");
}

TEST_F(Confirmation, ClickingOkCorrectsTheFieldThatHadTheFocusFirst) {
    SetInputRow(1, 1, 0, 0, 1023);
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    TypeInto(Edit("EditInf1"), "7.00");
    ASSERT_EQ(Shown(Edit("EditInf1")), "7.00");
    Click(Button("OKBtn"));
    EXPECT_EQ(sheet->result(), 1);
    EXPECT_EQ(Image().Value(25), 0) << "the lower threshold was corrected to 0.00 first";

    ASSERT_TRUE(Show());
    TypeInto(Edit("EditDelay1"), "9999");
    Click(Button("OKBtn"));
    EXPECT_EQ(Image().Low(24), 250) << "9999 would have stored 231";
}

TEST_F(Confirmation, OkWithoutAMouseClickCorrectsTheFocusedFieldToo) {
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    TypeInto(Edit("EditDelay5"), "9999");
    sheet->OKBtn->click();
    EXPECT_EQ(sheet->result(), 1);
    EXPECT_EQ(Image().Low(36), 250);
}

TEST_F(Confirmation, ConfirmedPagesComeBackOnTheNextShow) {
    ASSERT_TRUE(Show());
    PickEntry(Combo("ComboProt"), 1);
    ClickTab(*sheet, sheet->InputDialog);
    PickEntry(Combo("ComboInput3"), 1);
    TypeInto(Edit("EditInf3"), "1.25");
    TabAway();
    ClickTab(*sheet, sheet->OutputDialog);
    PickEntry(Combo("ComboOutput"), 4);
    ClickItem(List("ListEvent"), 9);
    Click(Button("ButtonAdd"));
    PickEntry(Combo("ComboLogic"), 1);
    Confirm();
    EXPECT_EQ(Image().Value(0), 0x0104);
    EXPECT_EQ(Image().Value(8 + 8), 0x0200);
    EXPECT_EQ(Image().Low(7), 0x10);

    ASSERT_TRUE(Show());
    EXPECT_EQ(Shown(Combo("ComboProt")), "KARVO");
    EXPECT_EQ(Shown(Combo("ComboBaud")), "9600");
    EXPECT_EQ(Shown(Combo("ComboInput3")), Placeholder(53));
    EXPECT_EQ(Shown(Edit("EditInf3")), "1.25");
    EXPECT_EQ(Shown(Edit("EditSup3")), "5.00");
    EXPECT_EQ(Shown(Combo("ComboOutput")), "Output1");
    EXPECT_TRUE(Items(List("ListEventAss")).empty());
    PickEntry(Combo("ComboOutput"), 4);
    EXPECT_EQ(Items(List("ListEventAss")), (Texts{Placeholder(69)}));
    EXPECT_EQ(Shown(Combo("ComboLogic")), "Normal OFF");
}

TEST_F(Confirmation, ThresholdsWiderThanTheirFieldsAreKeptWhenLeftAsShown) {
    SetInputRow(1, 1, 0, 2047, 5000);   // 10.01 V and 24.44 V: "9.99" shows neither whole
    SetInputRow(2, 2, 0, 1020, 1500);   // 1000 and 1480 degrees: three places
    SetInputRow(3, 3, 0, 1000, 65535);  // 1000 and 65535 percent
    SetInputRow(4, 1, 0, 3000, 4000);
    const RegisterImage before = Image();
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    // Focus passes through row 4's fields without a change: no correction is due for what they
    // show, and nothing is typed.
    QTest::mouseClick(Edit("EditSup4"), Qt::LeftButton);
    TabAway();
    TabAway();
    ASSERT_TRUE(Edit("EditDelay4")->hasFocus());
    Confirm();
    for (int reg = 25; reg <= 35; ++reg) {
        EXPECT_EQ(Image().Value(reg), before.Value(reg)) << "register " << reg;
    }
}

TEST_F(Confirmation, WideThresholdsTypedOrCorrectedAreStoredAsShown) {
    SetInputRow(1, 1, 0, 2047, 5000);
    SetInputRow(2, 2, 0, 0, 1500);
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    TypeInto(Edit("EditSup1"), "3.00");
    // The degrees field shows part of 1480, above the range: leaving it corrects it to 120.
    QTest::mouseClick(Edit("EditSup2"), Qt::LeftButton);
    TabAway();
    ASSERT_EQ(Shown(Edit("EditSup2")), "120");
    Confirm();
    EXPECT_EQ(Image().Value(26), VoltsTextToRegister("3.00"));
    EXPECT_EQ(Image().Value(25), 2047) << "the lower field was not changed";
    EXPECT_EQ(Image().Value(29), 140);
}

TEST_F(Confirmation, TypeChangedAndBackStoresTheDefaultsShown) {
    SetInputRow(1, 1, 0, 2047, 5000);
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    PickEntry(Combo("ComboInput1"), 2);
    PickEntry(Combo("ComboInput1"), 1);
    Confirm();
    EXPECT_EQ(Image().Value(25), 0);
    EXPECT_EQ(Image().Value(26), 1023);
}

TEST_F(Confirmation, TypeCodeWithoutEntryKeepsItsRegistersAfterAnotherCard) {
    SetInputRow(5, 1, 3, 511, 1023);
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    Click(Button("CancelBtn"));
    SetInputRow(5, 9, 3, 100, 200);
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    EXPECT_FALSE(Edit("EditSup5")->isEnabled());
    Confirm();
    EXPECT_EQ(Image().Value(36), 0x0903);
    EXPECT_EQ(Image().Value(37), 100);
    EXPECT_EQ(Image().Value(38), 200);
}

TEST_F(Confirmation, GapsInThresholdFieldsAreReadUpToTheGap) {
    SetInputRow(1, 1, 0, 0, 1023);
    SetInputRow(2, 3, 0, 0, 100);
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    TypeInto(Edit("EditInf1"), "2. 5");
    TypeInto(Edit("EditSup2"), "1 0");
    // The row as confirmation reads it, before the focus leaves the field.
    EXPECT_EQ(sheet->TransferDataToMemory(2).upper, "1 0");
    EXPECT_EQ(sheet->TransferDataToMemory(1).lower, "2.00");
    Confirm();
    EXPECT_EQ(Image().Value(25), VoltsTextToRegister("2.00"));
    EXPECT_EQ(Image().Value(29), 1);
}

TEST_F(Confirmation, NexprOnCom2KeepsTheCardsAddress) {
    Image().SetValue(2, 0x0021);
    Image().SetLow(4, 64);
    ASSERT_TRUE(Show());
    EXPECT_EQ(Shown(Edit("EditAddress")), "0");
    Confirm();
    EXPECT_EQ(Image().Low(4), 64);
}

TEST_F(Confirmation, CancelWritesNothing) {
    FillCard();
    const RegisterImage before = Image();
    ASSERT_TRUE(Show());
    PickEntry(Combo("ComboProt"), 0);
    ClickTab(*sheet, sheet->InputDialog);
    TypeInto(Edit("EditDelay1"), "100");
    ClickTab(*sheet, sheet->OutputDialog);
    ClickItem(List("ListEventAss"), 0);
    Click(Button("ButtonSub"));
    Click(Button("CancelBtn"));
    EXPECT_EQ(sheet->result(), 2);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_TRUE(Image() == before);

    ASSERT_TRUE(Show());
    EXPECT_EQ(Shown(Combo("ComboProt")), "KARVO") << "the next show starts from the image";
    EXPECT_EQ(Shown(Edit("EditDelay1")), "250");
}

TEST_F(Confirmation, CloseBoxAndEscapeWriteNothing) {
    FillCard();
    const RegisterImage before = Image();
    ASSERT_TRUE(Show());
    PickEntry(Combo("ComboProt"), 0);
    PressCloseBox(*sheet);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_NE(sheet->result(), 1);

    ASSERT_TRUE(Show());
    PickEntry(Combo("ComboProt"), 0);
    QTest::keyClick(sheet.get(), Qt::Key_Escape);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_NE(sheet->result(), 1);
    EXPECT_TRUE(Image() == before);
}

TEST_F(Confirmation, SecondShowHasNoDuplicatedEntries) {
    ASSERT_TRUE(Show());
    Click(Button("CancelBtn"));
    ASSERT_TRUE(Show());
    EXPECT_EQ(Items(Combo("ComboInput8")).size(), 4u);
    EXPECT_EQ(Items(Combo("ComboOutput")).size(), 8u);
    EXPECT_EQ(Items(Combo("ComboLogic")).size(), 2u);
    EXPECT_EQ(Items(List("ListEvent")).size(), 32u);
    EXPECT_EQ(Items(Combo("ComboParity2")).size(), 3u);
}

TEST_F(Confirmation, ExecReturnsTheResultOfTheButton) {
    RunWhen([this] { return sheet->isVisible(); }, [this] { Click(Button("OKBtn")); });
    EXPECT_EQ(sheet->exec(), 1);
    RunWhen([this] { return sheet->isVisible(); }, [this] { Click(Button("CancelBtn")); });
    EXPECT_EQ(sheet->exec(), 2);
}

}  // namespace
}  // namespace sheet_test
