// The whole sheet against the register image: what the pages show and what confirmation stores.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "model/Fields.h"
#include "model/Inputs.h"
#include "model/RegisterImage.h"
#include "model/SheetState.h"

namespace {

RegisterImage Confirmed(const SheetState& state, RegisterImage image) {
    EncodeSheet(state, image);
    return image;
}

// ---- Showing ---------------------------------------------------------------------------------

TEST(DecodeSheet, PortPages) {
    RegisterImage image;
    image.SetHigh(0, 0x01);
    image.SetLow(0, 0x04);
    image.SetHigh(1, 0x00);
    image.SetLow(1, 0x35);
    image.SetHigh(2, 0x01);
    image.SetLow(2, 0x76);
    image.SetHigh(3, 0x01);
    image.SetLow(3, 0x77);
    const SheetState state = DecodeSheet(image);
    EXPECT_EQ(state.com0Protocol, 1);                  // "KARVO"
    EXPECT_EQ(state.com0Baud, 3);                      // "9600"
    EXPECT_EQ(state.com1, (LineEntries{0, 4, 0, 1}));  // "19200", first parity, "2"
    EXPECT_EQ(state.com2, (LineEntries{1, 5, 2, 1}));  // "38400", third parity, "2"
    EXPECT_EQ(state.com3, (LineEntries{0, 0, 0, 0}));  // always the first entries
}

TEST(DecodeSheet, CodesWithoutAnEntryLeaveTheListWithout) {
    struct Case {
        uint8_t high;
        uint8_t low;
        LineEntries com1;
    };
    const Case cases[] = {
        {0x00, 0x20, {0, -1, 0, 0}},  // baud code 0
        {0x00, 0x26, {0, -1, 0, 0}},  // "38400" is not offered on COM1
        {0x00, 0x27, {0, -1, 0, 0}},  // "57600" neither
        {0x00, 0x05, {0, 4, -1, 0}},  // parity code 0
        {0x02, 0x21, {-1, 0, 0, 0}},  // protocol code 2
        {0x1F, 0x21, {-1, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        RegisterImage image;
        image.SetHigh(1, c.high);
        image.SetLow(1, c.low);
        EXPECT_EQ(DecodeSheet(image).com1, c.com1) << int{c.high} << " " << int{c.low};
    }
    RegisterImage image;
    image.SetLow(2, 0x27);
    EXPECT_EQ(DecodeSheet(image).com2.baud, -1);  // COM2 offers up to code 6
    image.SetLow(2, 0x26);
    EXPECT_EQ(DecodeSheet(image).com2.baud, 5);
    for (uint8_t low : {0x00, 0x05, 0x0F, 0x15}) {
        image.SetLow(0, low);
        EXPECT_EQ(DecodeSheet(image).com0Baud, -1) << int{low};
    }
    image.SetHigh(0, 0x02);
    EXPECT_EQ(DecodeSheet(image).com0Protocol, -1);
    image.SetHigh(0, 0x11);  // only the low four bits count
    EXPECT_EQ(DecodeSheet(image).com0Protocol, 1);
}

TEST(DecodeSheet, AddressShownOnlyWhileCom2RunsModbus) {
    RegisterImage image;
    image.SetLow(4, 64);
    image.SetHigh(2, 0x01);
    SheetState state = DecodeSheet(image);
    EXPECT_EQ(state.addressText, "64");
    EXPECT_EQ(state.rememberedAddress, 64);
    image.SetHigh(2, 0x00);
    state = DecodeSheet(image);
    EXPECT_EQ(state.addressText, "0");
    EXPECT_EQ(state.rememberedAddress, 64);
    image.SetHigh(2, 0x03);  // no entry: not "MODBUS RTU" either
    EXPECT_EQ(DecodeSheet(image).addressText, "0");
}

TEST(DecodeSheet, InputsRows) {
    RegisterImage image;
    image.SetHigh(InputTypeRegister(1), kInputVolts);
    image.SetLow(InputTypeRegister(1), 25);
    image.SetValue(InputLowerRegister(1), 204);
    image.SetValue(InputUpperRegister(1), 1023);
    image.SetHigh(InputTypeRegister(2), kInputCelsius);
    image.SetValue(InputLowerRegister(2), 0);
    image.SetValue(InputUpperRegister(2), 140);
    image.SetHigh(InputTypeRegister(3), kInputPercent);
    image.SetValue(InputUpperRegister(3), 100);
    image.SetHigh(InputTypeRegister(4), kInputNone);
    image.SetValue(InputLowerRegister(4), 77);
    image.SetHigh(InputTypeRegister(5), 4);
    image.SetLow(InputTypeRegister(5), 255);
    const SheetState state = DecodeSheet(image);
    EXPECT_EQ(state.inputs[0], (InputRowState{1, "1.00", "5.00", "250"}));
    EXPECT_EQ(state.inputs[1], (InputRowState{2, "-20", "120", "0"}));
    EXPECT_EQ(state.inputs[2], (InputRowState{3, "0", "100", "0"}));
    EXPECT_EQ(state.inputs[3], (InputRowState{0, " ", " ", "0"}));
    EXPECT_EQ(state.inputs[4].type, -1);  // type code above 3
    EXPECT_EQ(state.inputs[4].delay, "2550");
}

TEST(DecodeSheet, OutputsPage) {
    RegisterImage image;
    image.SetValue(8, 0x0003);
    image.SetValue(9, 0x0001);
    image.SetValue(23, 0xFFFF);
    image.SetLow(7, 0x01);
    image.SetHigh(7, 0x55);
    const SheetState state = DecodeSheet(image);
    EXPECT_EQ(state.outputs.words[0], 0x0003u);
    EXPECT_EQ(state.outputs.words[1], 0x0001u);
    EXPECT_EQ(state.outputs.words[15], 0xFFFFu);
    EXPECT_EQ(state.outputs.logic, 0x01);
    EXPECT_TRUE(state.outputs.IsNormalOff(1));
}

// ---- Confirming ------------------------------------------------------------------------------

TEST(EncodeSheet, UnchangedSheetRewritesRegistersThreeFourAndSeven) {
    RegisterImage image;
    image.SetValue(3, 0x1357);
    image.SetHigh(4, 0x12);
    image.SetHigh(7, 0x34);
    image.SetValue(5, 0xBEEF);
    image.SetValue(6, 0xCAFE);
    const RegisterImage result = Confirmed(DecodeSheet(image), image);
    EXPECT_EQ(result.High(3), 0x00);
    EXPECT_EQ(result.Low(3), 0x21);
    EXPECT_EQ(result.High(4), 0xFF);
    EXPECT_EQ(result.High(7), 0xA9);
    EXPECT_EQ(result.Value(5), 0xBEEF);  // never touched
    EXPECT_EQ(result.Value(6), 0xCAFE);
}

TEST(EncodeSheet, NormalisesPortBytesAsTheCardExpects) {
    RegisterImage image;
    image.SetHigh(0, 0x11);
    image.SetLow(0, 0x14);
    image.SetHigh(1, 0x00);
    image.SetLow(1, 0x3D);
    image.SetHigh(2, 0x01);
    image.SetLow(2, 0xF6);
    const RegisterImage result = Confirmed(DecodeSheet(image), image);
    EXPECT_EQ(result.High(0), 0x01);
    EXPECT_EQ(result.Low(0), 0x04);
    EXPECT_EQ(result.Low(1), 0x35);
    EXPECT_EQ(result.Low(2), 0x76);
}

TEST(EncodeSheet, ListsWithoutAnEntryKeepTheCodeRead) {
    RegisterImage image;
    image.SetHigh(0, 0x07);  // protocol code 7
    image.SetLow(0, 0x0F);   // baud code 15
    image.SetHigh(1, 0x02);
    image.SetLow(1, 0x17);  // baud 7, two stop bits, parity code 0
    image.SetHigh(InputTypeRegister(2), 9);
    image.SetValue(InputLowerRegister(2), 0x1234);
    image.SetValue(InputUpperRegister(2), 0x5678);
    SheetState state = DecodeSheet(image);
    state.com1.stop = 0;  // the one field chosen on that line
    state.inputs[1].lower = "1";
    state.inputs[1].upper = "2";
    const RegisterImage result = Confirmed(state, image);
    EXPECT_EQ(result.High(0), 0x07);
    EXPECT_EQ(result.Low(0), 0x0F);
    EXPECT_EQ(result.High(1), 0x02);
    EXPECT_EQ(result.Low(1), 0x07);
    EXPECT_EQ(result.High(InputTypeRegister(2)), 9);
    EXPECT_EQ(result.Value(InputLowerRegister(2)), 0x1234);
    EXPECT_EQ(result.Value(InputUpperRegister(2)), 0x5678);
}

TEST(EncodeSheet, PortChoices) {
    SheetState state = DecodeSheet(RegisterImage{});
    state.com0Protocol = 1;
    state.com0Baud = 3;
    state.com1 = {0, 4, 0, 1};
    state.com2 = {1, 5, 2, 1};
    const RegisterImage result = Confirmed(state, RegisterImage{});
    EXPECT_EQ(result.Value(0), 0x0104);
    EXPECT_EQ(result.Value(1), 0x0035);
    EXPECT_EQ(result.Value(2), 0x0176);
    state.com1 = {0, 0, 0, 0};
    EXPECT_EQ(Confirmed(state, RegisterImage{}).Low(1), 0x21);
}

TEST(EncodeSheet, AddressFromTheFieldWhileModbus) {
    const struct {
        const char* text;
        uint8_t stored;
    } cases[] = {
        {"64", 64}, {"abc", 0}, {" 32x", 32}, {"300", 255}, {"-5", 0}, {"255", 255},
    };
    RegisterImage image;
    image.SetHigh(2, 0x01);
    image.SetLow(4, 96);
    for (const auto& c : cases) {
        SheetState state = DecodeSheet(image);
        state.addressText = c.text;
        const RegisterImage result = Confirmed(state, image);
        EXPECT_EQ(result.Low(4), c.stored) << c.text;
        // Shown again: the address as stored.
        EXPECT_EQ(DecodeSheet(result).addressText, std::to_string(c.stored)) << c.text;
    }
}

TEST(EncodeSheet, AddressKeptWhileCom2RunsNexpr) {
    RegisterImage image;
    image.SetHigh(2, 0x00);
    image.SetLow(4, 64);
    SheetState state = DecodeSheet(image);
    ASSERT_EQ(state.addressText, "0");
    EXPECT_EQ(Confirmed(state, image).Low(4), 64);
    // Switched from "MODBUS RTU" to "NEXPR": the field shows 0, the remembered address stays.
    image.SetHigh(2, 0x01);
    state = DecodeSheet(image);
    state.com2 = Com2LinePreset(0);
    state.addressText = "0";
    EXPECT_EQ(Confirmed(state, image).Low(4), 64);
    state.rememberedAddress = 1000;
    EXPECT_EQ(Confirmed(state, image).Low(4), 255);
}

TEST(EncodeSheet, InputRows) {
    SheetState state = DecodeSheet(RegisterImage{});
    state.inputs[0] = {kInputVolts, "0.01", "2.50", "2500"};
    state.inputs[1] = {kInputCelsius, "-20", "120", "10"};
    state.inputs[2] = {kInputPercent, "0", "100", "0"};
    state.inputs[3] = {kInputNone, "1.00", "2.00", "1234"};
    RegisterImage image;
    image.SetHigh(InputTypeRegister(4), kInputVolts);
    image.SetValue(InputLowerRegister(4), 0x2222);
    const RegisterImage result = Confirmed(state, image);
    EXPECT_EQ(result.Value(24), (kInputVolts << 8) | 250);
    EXPECT_EQ(result.Value(25), 2);
    EXPECT_EQ(result.Value(26), 511);
    EXPECT_EQ(result.Value(27), (kInputCelsius << 8) | 1);
    EXPECT_EQ(result.Value(28), 0);
    EXPECT_EQ(result.Value(29), 140);
    EXPECT_EQ(result.Value(30), (kInputPercent << 8) | 0);
    EXPECT_EQ(result.Value(31), 0);
    EXPECT_EQ(result.Value(32), 100);
    EXPECT_EQ(result.Value(33), (kInputNone << 8) | 123);
    EXPECT_EQ(result.Value(34), 0x0000);  // type 0: full range whatever the fields hold
    EXPECT_EQ(result.Value(35), 0x03FF);
    const SheetState shown = DecodeSheet(result);
    EXPECT_EQ(shown.inputs[0].delay, "2500");
    EXPECT_EQ(shown.inputs[1].delay, "10");
    EXPECT_EQ(shown.inputs[2].delay, "0");
}

TEST(EncodeSheet, ThresholdFieldStillShowingTheRegisterKeepsIt) {
    RegisterImage image;
    image.SetHigh(24, kInputVolts);
    image.SetValue(25, 204);   // shown as 1.00, which would store 205
    image.SetValue(26, 2000);  // shown as 9.77, which would store 1999
    SheetState state = DecodeSheet(image);
    EXPECT_EQ(Confirmed(state, image), Confirmed(DecodeSheet(image), image));
    RegisterImage result = Confirmed(state, image);
    EXPECT_EQ(result.Value(25), 204);
    EXPECT_EQ(result.Value(26), 2000);
    // A field the user changed is converted; the other keeps its register.
    state.inputs[0].upper = "5.00";
    result = Confirmed(state, image);
    EXPECT_EQ(result.Value(25), 204);
    EXPECT_EQ(result.Value(26), 1023);
    // Another type: both converted from the fields.
    state.inputs[0] = {kInputPercent, "0", "100", "0"};
    image.SetValue(25, 0);
    result = Confirmed(state, image);
    EXPECT_EQ(result.Value(25), 0);
    EXPECT_EQ(result.Value(26), 100);
}

TEST(EncodeSheet, ThresholdFieldLeftAsShownKeepsWhateverItsRegisterHolds) {
    struct Case {
        uint8_t type;
        uint16_t lower;
        uint16_t upper;
        const char* lowerShown;  // what a field of at most four places shows of it
        const char* upperShown;
    };
    const Case cases[] = {
        {kInputVolts, 2047, 5000, "1.00", "2.44"},
        {kInputCelsius, 1020, 1500, "100", "148"},
        {kInputPercent, 1000, 65535, "100", "655"},
    };
    for (const Case& c : cases) {
        RegisterImage image;
        image.SetHigh(24, c.type);
        image.SetValue(25, c.lower);
        image.SetValue(26, c.upper);
        SheetState state = DecodeSheet(image);
        state.inputs[0].lower = c.lowerShown;
        state.inputs[0].upper = c.upperShown;
        state.inputs[0].lowerUnchanged = true;
        state.inputs[0].upperUnchanged = true;
        RegisterImage result = Confirmed(state, image);
        EXPECT_EQ(result.Value(25), c.lower) << int{c.type};
        EXPECT_EQ(result.Value(26), c.upper) << int{c.type};

        // Changed by the user: converted from the text.
        state.inputs[0].upperUnchanged = false;
        result = Confirmed(state, image);
        EXPECT_EQ(result.Value(25), c.lower) << int{c.type};
        EXPECT_EQ(result.Value(26), *ThresholdRegisterOfText(c.type, c.upperShown)) << int{c.type};

        // Another type than the card's: converted whatever the flags say.
        state.inputs[0].type = c.type == kInputPercent ? kInputVolts : kInputPercent;
        state.inputs[0].upperUnchanged = true;
        result = Confirmed(state, image);
        EXPECT_EQ(result.Value(26), *ThresholdRegisterOfText(state.inputs[0].type, c.upperShown))
            << int{c.type};
    }
}

TEST(HardwareOffsetWarningDue, OnlyForNexprShownOnACardWithAnOffset) {
    EXPECT_TRUE(HardwareOffsetWarningDue(0, 5));
    EXPECT_TRUE(HardwareOffsetWarningDue(0, -1));
    EXPECT_FALSE(HardwareOffsetWarningDue(0, 0));
    EXPECT_FALSE(HardwareOffsetWarningDue(1, 5));
    EXPECT_FALSE(HardwareOffsetWarningDue(-1, 5)) << "a list without entry is not NEXPR";
}

TEST(EncodeSheet, EventWordsAndLogic) {
    SheetState state = DecodeSheet(RegisterImage{});
    state.outputs.words[0] = 0x8001;
    state.outputs.words[15] = 0x1FFFF;  // only the low 16 bits are stored
    state.outputs.logic = 0x05;
    RegisterImage result = Confirmed(state, RegisterImage{});
    EXPECT_EQ(result.High(8), 0x80);
    EXPECT_EQ(result.Low(8), 0x01);
    EXPECT_EQ(result.Value(23), 0xFFFF);
    EXPECT_EQ(result.High(7), 0xA9);
    EXPECT_EQ(result.Low(7), 0x05);

    // Event 17 assigned to output 3, output 4 set to "Normal OFF".
    EventNames names;
    names[16] = "Door open";
    state = DecodeSheet(RegisterImage{});
    state.outputs.Assign(3, "Door open", names);
    state.outputs.SetNormalOff(4, true);
    result = Confirmed(state, RegisterImage{});
    EXPECT_EQ(result.Value(13), 0x0001);
    EXPECT_EQ(result.Low(7), 0x08);
    const SheetState shown = DecodeSheet(result);
    EXPECT_TRUE(shown.outputs.IsNormalOff(4));
    EXPECT_FALSE(shown.outputs.IsNormalOff(1));
    EXPECT_EQ(shown.outputs.AssignedEvents(3, names), std::vector<int>{17});
}

TEST(DecodeSheet, OnlyBitZeroGivesTheFirstOutputsLogic) {
    RegisterImage image;
    image.SetLow(7, 0xFE);
    EXPECT_FALSE(DecodeSheet(image).outputs.IsNormalOff(1));
    image.SetLow(7, 0x01);
    EXPECT_TRUE(DecodeSheet(image).outputs.IsNormalOff(1));
}

// What confirming an unchanged sheet may change: register 3, the high bytes of registers 4 and
// 7, bits 3 and 7 of the line bytes, the upper nibble of port bytes that show an entry, and the
// thresholds of inputs without thresholds (type 0).
RegisterImage ExpectedAfterUnchangedConfirmation(RegisterImage image) {
    if ((image.High(0) & 0x0F) <= 1) {
        image.SetHigh(0, image.High(0) & 0x0F);
    }
    if ((image.Low(0) & 0x0F) >= 1 && (image.Low(0) & 0x0F) <= 4) {
        image.SetLow(0, image.Low(0) & 0x0F);
    }
    for (int reg : {1, 2}) {
        if ((image.High(reg) & 0x0F) <= 1) {
            image.SetHigh(reg, image.High(reg) & 0x0F);
        }
        image.SetLow(reg, image.Low(reg) & 0x77);
    }
    image.SetValue(3, 0x0021);
    image.SetHigh(4, 0xFF);
    image.SetHigh(7, 0xA9);
    for (int n = 1; n <= kInputCount; ++n) {
        if (image.High(InputTypeRegister(n)) == kInputNone) {
            image.SetValue(InputLowerRegister(n), 0);
            image.SetValue(InputUpperRegister(n), 1023);
        }
    }
    return image;
}

TEST(EncodeSheet, UnchangedSheetGivesTheImageBackOverRandomImages) {
    std::mt19937 generator(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> smallType(0, 5);
    for (int round = 0; round < 20000; ++round) {
        RegisterImage image;
        for (int i = 0; i < RegisterImage::kByteCount; ++i) {
            image.Bytes()[i] = static_cast<uint8_t>(byte(generator));
        }
        // Mostly known input types and port codes, so that every path is taken often.
        for (int n = 1; n <= kInputCount; ++n) {
            if (round % 4 != 0) {
                image.SetHigh(InputTypeRegister(n), static_cast<uint8_t>(smallType(generator)));
            }
        }
        if (round % 2 == 0) {
            image.SetHigh(2, static_cast<uint8_t>(image.High(2) & 0xF1));
        }
        const RegisterImage result = Confirmed(DecodeSheet(image), image);
        ASSERT_EQ(result, ExpectedAfterUnchangedConfirmation(image)) << "round " << round;
        // Confirming again without changes is stable.
        ASSERT_EQ(Confirmed(DecodeSheet(result), result), result) << "round " << round;
    }
}

TEST(EncodeSheet, WriteOrderLetsLaterFieldsWin) {
    // Register 24's high byte comes from the type list and its low byte from the delay; the
    // thresholds of input 1 begin at 25, so nothing overlaps, and registers 5, 6 stay.
    SheetState state = DecodeSheet(RegisterImage{});
    for (auto& row : state.inputs) {
        row = {kInputPercent, "7", "8", "90"};
    }
    const RegisterImage result = Confirmed(state, RegisterImage{});
    for (int n = 1; n <= kInputCount; ++n) {
        EXPECT_EQ(result.Value(InputTypeRegister(n)), (kInputPercent << 8) | 9) << n;
        EXPECT_EQ(result.Value(InputLowerRegister(n)), 7) << n;
        EXPECT_EQ(result.Value(InputUpperRegister(n)), 8) << n;
    }
}

// ---- Page rules ------------------------------------------------------------------------------

TEST(PageRules, ProtocolPresets) {
    EXPECT_EQ(Com0BaudPreset(0), 0);  // "NEXPR": "1200"
    EXPECT_EQ(Com0BaudPreset(1), 3);  // "KARVO": "9600"
    EXPECT_EQ(Com2LinePreset(0), (LineEntries{0, 0, 0, 0}));
    EXPECT_EQ(Com2LinePreset(1), (LineEntries{1, 3, 0, 0}));
    EXPECT_FALSE(Com2LineControlsEnabled(0));
    EXPECT_TRUE(Com2LineControlsEnabled(1));
    EXPECT_FALSE(Com2LineControlsEnabled(-1));
}

TEST(PageRules, AddressCorrectionWhenLeft) {
    const struct {
        const char* text;
        const char* corrected;
    } cases[] = {
        {"300", "255"},   {"256", "255"},
        {"-5", "0"},      {"-1x", "0"},
        {"255", "255"},   {"64", "64"},
        {" 32x", " 32x"}, {"abc", "abc"},
        {"", ""},         {"99999999999999999999999", "255"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CorrectAddressText(c.text), c.corrected) << '"' << c.text << '"';
        EXPECT_EQ(AddressByteOfText(c.text), AddressByteOfText(CorrectAddressText(c.text)));
    }
}

TEST(PageRules, Caption) {
    EXPECT_EQ(SheetCaption("Setup", "Firmware ", "KFT018-01-01"), "Setup - Firmware 01.01");
    EXPECT_EQ(SheetCaption("A", "B", "KFT015-01-04"), "A - B01.04");
    EXPECT_EQ(SheetCaption("A", "B", "KFT015"), "A - B.");
    EXPECT_EQ(SheetCaption("A", "B", "KFT015-0"), "A - B0.");
    EXPECT_EQ(SheetCaption("A", "B", ""), "A - B.");
    EXPECT_EQ(SheetCaption("A", "B", nullptr), "A - B.");
    const std::string longText(500, 'x');
    EXPECT_EQ(SheetCaption(longText, longText, "KFT026-02-03"),
              longText + " - " + longText + "02.03");
}

}  // namespace
