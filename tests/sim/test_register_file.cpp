#include <gtest/gtest.h>

#include "sim/RegisterFile.h"

namespace {

TEST(RegisterFile, ReadsRegistersValuesRangesAndComments) {
    RegisterImage image;
    image.SetValue(30, 0x7777);
    std::string error;
    ASSERT_TRUE(
        ParseRegisterText("# a comment line\n"
                          "0  0104\n"
                          "1 = 0x0125   # COM1\n"
                          "\t2\t21 ; other comment style\n"
                          "0x0A ffff\n"
                          "\n"
                          "24-26 03E8\r\n"
                          "47 0\n",
                          image, error))
        << error;
    EXPECT_EQ(image.Value(0), 0x0104);
    EXPECT_EQ(image.Value(1), 0x0125);
    EXPECT_EQ(image.Value(2), 0x0021);
    EXPECT_EQ(image.Value(10), 0xFFFF);
    for (int r = 24; r <= 26; ++r) {
        EXPECT_EQ(image.Value(r), 0x03E8);
    }
    EXPECT_EQ(image.Value(30), 0x7777);  // not named: kept
    EXPECT_EQ(image.Value(47), 0);
}

TEST(RegisterFile, NamesTheFirstBadLineAndChangesNothing) {
    struct Case {
        const char* text;
        const char* error;
    };
    for (const Case& c : {Case{"1 0001\n48 0001\n", "line 2: \"48\" is no register 0-47"},
                          Case{"5\n", "line 1: register 5 has no value"},
                          Case{"5 10000\n", "line 1: \"10000\" is no 16-bit hexadecimal value"},
                          Case{"5 12G4\n", "line 1: \"12G4\" is no 16-bit"},
                          Case{"-1 0\n", "line 1: \"-1\" is no register"},
                          Case{"7-3 0\n", "line 1: \"7-3\" is no register"},
                          Case{"x 0\n", "line 1: \"x\" is no register"},
                          Case{"5 0001 0002\n", "line 1: unexpected \"0002\""}}) {
        RegisterImage image;
        std::string error;
        EXPECT_FALSE(ParseRegisterText(c.text, image, error)) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
        EXPECT_EQ(image, RegisterImage());
    }
}

TEST(RegisterFile, ADumpLoadsBackToTheSameRegisters) {
    RegisterImage image;
    for (int r = 0; r < 48; ++r) {
        image.SetValue(r, static_cast<uint16_t>(0x9E37 * (r + 1)));
    }
    const std::string dump = FormatRegisterDump(image);
    EXPECT_NE(dump.find(" 1 "), std::string::npos);
    EXPECT_NE(dump.find("# input 8 upper threshold"), std::string::npos);
    RegisterImage loaded;
    std::string error;
    ASSERT_TRUE(ParseRegisterText(dump, loaded, error)) << error;
    EXPECT_EQ(loaded, image);
}

TEST(RegisterFile, AMissingFileIsReported) {
    RegisterImage image;
    std::string error;
    EXPECT_FALSE(LoadRegisterFile("/nonexistent/registers.txt", image, error));
    EXPECT_EQ(error, "cannot read /nonexistent/registers.txt");
}

}  // namespace
