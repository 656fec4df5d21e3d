// Input rows: thresholds by type, their checks when a field is left, and the delays.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

#include "model/Inputs.h"
#include "model/RegisterImage.h"

namespace {

struct TextRegister {
    const char* text;
    uint16_t raw;
};

TEST(Celsius, TextToRegisterAndBack) {
    const TextRegister cases[] = {{"-20", 0}, {"0", 20}, {"120", 140}, {" 25x", 45}, {"", 20}};
    for (const auto& c : cases) {
        EXPECT_EQ(CelsiusTextToRegister(c.text), c.raw) << c.text;
    }
    EXPECT_EQ(CelsiusRegisterToText(0), "-20");
    EXPECT_EQ(CelsiusRegisterToText(140), "120");
    EXPECT_EQ(CelsiusRegisterToText(65535), "65515");
    // Low 16 bits of value + 20.
    EXPECT_EQ(CelsiusTextToRegister("-21"), 0xFFFF);
    EXPECT_EQ(CelsiusTextToRegister("65516"), 0);
    for (int raw = 0; raw <= 65535; raw += 7) {
        const auto value = static_cast<uint16_t>(raw);
        ASSERT_EQ(CelsiusTextToRegister(CelsiusRegisterToText(value)), value);
    }
}

TEST(Percent, TextToRegisterAndBack) {
    const TextRegister cases[] = {{"0", 0},       {"100", 100}, {"abc", 0},
                                  {"-1", 0xFFFF}, {"65536", 0}, {"70000", 70000 - 65536}};
    for (const auto& c : cases) {
        EXPECT_EQ(PercentTextToRegister(c.text), c.raw) << c.text;
    }
    EXPECT_EQ(PercentRegisterToText(100), "100");
    EXPECT_EQ(PercentRegisterToText(65535), "65535");
}

TEST(ShowThresholds, DefaultsOfEachType) {
    struct Case {
        int type;
        ThresholdRowView view;
    };
    const Case cases[] = {
        {kInputNone, {false, "", " ", " "}},
        {kInputVolts, {true, "V", "0.00", "5.00"}},
        {kInputCelsius, {true, "\u00B0C", "-20", "120"}},
        {kInputPercent, {true, "%", "0", "100"}},
    };
    RegisterImage image;
    image.SetValue(25, 511);
    for (const auto& c : cases) {
        EXPECT_EQ(ShowThresholds(c.type, nullptr, 25), c.view) << c.type;
        EXPECT_EQ(ShowThresholds(c.type, &image, 0), c.view) << c.type;  // register 0: none
    }
}

TEST(ShowThresholds, FromTheRegistersByType) {
    RegisterImage image;
    image.SetValue(25, 204);
    image.SetValue(26, 2000);
    EXPECT_EQ(ShowThresholds(kInputVolts, &image, 25),
              (ThresholdRowView{true, "V", "1.00", "9.77"}));
    image.SetValue(25, 0);
    image.SetValue(26, 140);
    EXPECT_EQ(ShowThresholds(kInputCelsius, &image, 25),
              (ThresholdRowView{true, "\u00B0C", "-20", "120"}));
    image.SetValue(46, 5);
    image.SetValue(47, 95);
    EXPECT_EQ(ShowThresholds(kInputPercent, &image, 46), (ThresholdRowView{true, "%", "5", "95"}));
    // Type 0 reads no register.
    EXPECT_EQ(ShowThresholds(kInputNone, &image, 46), (ThresholdRowView{false, "", " ", " "}));
}

TEST(ShowThresholds, UnknownTypeShowsEmptyDisabledFields) {
    RegisterImage image;
    image.SetValue(25, 511);
    image.SetValue(26, 1023);
    const ThresholdRowView empty{false, "", "", ""};
    for (int type : {-1, 4, 0xFF}) {
        EXPECT_EQ(ShowThresholds(type, &image, 25), empty) << type;
        EXPECT_EQ(ShowThresholds(type, nullptr, 0), empty) << type;
    }
    EXPECT_EQ(ShowThresholds(kInputVolts, &image, 47), std::nullopt);  // no register 48
}

TEST(TransferThresholds, ByType) {
    struct Case {
        int type;
        const char* lower;
        const char* upper;
        uint16_t lowerRaw;
        uint16_t upperRaw;
    };
    const Case cases[] = {
        {kInputNone, "2.50", "3.00", 0x0000, 0x03FF},  // whatever the fields hold
        {kInputNone, " ", " ", 0x0000, 0x03FF},       {kInputVolts, "0.01", "2.50", 2, 511},
        {kInputCelsius, "-20", "120", 0, 140},        {kInputPercent, "0", "100", 0, 100},
    };
    for (const auto& c : cases) {
        RegisterImage image;
        image.SetValue(27, 0x1234);
        image.SetValue(30, 0x5678);
        TransferThresholds(c.type, c.lower, 28, c.upper, image);
        EXPECT_EQ(image.Value(28), c.lowerRaw) << c.type;
        EXPECT_EQ(image.Value(29), c.upperRaw) << c.type;
        EXPECT_EQ(image.Value(27), 0x1234);  // neighbours untouched
        EXPECT_EQ(image.Value(30), 0x5678);
    }
}

TEST(TransferThresholds, UnknownTypeWritesNothing) {
    RegisterImage image;
    image.SetValue(25, 0xABCD);
    image.SetValue(26, 0xEF01);
    const RegisterImage before = image;
    for (int type : {-1, 4, 0xFF}) {
        TransferThresholds(type, "1", 25, "2", image);
        EXPECT_EQ(image, before) << type;
    }
    TransferThresholds(kInputNone, "", 47, "", image);  // no register 48
    EXPECT_EQ(image, before);
}

struct ValidateCase {
    int type;
    ThresholdSide side;
    const char* field;
    const char* other;
    const char* corrected;
};

TEST(ValidateThreshold, CorrectsTheFieldThatWasLeft) {
    using S = ThresholdSide;
    const ValidateCase cases[] = {
        // Volts: out of range takes the own side's default, whichever end was crossed.
        {kInputVolts, S::Lower, "7.00", "5.00", "0.00"},
        {kInputVolts, S::Upper, "1.00", "2.00", "2.00"},
        {kInputVolts, S::Lower, "4.00", "3.00", "3.00"},
        {kInputVolts, S::Lower, " .  ", "5.00", "0.00"},  // emptied field reads as 0
        {kInputVolts, S::Upper, " .  ", "1.50", "1.50"},  // 0, then raised to the lower one
        {kInputVolts, S::Upper, "-1.00", "0.00", "5.00"},
        {kInputVolts, S::Upper, "5.01", "0.00", "5.00"},
        {kInputVolts, S::Lower, "2.5 ", "5.00", "2.50"},
        {kInputVolts, S::Upper, "9.77", "1.00", "5.00"},  // a card value above 1023
        {kInputVolts, S::Lower, "nan", "5.00", "0.00"},   // not a number: out of range
        {kInputVolts, S::Upper, "inf", "0.00", "5.00"},
        {kInputVolts, S::Lower, "-0", "5.00", "0.00"},   // never "-0.00"
        {kInputVolts, S::Upper, "3.00", "nan", "3.00"},  // an unreadable other sets no bound
        {kInputVolts, S::Lower, "3.00", "-inf", "3.00"},
        // Degrees.
        {kInputCelsius, S::Lower, "130", "120", "-20"},
        {kInputCelsius, S::Upper, "-30", "-20", "120"},
        {kInputCelsius, S::Lower, "50", "40", "40"},
        {kInputCelsius, S::Upper, "30", "40", "40"},
        {kInputCelsius, S::Lower, "-20", "120", "-20"},
        {kInputCelsius, S::Upper, "", "-5", "0"},
        // Percent.
        {kInputPercent, S::Lower, "150", "100", "0"},
        {kInputPercent, S::Upper, "150", "0", "100"},
        {kInputPercent, S::Upper, "-1", "0", "100"},
        {kInputPercent, S::Lower, "60", "50", "50"},
        {kInputPercent, S::Lower, "99999999999999999999999", "100", "0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ValidateThreshold(c.type, c.field, c.side, c.other), c.corrected)
            << "type " << c.type << " side " << static_cast<int>(c.side) << " field \"" << c.field
            << "\" other \"" << c.other << '"';
    }
}

TEST(ValidateThreshold, NothingForTypeZeroOrUnknown) {
    for (int type : {static_cast<int>(kInputNone), -1, 4}) {
        EXPECT_EQ(ValidateThreshold(type, "7", ThresholdSide::Lower, "1"), std::nullopt);
    }
}

TEST(ValidateThreshold, LowerEndsInRangeAndNotAboveTheUpper) {
    char upperText[16];
    char lowerText[16];
    for (int upper = 0; upper <= 500; ++upper) {
        std::snprintf(upperText, sizeof upperText, "%d.%02d", upper / 100, upper % 100);
        for (int lower = -100; lower <= 700; lower += 7) {
            std::snprintf(lowerText, sizeof lowerText, "%.2f", lower / 100.0);
            const auto corrected =
                ValidateThreshold(kInputVolts, lowerText, ThresholdSide::Lower, upperText);
            ASSERT_TRUE(corrected.has_value());
            const double value = std::stod(*corrected);
            ASSERT_GE(value, 0.0) << lowerText << " / " << upperText;
            ASSERT_LE(value, upper / 100.0 + 1e-9) << lowerText << " / " << upperText;
        }
    }
}

TEST(ValidateDelay, ClampsAndRoundsDown) {
    const struct {
        const char* text;
        const char* corrected;
    } cases[] = {
        {"1234", "1230"}, {"5", "0"},       {"9999", "2500"}, {"2500", "2500"}, {"", "0"},
        {"-5", "0"},      {"2509", "2500"}, {"2499", "2490"}, {"10", "10"},     {"x", "0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ValidateDelay(c.text), c.corrected) << '"' << c.text << '"';
    }
}

TEST(Delay, ByteAndMilliseconds) {
    EXPECT_EQ(DelayByteOfText("2500"), 250);
    EXPECT_EQ(DelayByteOfText("10"), 1);
    EXPECT_EQ(DelayByteOfText("0"), 0);
    EXPECT_EQ(DelayByteOfText(""), 0);
    EXPECT_EQ(DelayByteOfText("1239"), 123);
    EXPECT_EQ(DelayByteOfText("2560"), 0);  // low 8 bits of 256
    EXPECT_EQ(DelayTextOfByte(25), "250");
    EXPECT_EQ(DelayTextOfByte(250), "2500");
    for (int byte = 0; byte < 256; ++byte) {
        const auto value = static_cast<uint8_t>(byte);
        ASSERT_EQ(DelayByteOfText(DelayTextOfByte(value)), value);
    }
}

}  // namespace
