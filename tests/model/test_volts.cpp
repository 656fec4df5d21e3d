// Voltage thresholds: the card's 0-1023 scale for 0.00-5.00 V and its rounding at the edges.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/Inputs.h"

namespace {

// The same rules evaluated in double precision only; the card's values must not depend on it.
uint16_t DoubleOnlyTextToRegister(const std::string& text) {
    const double x = 0.2 * std::strtod(text.c_str(), nullptr) * 1023;
    const double raw = std::fmod(std::trunc(x * 10), 10.0) > 5 ? std::ceil(x) : std::floor(x);
    return static_cast<uint16_t>(raw);
}

std::string DoubleOnlyRegisterToText(uint16_t raw) {
    const double v = (1.0 / 1023) * raw * 5;
    const double hundredths = v * 100;
    const double steps =
        std::fmod(std::trunc(v * 1000), 10.0) > 5 ? std::ceil(hundredths) : std::floor(hundredths);
    char text[32];
    std::snprintf(text, sizeof text, "%1.2lf", steps * 0.01);
    return text;
}

// "0.00" to "5.00" as the volts field writes them.
std::string VoltsText(int hundredths) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%02d", hundredths / 100, hundredths % 100);
    return text;
}

struct TextToRegister {
    const char* text;
    uint16_t raw;
};

TEST(Volts, PageToRegisterListedValues) {
    const TextToRegister cases[] = {
        {"0.00", 0},   {"0.01", 2},   {"0.99", 202},  {"1.00", 205},  {"2.49", 509},
        {"2.50", 511}, {"2.51", 513}, {"4.99", 1021}, {"5.00", 1023},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VoltsTextToRegister(c.text), c.raw) << c.text;
    }
}

TEST(Volts, PageToRegisterReadsTheTextLeniently) {
    const TextToRegister cases[] = {
        {" .  ", 0},     // an emptied masked field
        {"", 0},         // no number at all
        {" 2.5 ", 511},  // leading blanks, trailing blank of the mask
        {"2.50V", 511},  // stops at the first character that does not fit
        {"+1.00", 205}, {"abc", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VoltsTextToRegister(c.text), c.raw) << '"' << c.text << '"';
    }
}

TEST(Volts, PageToRegisterOutsideTheRangeKeepsTheLowSixteenBits) {
    // 0.2 x 9999 x 1023 = 2045795.4, rounded down, then cut to 16 bits.
    EXPECT_EQ(VoltsTextToRegister("9999"), 2045795 % 65536);
    // -1.00 gives -204.6: first decimal digit -6, so rounded down to -205.
    EXPECT_EQ(VoltsTextToRegister("-1.00"), static_cast<uint16_t>(-205));
    // Not numbers, or too large for any register: defined results, no overflow.
    EXPECT_EQ(VoltsTextToRegister("nan"), 0);
    EXPECT_EQ(VoltsTextToRegister("inf"), 0);
    EXPECT_EQ(VoltsTextToRegister("1e300"), 0);  // a multiple of 65536
}

struct RegisterToText {
    uint16_t raw;
    const char* text;
};

TEST(Volts, RegisterToPageListedValues) {
    const RegisterToText cases[] = {
        {0, "0.00"},    {1, "0.00"},    {2, "0.01"},       {204, "1.00"},
        {205, "1.00"},  {511, "2.50"},  {512, "2.50"},     {1022, "4.99"},
        {1023, "5.00"}, {2000, "9.77"}, {65535, "320.31"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VoltsRegisterToText(c.raw), c.text) << c.raw;
    }
}

TEST(Volts, EveryTextOfTheRangeComesBackUnchanged) {
    for (int hundredths = 0; hundredths <= 500; ++hundredths) {
        const std::string text = VoltsText(hundredths);
        const uint16_t raw = VoltsTextToRegister(text);
        ASSERT_LE(raw, 1023) << text;
        ASSERT_EQ(VoltsRegisterToText(raw), text) << text << " stored as " << raw;
    }
}

TEST(Volts, DoublePrecisionGivesTheSameRegisterForEveryTextOfTheRange) {
    for (int hundredths = 0; hundredths <= 500; ++hundredths) {
        const std::string text = VoltsText(hundredths);
        ASSERT_EQ(VoltsTextToRegister(text), DoubleOnlyTextToRegister(text)) << text;
    }
}

TEST(Volts, DoublePrecisionGivesTheSameTextForEveryRegisterValue) {
    for (int raw = 0; raw <= 65535; ++raw) {
        const auto value = static_cast<uint16_t>(raw);
        ASSERT_EQ(VoltsRegisterToText(value), DoubleOnlyRegisterToText(value)) << raw;
    }
}

TEST(Volts, EveryRegisterOfTheRangeShowsAValueThatStaysStable) {
    // Showing a register and storing the text back may move it by a step of the scale, but a
    // second round trip changes nothing: confirming twice never drifts.
    for (int raw = 0; raw <= 1023; ++raw) {
        const std::string text = VoltsRegisterToText(static_cast<uint16_t>(raw));
        const uint16_t stored = VoltsTextToRegister(text);
        ASSERT_LE(std::abs(stored - raw), 2) << raw;
        ASSERT_EQ(VoltsRegisterToText(stored), text) << raw;
    }
}

}  // namespace
