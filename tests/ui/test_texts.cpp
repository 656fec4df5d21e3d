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
        DecodeCase{"Empty", "", QString()},
        // "Português" in UTF-8, cut by a length limit inside the "ê" or the last character.
        DecodeCase{"Utf8CutInsideItsLastCharacter", "Portugu\xC3\xAAs (Brasil) \xC3",
                   QString::fromUtf8("Portugu\u00EAs (Brasil) ")},
        // Nothing before the cut tells UTF-8 from Windows-1252: the bytes stay Windows-1252.
        DecodeCase{"CutWithoutAWholeCharacterBefore", "Portugu\xC3",
                   QString::fromUtf8("Portugu\u00C3")},
        DecodeCase{"Utf8CutAfterAnEarlierCharacter", "Ol\xC3\xA1 Portugu\xC3",
                   QString::fromUtf8("Ol\u00E1 Portugu")},
        DecodeCase{"Utf8CutInsideAThreeByteCharacter",
                   "\xC2\xB0"
                   "C \xE2\x82",
                   QString::fromUtf8("\u00B0C ")},
        DecodeCase{"Utf8CutInsideAFourByteCharacter", "\xC3\xA9\xF0\x9F\x98",
                   QString::fromUtf8("\u00E9")},
        // A Windows-1252 text whose last character looks like the start of a UTF-8 one.
        DecodeCase{"Windows1252EndingInALeadByte", "Citt\xE0", QString::fromUtf8("Citt\u00E0")},
        DecodeCase{"Windows1252WithAnAccentBeforeTheEnd", "\xE0 Portugu\xC3",
                   QString::fromUtf8("\u00E0 Portugu\u00C3")}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
