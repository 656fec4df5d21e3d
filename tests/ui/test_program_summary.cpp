// The programming dialog's summary grid: texts, cells of known codes, "---" cells.
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include "app/AppState.h"
#include "model/RegisterImage.h"
#include "tests/ui/program_helpers.h"
#include "ui/ProgramDialog.h"

namespace {

using program_test::Placeholder;
using program_test::ProgrammingSetUp;

class ProgramSummaryTest : public ::testing::Test {
  protected:
    QString Text(const char* name) const {
        const auto* label = dialog_.findChild<QLabel*>(QString::fromLatin1(name));
        return label != nullptr ? label->text() : QStringLiteral("<no %1>").arg(name);
    }
    void SetPortRegisters(uint16_t r0, uint16_t r1, uint16_t r2, uint16_t r3, uint16_t r4) {
        RegisterImage& image = *RegisterImageStorage;
        image.SetValue(0, r0);
        image.SetValue(1, r1);
        image.SetValue(2, r2);
        image.SetValue(3, r3);
        image.SetValue(4, r4);
    }
    void ShowAgain() {
        dialog_.hide();
        dialog_.show();
    }

    ProgrammingSetUp state_;
    TTProgramDialog dialog_;
};

TEST_F(ProgramSummaryTest, FixedTextsComeFromTheLanguageTable) {
    dialog_.show();
    EXPECT_EQ(dialog_.windowTitle(), Placeholder(23));
    EXPECT_EQ(dialog_.findChild<QPushButton*>("ButtonProg")->text(), Placeholder(29));
    EXPECT_EQ(dialog_.findChild<QPushButton*>("ButtonCancel")->text(), Placeholder(30));
    const std::pair<const char*, int> headings[] = {
        {"LabelProt", 10},    {"LabelSerial", 9},     {"LabelParity", 17}, {"LabelStop", 18},
        {"LabelAddress", 32}, {"LabelCOM0", 33},      {"LabelCOM1", 34},   {"LabelCOM2", 35},
        {"LabelCOM3", 41},    {"LabelProgParam", 24},
    };
    for (const auto& [name, number] : headings) {
        EXPECT_EQ(Text(name), Placeholder(number)) << name;
    }
    EXPECT_EQ(dialog_.size(), QSize(429, 316));
}

TEST_F(ProgramSummaryTest, CellsShowThePortRegisters) {
    // COM0 KARVO 9600; COM1 MODBUS 19200 parity code 1, two stop bits; COM2 MODBUS 57600
    // parity code 3, two stop bits, address 200; COM3 NEXPR 4800 parity code 2, one stop bit.
    SetPortRegisters(0x0104, 0x0135, 0x0177, 0x0043, 0xFFC8);
    dialog_.show();
    const std::pair<const char*, QString> cells[] = {
        {"LabelProt0", "KARVO"},
        {"LabelBaud0", "9600"},
        {"LabelProt1", "MODBUS"},
        {"LabelBaud1", "19200"},
        {"LabelParity1", Placeholder(42)},
        {"LabelStop1", "2"},
        {"LabelProt2", "MODBUS"},
        {"LabelBaud2", "57600"},
        {"LabelParity2", Placeholder(44)},
        {"LabelStop2", "2"},
        {"LabelAdd2", "200"},
        {"LabelProt3", "NEXPR"},
        {"LabelBaud3", "4800"},
        {"LabelParity3", Placeholder(43)},
        {"LabelStop3", "1"},
    };
    for (const auto& [name, expected] : cells) {
        EXPECT_EQ(Text(name), expected) << name;
    }
}

TEST_F(ProgramSummaryTest, DashCellsAreNeverWritten) {
    for (const uint16_t fill : {uint16_t{0x0000}, uint16_t{0xFFFF}, uint16_t{0x0135}}) {
        SetPortRegisters(fill, fill, fill, fill, fill);
        ShowAgain();
        for (const char* name :
             {"LabelParity0", "LabelStop0", "LabelAdd0", "LabelAdd1", "LabelAdd3"}) {
            EXPECT_EQ(Text(name), "---") << name << " with registers " << fill;
        }
    }
}

TEST_F(ProgramSummaryTest, UnknownCodesShowDashesAtTheFirstShow) {
    // Baud code 0 everywhere, parity code 0 on COM1 to COM3.
    SetPortRegisters(0x0000, 0x0000, 0x0000, 0x0000, 0xFF00);
    dialog_.show();
    for (const char* name : {"LabelBaud0", "LabelBaud1", "LabelBaud2", "LabelBaud3"}) {
        EXPECT_EQ(Text(name), "---") << name;
    }
    for (const char* name : {"LabelParity1", "LabelParity2", "LabelParity3"}) {
        EXPECT_EQ(Text(name), "---") << name;
    }
    EXPECT_EQ(Text("LabelAdd2"), "0");
}

TEST_F(ProgramSummaryTest, UnknownCodesNeverKeepAnEarlierShowing) {
    SetPortRegisters(0x0002, 0x0143, 0x0063, 0x0041, 0xFF20);
    dialog_.show();
    ASSERT_EQ(Text("LabelBaud0"), "2400");
    ASSERT_EQ(Text("LabelBaud1"), "4800");
    ASSERT_EQ(Text("LabelParity2"), Placeholder(44));

    // COM0 code 5, COM1 code 6 and COM3 code 7 are not theirs; parity code 0 on COM2: the
    // earlier card's 2400, 4800 and parity would be another card's settings.
    SetPortRegisters(0x0005, 0x0146, 0x0003, 0x0047, 0xFF40);
    ShowAgain();
    EXPECT_EQ(Text("LabelBaud0"), "---");
    EXPECT_EQ(Text("LabelBaud1"), "---");
    EXPECT_EQ(Text("LabelBaud3"), "---");
    EXPECT_EQ(Text("LabelParity2"), "---");
    // Codes the cells know are written as usual.
    EXPECT_EQ(Text("LabelBaud2"), "4800");
    EXPECT_EQ(Text("LabelAdd2"), "64");
}

TEST_F(ProgramSummaryTest, HighBaudCodesOnlyOnComTwo) {
    SetPortRegisters(0x0001, 0x0026, 0x0026, 0x0027, 0xFF00);
    dialog_.show();
    EXPECT_EQ(Text("LabelBaud2"), "38400");
    EXPECT_EQ(Text("LabelBaud1"), "---");  // code 6 is unknown on COM1
    EXPECT_EQ(Text("LabelBaud3"), "---");  // code 7 is unknown on COM3
    RegisterImageStorage->SetLow(2, 0x27);
    ShowAgain();
    EXPECT_EQ(Text("LabelBaud2"), "57600");
}

}  // namespace
