// Language texts reach the widgets decoded: Windows-1252 bytes, or UTF-8 when valid.
#include <gtest/gtest.h>

#include "ui/Texts.h"

namespace {

struct DecodeCase {
    const char* name;
    std::string bytes;
    QString text;
};

class DecodeLanguageBytesTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeLanguageBytesTest, GivesTheCharactersTheFileMeant) {
    EXPECT_EQ(DecodeLanguageBytes(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DecodeLanguageBytesTest,
    testing::Values(
        DecodeCase{"Ascii", "Baud rate", QStringLiteral("Baud rate")},
        DecodeCase{"DegreeSignAsOneByte",
                   "\xB0"
                   "C",
                   QString::fromUtf8("\u00B0C")},
        DecodeCase{"DegreeSignInUtf8",
                   "\xC2\xB0"
                   "C",
                   QString::fromUtf8("\u00B0C")},
        DecodeCase{"UmlautAsOneByte", "Ausg\xE4nge", QString::fromUtf8("Ausg\u00E4nge")},
        DecodeCase{"EuroAndQuotesFromTheHighRange", "\x80 \x93x\x94",
                   QString::fromUtf8("\u20AC \u201Cx\u201D")},
        DecodeCase{"AccentedItalian", "Velocit\xE0", QString::fromUtf8("Velocit\u00E0")},
        DecodeCase{"Empty", "", QString()}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
