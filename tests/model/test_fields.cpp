// Field codecs of the register map, the lenient number reading, and the firmware families.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "model/Fields.h"
#include "model/FirmwareVariant.h"

namespace {

struct LineCase {
    uint8_t byte;
    LineSettings settings;
};

TEST(LineByte, DecodesBaudStopAndParityIgnoringBitsThreeAndSeven) {
    const LineCase cases[] = {
        {0x35, {5, 1, 1}},  // "19200", two stop bits, first parity
        {0x3D, {5, 1, 1}},  // bit 3 plays no part
        {0xB5, {5, 1, 1}},  // nor bit 7
        {0x20, {0, 0, 1}},  // baud code 0: no rate
        {0x21, {1, 0, 1}}, {0x76, {6, 1, 3}},
        {0x05, {5, 0, 0}},  // parity code 0, as a register that was never normalised
        {0xFF, {7, 1, 3}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeLineByte(c.byte), c.settings) << int{c.byte};
    }
}

TEST(LineByte, EncodesWithBitsThreeAndSevenClear) {
    const LineCase cases[] = {
        {0x35, {5, 1, 1}},   // "19200", parity entry 0, "2"
        {0x21, {1, 0, 1}},   // "1200", parity entry 0, "1"
        {0x76, {6, 1, 3}},   // "38400", parity entry 2, "2"
        {0x07, {15, 0, 0}},  // each code cut to its field
        {0x77, {7, 3, 7}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeLineByte(c.settings), c.byte) << int{c.byte};
    }
    for (int byte = 0; byte < 256; ++byte) {
        ASSERT_EQ(EncodeLineByte(DecodeLineByte(static_cast<uint8_t>(byte))), byte & 0x77);
    }
}

TEST(PortBytes, ProtocolAndCom0BaudUseTheLowNibble) {
    EXPECT_EQ(Com0ProtocolCode(0x11), 1);
    EXPECT_EQ(Com0ProtocolCode(0x01), 1);
    EXPECT_EQ(Com0BaudCode(0x04), 4);
    EXPECT_EQ(Com0BaudCode(0xF9), 9);  // four bits, where the line byte has three
    EXPECT_EQ(PortProtocolCode(0xA1), 1);
    EXPECT_EQ(PortProtocolCode(0x0F), 15);
}

TEST(PortBytes, BaudTexts) {
    const std::vector<std::string> rates = {"",      "1200",  "2400",  "4800", "9600",
                                            "19200", "38400", "57600", ""};
    for (int code = 0; code < static_cast<int>(rates.size()); ++code) {
        EXPECT_EQ(BaudText(code), rates[code]) << code;
    }
    EXPECT_EQ(BaudText(-1), "");
}

TEST(Registers, InputRegistersOfTheMap) {
    EXPECT_EQ(InputTypeRegister(1), 24);
    EXPECT_EQ(InputLowerRegister(1), 25);
    EXPECT_EQ(InputUpperRegister(1), 26);
    EXPECT_EQ(InputTypeRegister(8), 45);
    EXPECT_EQ(InputUpperRegister(8), 47);
}

struct IntegerCase {
    const char* text;
    long value;
};

TEST(Lenient, IntegerReading) {
    const IntegerCase cases[] = {
        {"64", 64},  {" 32x", 32}, {"abc", 0},    {"", 0},    {"-20", -20},
        {"+7", 7},   {"  -", 0},   {"12 34", 12}, {"- 5", 0}, {"0x1F", 0},
        {"2.50", 2}, {"\t9", 9},   {"300", 300},  {"007", 7},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LenientInteger(c.text), c.value) << '"' << c.text << '"';
    }
    // Far too many digits saturate instead of overflowing.
    EXPECT_GT(LenientInteger("99999999999999999999999"), 0);
    EXPECT_LT(LenientInteger("-99999999999999999999999"), 0);
}

struct DecimalCase {
    const char* text;
    double value;
};

TEST(Lenient, DecimalReading) {
    const DecimalCase cases[] = {
        {"2.50", 2.5}, {" 2.5 ", 2.5}, {" .  ", 0.0}, {"", 0.0},   {"-1.25", -1.25},
        {"4.", 4.0},   {".5", 0.5},    {"1,5", 1.0},  {"x1", 0.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LenientDecimal(c.text), c.value) << '"' << c.text << '"';
    }
    EXPECT_TRUE(std::isnan(LenientDecimal("nan")));
    EXPECT_TRUE(std::isinf(LenientDecimal("1e999")));
}

// The whole of the C library's grammar, the same on every system: signs, exponents, hexadecimal
// numbers, infinities, and what lies beyond a double's range.
TEST(Lenient, DecimalReadingFollowsTheCLibraryGrammar) {
    const double huge = std::numeric_limits<double>::infinity();
    const DecimalCase cases[] = {
        {"+2.5", 2.5},
        {"+-1", 0.0},
        {"--1", 0.0},
        {"- 1", 0.0},
        {"\n\v\f\r 3", 3.0},
        {"1e3", 1000.0},
        {"1E-2x", 0.01},
        {"2e", 2.0},
        {"2e+", 2.0},
        {".e1", 0.0},
        {"0x10", 16.0},
        {"0X1p4", 16.0},
        {"0x.8", 0.5},
        {"-0x1.8p1", -3.0},
        {"0x", 0.0},
        {"0x.", 0.0},
        {"0xg", 0.0},
        {"inf", huge},
        {"-Infinity", -huge},
        {"1e999", huge},
        {"-1e999", -huge},
        {"1e-999", 0.0},
        {"-1e-999", 0.0},
        {"0.0000000000000000000001e-400", 0.0},
        {"100000000000000000000000000e300", huge},
        {"0x1p99999", huge},
        {"0x1p-99999", 0.0},
        {"1e99999999999999999999", huge},
        {"4.9e-324", 4.9e-324},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LenientDecimal(c.text), c.value) << '"' << c.text << '"';
#if defined(__GLIBC__)
        // glibc reads the same grammar; the tests run in the "C" locale.
        EXPECT_EQ(LenientDecimal(c.text), std::strtod(c.text, nullptr)) << '"' << c.text << '"';
#endif
    }
    EXPECT_TRUE(std::signbit(LenientDecimal("-0")));
    EXPECT_TRUE(std::isnan(LenientDecimal("-nan(1)")));
    EXPECT_EQ(LenientDecimal(std::string("1\0"
                                         "2",
                                         3)),
              1.0);
}

TEST(Lenient, DecimalPointDoesNotDependOnTheUserLocale) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const char* commaLocales[] = {"de_DE.UTF-8", "de_DE.utf8", "it_IT.UTF-8", "fr_FR.UTF-8",
                                  "German_Germany.1252"};
    const char* chosen = nullptr;
    for (const char* name : commaLocales) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            chosen = name;
            break;
        }
    }
    // scripts/setup.sh generates de_DE.UTF-8, so this runs wherever make test runs.
    ASSERT_NE(chosen, nullptr) << "no locale with a decimal comma installed";
    const double value = LenientDecimal("2.50");
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(value, 2.5) << chosen;
}

struct VariantCase {
    int variant;
    std::optional<FirmwareFamily> family;
    size_t registers;
    std::optional<bool> pages;
    std::optional<int> step;
    std::optional<int> message;
};

TEST(FirmwareVariant, EverythingDependsOnThePairOnly) {
    const VariantCase cases[] = {
        {0, FirmwareFamily::Kft015, 5, false, 18, 19},
        {1, FirmwareFamily::Kft015, 5, false, 18, 19},
        {2, FirmwareFamily::Kft018, 46, true, 2, 22},
        {3, FirmwareFamily::Kft018, 46, true, 2, 22},
        {4, FirmwareFamily::Kft026, 5, false, 18, 94},
        {5, FirmwareFamily::Kft026, 5, false, 18, 94},
        {6, std::nullopt, 5, std::nullopt, std::nullopt, std::nullopt},
        {-1, std::nullopt, 5, std::nullopt, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FamilyOfVariant(c.variant), c.family) << c.variant;
        EXPECT_EQ(ExchangedRegisters(c.variant).size(), c.registers) << c.variant;
        EXPECT_EQ(HasInputOutputPages(c.variant), c.pages) << c.variant;
        EXPECT_EQ(ProgressStepOfVariant(c.variant), c.step) << c.variant;
        EXPECT_EQ(ProgrammedMessageOfVariant(c.variant), c.message) << c.variant;
    }
}

TEST(FirmwareVariant, RegistersInAscendingOrderNeverFiveOrSix) {
    EXPECT_EQ(ExchangedRegisters(0), (std::vector<int>{0, 1, 2, 3, 4}));
    std::vector<int> full = {0, 1, 2, 3, 4};
    for (int reg = 7; reg <= 47; ++reg) {
        full.push_back(reg);
    }
    EXPECT_EQ(ExchangedRegisters(2), full);
    EXPECT_EQ(ExchangedRegisters(3), full);
}

}  // namespace
