// The port pages of the configuration sheet: what the card's registers show, the COM0 and COM2
// protocol rules, the bus address and the hardware-offset warning.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <functional>

#include "dialog_helpers.h"
#include "sheet_helpers.h"

namespace sheet_test {
namespace {

struct ShownCase {
    const char* name;
    std::function<void(RegisterImage&)> fill;
    // Expected text of the current entry per list ("" for no current entry).
    std::vector<std::pair<const char*, std::string>> lists;
};

class PortPagesShow : public SheetTest, public testing::WithParamInterface<ShownCase> {};

TEST_P(PortPagesShow, ListsShowTheRegistersCodes) {
    GetParam().fill(Image());
    ASSERT_TRUE(Show());
    for (const auto& [list, text] : GetParam().lists) {
        EXPECT_EQ(Shown(Combo(QString::fromLatin1(list))), text) << list;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Registers, PortPagesShow,
    testing::Values(
        ShownCase{"Com0KarvoAt9600",
                  [](RegisterImage& image) { image.SetValue(0, 0x0104); },
                  {{"ComboProt", "KARVO"}, {"ComboBaud", "9600"}}},
        ShownCase{"Com0UpperBitsIgnored",
                  [](RegisterImage& image) { image.SetValue(0, 0x1012); },
                  {{"ComboProt", "NEXPR"}, {"ComboBaud", "2400"}}},
        ShownCase{"Com0BaudCodeWithoutEntry",
                  [](RegisterImage& image) { image.SetValue(0, 0x0005); },
                  {{"ComboProt", "NEXPR"}, {"ComboBaud", ""}}},
        ShownCase{"Com1LineByte35",
                  [](RegisterImage& image) { image.SetValue(1, 0x0035); },
                  {{"ComboProt1", "NEXPR"},
                   {"ComboBaud1", "19200"},
                   {"ComboParity1", Placeholder(42)},
                   {"ComboStop1", "2"}}},
        ShownCase{"Com1BaudCodeZero",
                  [](RegisterImage& image) { image.SetValue(1, 0x0120); },
                  {{"ComboProt1", "MODBUS RTU"},
                   {"ComboBaud1", ""},
                   {"ComboParity1", Placeholder(42)},
                   {"ComboStop1", "1"}}},
        ShownCase{"Com1Bits3And7PlayNoPart",
                  [](RegisterImage& image) { image.SetValue(1, 0x00CB); },
                  {{"ComboBaud1", "4800"}, {"ComboParity1", Placeholder(43)}, {"ComboStop1", "1"}}},
        ShownCase{"Com2At38400WithLastParity",
                  [](RegisterImage& image) { image.SetValue(2, 0x0176); },
                  {{"ComboProt2", "MODBUS RTU"},
                   {"ComboBaud2", "38400"},
                   {"ComboParity2", Placeholder(44)},
                   {"ComboStop2", "2"}}},
        ShownCase{"Com2ProtocolWithoutEntry",
                  [](RegisterImage& image) { image.SetValue(2, 0x0221); },
                  {{"ComboProt2", ""}, {"ComboBaud2", "1200"}}},
        ShownCase{"Com3AlwaysFirstEntries",
                  [](RegisterImage& image) { image.SetValue(3, 0x0175); },
                  {{"ComboProt3", "NEXPR"},
                   {"ComboBaud3", "1200"},
                   {"ComboParity3", Placeholder(42)},
                   {"ComboStop3", "1"}}}),
    [](const auto& info) { return std::string(info.param.name); });

using PortPages = SheetTest;

TEST_F(PortPages, ListsOfferTheirEntriesOnceAfterEveryShow) {
    for (int show = 0; show < 2; ++show) {
        ASSERT_TRUE(Show());
        EXPECT_EQ(Items(Combo("ComboProt")), (Texts{"NEXPR", "KARVO"}));
        EXPECT_EQ(Items(Combo("ComboBaud")), (Texts{"1200", "2400", "4800", "9600"}));
        EXPECT_EQ(Items(Combo("ComboProt2")), (Texts{"NEXPR", "MODBUS RTU"}));
        EXPECT_EQ(Items(Combo("ComboBaud1")), (Texts{"1200", "2400", "4800", "9600", "19200"}));
        EXPECT_EQ(Items(Combo("ComboBaud2")),
                  (Texts{"1200", "2400", "4800", "9600", "19200", "38400"}));
        EXPECT_EQ(Items(Combo("ComboBaud3")), (Texts{"1200", "2400", "4800", "9600", "19200"}));
        EXPECT_EQ(Items(Combo("ComboParity3")),
                  (Texts{Placeholder(42), Placeholder(43), Placeholder(44)}));
        EXPECT_EQ(Items(Combo("ComboStop1")), (Texts{"1", "2"}));
        Click(Button("CancelBtn"));
        ASSERT_FALSE(sheet->isVisible());
    }
}

TEST_F(PortPages, CaptionCarriesTheFirmwareDigits) {
    SetLanguageEntry(14, "Quorix");
    SetLanguageEntry(93, "Firmware ");
    std::snprintf(SerialPort->Identity, sizeof SerialPort->Identity, "%s", "KFT018-01-01");
    ASSERT_TRUE(Show());
    EXPECT_EQ(sheet->windowTitle().toStdString(), "Quorix - Firmware 01.01");
}

TEST_F(PortPages, CaptionOfLongestTextsAndShortIdentityHoldsEverything) {
    const std::string first(kLanguageEntryLength, 'a');
    const std::string second(kLanguageEntryLength, 'b');
    SetLanguageEntry(14, first);
    SetLanguageEntry(93, second);
    std::snprintf(SerialPort->Identity, sizeof SerialPort->Identity, "%s", "KFT01");
    ASSERT_TRUE(Show());
    EXPECT_EQ(sheet->windowTitle().toStdString(), first + " - " + second + ".");
}

TEST_F(PortPages, Com1ShownButNeverEdited) {
    ASSERT_TRUE(Show());
    for (const char* name : {"ComboProt1", "ComboBaud1", "ComboParity1", "ComboStop1"}) {
        EXPECT_FALSE(Combo(QString::fromLatin1(name))->isEnabled()) << name;
    }
    EXPECT_FALSE(Find<QGroupBox>("GroupCom3")->isEnabled());
    EXPECT_TRUE(Combo("ComboProt")->isEnabled());
    EXPECT_TRUE(Combo("ComboBaud2")->isEnabled());
}

TEST_F(PortPages, Com0ProtocolPresetsTheBaudRate) {
    ASSERT_TRUE(Show());
    PickEntry(Combo("ComboProt"), 1);
    EXPECT_EQ(Shown(Combo("ComboBaud")), "9600");
    PickEntry(Combo("ComboBaud"), 1);
    EXPECT_EQ(Shown(Combo("ComboBaud")), "2400");
    PickEntry(Combo("ComboProt"), 0);
    EXPECT_EQ(Shown(Combo("ComboBaud")), "1200");
}

TEST_F(PortPages, ModbusOnCom2ShowsTheAddressEnabled) {
    Image().SetValue(2, 0x0124);
    Image().SetLow(4, 64);
    ASSERT_TRUE(Show());
    EXPECT_EQ(Shown(Edit("EditAddress")), "64");
    for (const char* name :
         {"LabelParity2", "LabelStopBit2", "ComboParity2", "ComboStop2", "LabelAddress",
          "EditAddress", "UpDownAddress", "LabelBaud2", "ComboBaud2"}) {
        EXPECT_TRUE(Find<QWidget>(QString::fromLatin1(name))->isEnabled()) << name;
    }
    EXPECT_FALSE(Edit("EditHardware")->isEnabled());
}

TEST_F(PortPages, NexprOnCom2WithHardwareOffsetWarnsAndRemembersTheAddress) {
    Image().SetValue(2, 0x0024);
    Image().SetLow(4, 64);
    HardwareBits = 5;
    SetLanguageEntry(45, "Hardware offset set");
    SetLanguageEntry(46, "Attention");
    MessageBoxAnswerer boxes;
    ASSERT_TRUE(Show());
    EXPECT_EQ(boxes.Count(), 0) << "showing the sheet on the COM0 page warns of nothing";
    EXPECT_EQ(Shown(Edit("EditAddress")), "0");
    EXPECT_EQ(Shown(Edit("EditHardware")), "5");
    for (const char* name : {"LabelParity2", "LabelStopBit2", "ComboParity2", "ComboStop2",
                             "LabelAddress", "EditAddress", "UpDownAddress"}) {
        EXPECT_FALSE(Find<QWidget>(QString::fromLatin1(name))->isEnabled()) << name;
    }
    EXPECT_TRUE(Combo("ComboBaud2")->isEnabled());

    ClickTab(*sheet, sheet->Com2Dialog);
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.Shown()[0].text.toStdString(), "Hardware offset set");
    EXPECT_EQ(boxes.Shown()[0].caption.toStdString(), "Attention");
    EXPECT_EQ(boxes.Shown()[0].icon, QMessageBox::Warning);

    PickEntry(Combo("ComboProt2"), 1);
    EXPECT_EQ(boxes.Count(), 1) << "MODBUS RTU warns of nothing";
    EXPECT_EQ(Shown(Combo("ComboBaud2")), "9600");
    EXPECT_EQ(Shown(Combo("ComboParity2")), Placeholder(42));
    EXPECT_EQ(Shown(Combo("ComboStop2")), "1");
    EXPECT_EQ(Shown(Edit("EditAddress")), "64");
    EXPECT_TRUE(Edit("EditAddress")->isEnabled());

    PickEntry(Combo("ComboProt2"), 0);
    EXPECT_EQ(boxes.Count(), 2);
    EXPECT_EQ(Shown(Combo("ComboBaud2")), "1200");
    EXPECT_EQ(Shown(Edit("EditAddress")), "0");
    EXPECT_FALSE(Edit("EditAddress")->isEnabled());
}

TEST_F(PortPages, WithoutHardwareOffsetNexprWarnsOfNothing) {
    Image().SetValue(2, 0x0124);
    MessageBoxAnswerer boxes;
    ASSERT_TRUE(ShowOn(sheet->Com2Dialog));
    PickEntry(Combo("ComboProt2"), 0);
    ClickTab(*sheet, sheet->Com0Dialog);
    ClickTab(*sheet, sheet->Com2Dialog);
    EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(PortPages, Com2ProtocolWithoutEntryWarnsOfNothing) {
    // Protocol codes 2 and 15: the list shows no entry, which is not "NEXPR".
    for (const uint16_t com2 : {uint16_t{0x0224}, uint16_t{0x0F24}}) {
        Image().SetValue(2, com2);
        HardwareBits = 5;
        MessageBoxAnswerer boxes;
        ASSERT_TRUE(ShowOn(sheet->Com2Dialog));
        ASSERT_EQ(Combo("ComboProt2")->currentIndex(), -1);
        ClickTab(*sheet, sheet->Com0Dialog);
        ClickTab(*sheet, sheet->Com2Dialog);
        EXPECT_EQ(boxes.Count(), 0) << "COM2 register " << com2;
        Click(Button("CancelBtn"));
    }
}

TEST_F(PortPages, ShownAgainOnTheCom2PageWarnsAgain) {
    HardwareBits = 1;
    MessageBoxAnswerer boxes;
    ASSERT_TRUE(ShowOn(sheet->Com2Dialog));
    ASSERT_EQ(boxes.Count(), 1);
    Click(Button("CancelBtn"));
    // The warning comes up once the sheet is on screen again (the box then has the focus).
    sheet->show();
    EXPECT_TRUE(WaitUntil([&boxes] { return boxes.Count() == 2; }));
}

TEST_F(PortPages, AddressArrowsStepBy32AndAreRemembered) {
    Image().SetValue(2, 0x0124);
    Image().SetLow(4, 64);
    ASSERT_TRUE(ShowOn(sheet->Com2Dialog));
    UpDown* spinner = Spinner("UpDownAddress");
    ClickArrow(spinner, UpDown::Button::Up);
    EXPECT_EQ(Shown(Edit("EditAddress")), "96");
    for (int i = 0; i < 6; ++i) {
        ClickArrow(spinner, UpDown::Button::Up);
    }
    EXPECT_EQ(Shown(Edit("EditAddress")), "224") << "the arrows stop at 224";
    ClickArrow(spinner, UpDown::Button::Down);
    EXPECT_EQ(Shown(Edit("EditAddress")), "192");

    // A typed address is not remembered; the arrows' last one is.
    TypeInto(Edit("EditAddress"), "100");
    PickEntry(Combo("ComboProt2"), 0);
    PickEntry(Combo("ComboProt2"), 1);
    EXPECT_EQ(Shown(Edit("EditAddress")), "192");
}

TEST_F(PortPages, AddressByteAboveTheSpinnersRangeIsShownAsStored) {
    Image().SetValue(2, 0x0124);
    Image().SetLow(4, 255);
    ASSERT_TRUE(Show());
    EXPECT_EQ(Shown(Edit("EditAddress")), "255");
    ClickTab(*sheet, sheet->Com2Dialog);
    ClickArrow(Spinner("UpDownAddress"), UpDown::Button::Down);
    EXPECT_EQ(Shown(Edit("EditAddress")), "223");
}

struct AddressCase {
    const char* name;
    const char* typed;
    const char* shownAfterLeaving;
    uint8_t stored;
};

class AddressField : public SheetTest, public testing::WithParamInterface<AddressCase> {};

TEST_P(AddressField, LeavingCorrectsAndConfirmationStoresWhatIsShown) {
    Image().SetValue(2, 0x0124);
    Image().SetLow(4, 64);
    ASSERT_TRUE(ShowOn(sheet->Com2Dialog));
    TypeInto(Edit("EditAddress"), QString::fromLatin1(GetParam().typed));
    TabAway();
    EXPECT_EQ(Shown(Edit("EditAddress")), GetParam().shownAfterLeaving);
    Click(Button("OKBtn"));
    EXPECT_EQ(sheet->result(), 1);
    EXPECT_EQ(Image().Low(4), GetParam().stored);
    EXPECT_EQ(Image().High(4), 0xFF);
}

INSTANTIATE_TEST_SUITE_P(Typed, AddressField,
                         testing::Values(AddressCase{"Above255", "300", "255", 255},
                                         AddressCase{"Highest", "255", "255", 255},
                                         AddressCase{"Letters", "abc", "abc", 0},
                                         AddressCase{"LeadingBlank", " 32x", " 32x", 32},
                                         AddressCase{"Plain", "17", "17", 17}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PortPages, ConfirmingATypedAddressShowsItsNumberNextTime) {
    Image().SetValue(2, 0x0124);
    ASSERT_TRUE(ShowOn(sheet->Com2Dialog));
    TypeInto(Edit("EditAddress"), " 32x");
    Click(Button("OKBtn"));
    ASSERT_TRUE(Show());
    EXPECT_EQ(Shown(Edit("EditAddress")), "32");
}

TEST_F(PortPages, HidingTheInputAndOutputTabsKeepsTheirPagesFilled) {
    Image().SetHigh(24, 2);
    sheet->SetInputOutputPagesVisible(false);
    ASSERT_TRUE(Show());
    QTabWidget* pages = sheet->PageControl;
    EXPECT_FALSE(pages->isTabVisible(pages->indexOf(sheet->InputDialog)));
    EXPECT_FALSE(pages->isTabVisible(pages->indexOf(sheet->OutputDialog)));
    EXPECT_TRUE(pages->isTabVisible(pages->indexOf(sheet->Com3Dialog)));
    EXPECT_EQ(Shown(Edit("EditInf1")), "-20");
    EXPECT_EQ(Items(List("ListEvent")).size(), 32u);
    sheet->SetInputOutputPagesVisible(true);
    EXPECT_TRUE(pages->isTabVisible(pages->indexOf(sheet->InputDialog)));
    EXPECT_TRUE(pages->isTabVisible(pages->indexOf(sheet->OutputDialog)));
}

}  // namespace
}  // namespace sheet_test
