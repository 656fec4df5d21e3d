// The language files shipped beside the program: each one loads, holds a readable text for every
// number the dialogs use, and its texts fit the fixed layouts of the dialogs.
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QListWidget>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTabWidget>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/LanguageTable.h"
#include "app/NoAnswerTexts.h"
#include "app/ProgramDirectory.h"
#include "app/TextDecoding.h"
#include "model/FirmwareVariant.h"
#include "ui/Appearance.h"
#include "ui/Texts.h"

namespace {

struct ShippedLanguage {
    int number;
    const char* displayName;
};

// Names the language in failure messages.
void PrintTo(const ShippedLanguage& language, std::ostream* out) {
    *out << language.displayName << " (lang_0" << language.number << ".ini)";
}

const ShippedLanguage kShippedLanguages[] = {{0, "English"}, {1, "Deutsch"}, {2, "Italiano"}};

constexpr int kLastUsedNumber = 95;
constexpr int kFirstEvent = 60;
constexpr int kLastEvent = 91;

// Numbers between 0 and 95 that no dialog reads; their lines only keep the numbering.
bool IsUsedNumber(int number) {
    return number != 5 && number != 31 && number != 92;
}

std::string Placeholder(int number) {
    char text[16];
    std::snprintf(text, sizeof text, "Text %.3d", number);
    return text;
}

std::string Key(int number) {
    char key[16];
    std::snprintf(key, sizeof key, "String%.3d", number);
    return key;
}

std::string LanguageFilePath(int languageNumber) {
    char name[32];
    std::snprintf(name, sizeof name, "lang_%.2d.ini", languageNumber);
    return PathText(ProgramDirectory / name);
}

// Texts added after the dialogs' own: screen-reader names (100-105), the serial link's words
// (200-231) and the headings of brovane-cli's commissioning records (232-254). Each language file
// holds them all, each different from the English fallback except in English.
constexpr int kLaterTexts[] = {100, 101, 102, 103, 104, 105, 106, 200, 201, 202, 203, 204,
                               205, 206, 207, 210, 211, 212, 213, 214, 215, 216, 217, 218,
                               219, 220, 221, 222, 223, 224, 225, 226, 227, 228, 229, 230,
                               231, 232, 233, 234, 235, 236, 237, 238, 239, 240, 241, 242,
                               243, 244, 245, 246, 247, 248, 249, 250, 251, 252, 253, 254};

constexpr int kEnglish = 0;

class ShippedLanguageFile : public testing::TestWithParam<ShippedLanguage> {
  protected:
    void SetUp() override {
        savedDirectory_ = ProgramDirectory;
        ProgramDirectory = ExecutableDirectory();
        Load(GetParam().number);
    }

    static void Load(int language) {
        FreeLanguageTable();
        ASSERT_EQ(CreateLanguageTable(), 0);
        ASSERT_EQ(LoadLanguageTable(static_cast<int8_t>(language)), 0)
            << LanguageFilePath(language) << " is missing or has no [Quorix] section";
    }

    // The English file's texts of kLaterTexts, in that order; the test's language stays loaded.
    std::vector<std::string> EnglishLaterTexts() {
        std::vector<std::string> english;
        Load(kEnglish);
        for (int number : kLaterTexts) {
            english.push_back(LanguageBytes(number));
        }
        Load(GetParam().number);
        return english;
    }

    void TearDown() override {
        FreeLanguageTable();
        ProgramDirectory = savedDirectory_;
    }

  private:
    std::filesystem::path savedDirectory_;
};

TEST_P(ShippedLanguageFile, HoldsATextForEveryNumberTheDialogsUse) {
    for (int number = 0; number <= kLastUsedNumber; ++number) {
        const std::string text = LanguageBytes(number);
        EXPECT_NE(text, Placeholder(number)) << Key(number) << " is missing";
        if (IsUsedNumber(number)) {
            EXPECT_FALSE(text.empty()) << Key(number) << " is empty";
        }
    }
}

TEST_P(ShippedLanguageFile, HoldsTheScreenReaderAndSerialLinkTexts) {
    const std::vector<std::string> english = EnglishLaterTexts();
    ASSERT_EQ(english.size(), std::size(kLaterTexts));
    for (size_t i = 0; i < english.size(); ++i) {
        const int number = kLaterTexts[i];
        EXPECT_TRUE(HoldsLanguageText(number)) << Key(number) << " is missing or empty";
        const std::string text = LanguageBytes(number);
        EXPECT_LE(text.size(), 100u) << Key(number);
        for (unsigned char byte : text) {
            EXPECT_GE(byte, 0x20) << Key(number);
        }
        if (GetParam().number != kEnglish) {
            EXPECT_NE(text, english[i]) << Key(number) << " is the English text";
        }
    }
}

// The words for a silent card carry the values Brovane puts in (%1, %2) in every language: a
// translation that lost one would drop the register or the bytes.
TEST_P(ShippedLanguageFile, SaysWhyACardDoesNotAnswerWithEveryValue) {
    BatchResult result;
    result.failure = BatchFailure::NoAnswer;
    result.failedRegister = 12;
    result.diagnosis.fault = ReplyFault::CutShort;
    result.diagnosis.got = 13;
    result.diagnosis.expected = 16;
    const std::string line = NoAnswerLine(result);
    EXPECT_EQ(line.find('%'), std::string::npos) << line;
    for (const char* value : {"12", "13", "16"}) {
        EXPECT_NE(line.find(value), std::string::npos) << line;
    }
    result.registersDone = 10;
    result.failedRequestSent = true;
    const std::string partWay = PartWayLine(ExchangedRegisters(2), result, FinishBy::ProgramButton);
    for (const char* value : {"0-4, 7-11", "12", "13-47"}) {
        EXPECT_NE(partWay.find(value), std::string::npos) << partWay;
    }
}

// Message 37's lines below its first end with a full stop in every language; a part-way line
// where nothing is known to be written says "may hold" (text 224) and leaves the empty part out
// rather than saying "none" in English.
TEST_P(ShippedLanguageFile, PartWayLinesEndWithAFullStopAndLeaveEmptyPartsOut) {
    BatchResult result;
    result.failure = BatchFailure::NoAnswer;
    result.failedRegister = 0;
    result.failedRequestSent = true;
    result.cardAnswered = true;
    const std::string line = NoAnswerLine(result);
    EXPECT_EQ(line.back(), '.') << line;
    const std::string partWay = PartWayLine(ExchangedRegisters(2), result, FinishBy::ProgramButton);
    EXPECT_EQ(partWay.back(), '.') << partWay;
    EXPECT_EQ(partWay.find("none"), std::string::npos) << partWay;
    const std::string written = DecodeLanguageBytes(LanguageBytes(220)).toStdString();
    EXPECT_EQ(partWay.find("(" + written.substr(0, written.find('%'))), std::string::npos)
        << partWay;
    const std::string mayHold = DecodeLanguageBytes(LanguageBytes(224)).toStdString();
    EXPECT_EQ(partWay.rfind(mayHold.substr(0, mayHold.find('%')), 0), 0u) << partWay;
    result.diagnosis.fault = ReplyFault::Refused;
    result.failedRegister = 12;
    EXPECT_EQ(NoAnswerLine(result).back(), '.');
}

// The sheet's caption reads "<14> - <93>01.04": text 93 ends with the space before the digits.
TEST_P(ShippedLanguageFile, FirmwareTextEndsWithTheSpaceBeforeTheVersion) {
    const std::string firmware = LanguageBytes(93);
    ASSERT_FALSE(firmware.empty());
    EXPECT_EQ(firmware.back(), ' ');
}

// Windows shown one above the other carry different titles: the progress window above the
// dialog that runs the transfer.
TEST_P(ShippedLanguageFile, StackedWindowsHaveDifferentTitles) {
    const std::pair<int, int> stacked[] = {{38, 0}, {39, 23}, {38, 39}};
    for (const auto& [upper, lower] : stacked) {
        EXPECT_NE(LanguageBytes(upper), LanguageBytes(lower))
            << Key(upper) << " and " << Key(lower);
    }
}

// A control character in an entry is a line end kept from a line without its closing quote.
// The five bytes Windows-1252 leaves undefined would show as boxes.
TEST_P(ShippedLanguageFile, TextsArePrintableWindows1252OfAtMost100Characters) {
    for (int number = 0; number <= kLastUsedNumber; ++number) {
        const std::string text = LanguageBytes(number);
        EXPECT_LE(text.size(), 100u) << Key(number);
        for (unsigned char byte : text) {
            const bool control = byte < 0x20 || byte == 0x7F;
            const bool undefined =
                byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
            EXPECT_FALSE(control || undefined)
                << Key(number) << " holds the byte 0x" << std::hex << int{byte};
        }
    }
}

// The widgets take a text as UTF-8 when it happens to be valid UTF-8; the shipped texts must
// read as Windows-1252, one character per byte.
TEST_P(ShippedLanguageFile, TextsReachTheWidgetsAsWindows1252) {
    for (int number = 0; number <= kLastUsedNumber; ++number) {
        const std::string bytes = LanguageBytes(number);
        const QString shown = LanguageText(number);
        EXPECT_EQ(shown.size(), static_cast<qsizetype>(bytes.size())) << Key(number);
        EXPECT_FALSE(shown.contains(QChar::ReplacementCharacter)) << Key(number);
    }
}

// The language list reads at most 31 characters of the first line and cuts the last one as
// the line feed.
TEST_P(ShippedLanguageFile, FirstLineIsTheNameTheLanguageListShows) {
    std::FILE* file = std::fopen(LanguageFilePath(GetParam().number).c_str(), "r");
    ASSERT_NE(file, nullptr);
    char line[32] = {};
    const bool read = std::fgets(line, sizeof line, file) != nullptr;
    std::fclose(file);
    ASSERT_TRUE(read);
    line[std::strlen(line) - 1] = '\0';
    EXPECT_STREQ(line, GetParam().displayName);
}

TEST_P(ShippedLanguageFile, LinesEndWithALineFeedOnly) {
    std::ifstream file(LanguageFilePath(GetParam().number), std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(file), {});
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.back(), '\n');
    EXPECT_EQ(bytes.find('\r'), std::string::npos);
}

TEST_P(ShippedLanguageFile, EventNamesAreDistinct) {
    std::set<std::string> names;
    for (int number = kFirstEvent; number <= kLastEvent; ++number) {
        EXPECT_TRUE(names.insert(LanguageBytes(number)).second)
            << Key(number) << " repeats " << LanguageBytes(number);
    }
}

// The sheet's caption "<14> - <93>" plus the firmware digits "01.04" is built in 60 bytes.
TEST_P(ShippedLanguageFile, SheetCaptionFitsItsBuffer) {
    const std::size_t length =
        LanguageBytes(14).size() + 3 + LanguageBytes(93).size() + std::strlen("01.04");
    EXPECT_LE(length, 59u);
}

// Where a text is shown and how much room that control leaves it.
enum class Room { Label, WrappedLabel, GroupTitle, GlyphButton, ComboEntry, ListEntry };

struct Placement {
    std::vector<int> numbers;
    Room room;
    int controlWidth;
    const char* where;
};

std::vector<int> Range(int first, int last) {
    std::vector<int> numbers;
    for (int number = first; number <= last; ++number) {
        numbers.push_back(number);
    }
    return numbers;
}

const std::vector<Placement>& Placements() {
    static const std::vector<Placement> placements = {
        {{9, 10, 13, 17, 18, 32}, Room::Label, 74, "labels of the port pages"},
        {{10, 17, 18, 32, 33, 34, 35, 41, 42, 43, 44}, Room::Label, 65, "summary grid"},
        {{9}, Room::WrappedLabel, 65, "summary grid, baud-rate heading"},
        {{24}, Room::Label, 324, "summary heading"},
        {{3}, Room::GroupTitle, 169, "port group"},
        {{7, 8, 12, 26, 28}, Room::GroupTitle, 320, "group boxes of the port pages"},
        {{1, 2, 4, 29, 30}, Room::GlyphButton, 81, "glyph buttons"},
        {{48}, Room::Label, 97, "inputs page, type column"},
        // The threshold columns start 65 pixels apart; their headings keep a gap between them.
        {{49, 50}, Room::Label, 56, "inputs page, threshold columns"},
        {{51}, Room::Label, 68, "inputs page, delay column"},
        {{52, 53, 54, 55}, Room::ComboEntry, 97, "input type lists"},
        {{57, 58, 59, 95}, Room::Label, 145, "outputs page labels"},
        {Range(kFirstEvent, kLastEvent), Room::ListEntry, 145, "event lists"},
        {{40}, Room::Label, 289, "progress label"},
        // Shown in the port list beside the port name, and in the list that opens wider.
        {{200}, Room::ComboEntry, 138, "port list"},
    };
    return placements;
}

// Width left for the text in a control of the given kind and width, with the program's font.
int TextRoom(Room room, int controlWidth) {
    QStyle* style = QApplication::style();
    switch (room) {
        case Room::Label:
        case Room::WrappedLabel:
            return controlWidth;
        case Room::GroupTitle:
            return controlWidth - 16;
        case Room::GlyphButton:
            // 16-pixel glyph, a 4-pixel gap, and a 3-pixel margin inside each side of the frame.
            return controlWidth - 16 - 4 - 2 * 3;
        case Room::ComboEntry: {
            QComboBox combo;
            combo.resize(controlWidth, 21);
            QStyleOptionComboBox option;
            option.initFrom(&combo);
            return style
                ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &combo)
                .width();
        }
        case Room::ListEntry: {
            // 32 events never fit 201 pixels of height, so the list carries a scroll bar.
            QListWidget list;
            const int textMargin =
                style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1;
            return controlWidth - 2 * list.frameWidth() -
                   style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &list) - 2 * textMargin;
        }
    }
    return 0;
}

TEST_P(ShippedLanguageFile, TextsFitTheirControls) {
    ApplyApplicationAppearance(*qApp);
    const QFontMetrics metrics(QApplication::font());
    for (const Placement& placement : Placements()) {
        const int room = TextRoom(placement.room, placement.controlWidth);
        for (int number : placement.numbers) {
            const QString text = LanguageText(number);
            const QStringList pieces = placement.room == Room::WrappedLabel
                                           ? text.split(QLatin1Char(' '), Qt::SkipEmptyParts)
                                           : QStringList{text};
            for (const QString& piece : pieces) {
                EXPECT_LE(metrics.horizontalAdvance(piece), room)
                    << Key(number) << " \"" << piece.toStdString() << "\" in the "
                    << placement.where;
            }
        }
    }
}

// The sheet's six tabs share 382 pixels; Qt puts tabs on one row and would add scroll arrows.
TEST_P(ShippedLanguageFile, SheetTabsFitOnOneRow) {
    ApplyApplicationAppearance(*qApp);
    QTabWidget pages;
    pages.setGeometry(0, 0, 382, 379);
    for (int number : {6, 25, 11, 27, 47, 56}) {
        pages.addTab(new QWidget, LanguageText(number));
    }
    pages.show();
    QApplication::processEvents();
    const QTabBar* tabs = pages.tabBar();
    EXPECT_LT(tabs->tabRect(tabs->count() - 1).right(), pages.width());
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedLanguageFile, testing::ValuesIn(kShippedLanguages),
                         [](const testing::TestParamInfo<ShippedLanguage>& info) {
                             return std::string(info.param.displayName);
                         });

}  // namespace
