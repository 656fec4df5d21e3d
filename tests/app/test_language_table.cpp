// The language table: file format, section search, key check, cuts and placeholders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "app/LanguageTable.h"
#include "app/ProgramDirectory.h"

namespace {

std::string Entry(int number) {
    return LanguageEntry(number);
}

std::string Placeholder(int number) {
    char text[16];
    std::snprintf(text, sizeof text, "Text %.3d", number);
    return text;
}

class LanguageTableTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(CreateLanguageTable(), 0); }
    void TearDown() override { FreeLanguageTable(); }
};

TEST_F(LanguageTableTest, CreateWritesPlaceholdersWithThreeOrFourDigits) {
    EXPECT_EQ(Entry(0), "Text 000");
    EXPECT_EQ(Entry(42), "Text 042");
    EXPECT_EQ(Entry(999), "Text 999");
    EXPECT_EQ(Entry(1000), "Text 1000");
    EXPECT_EQ(Entry(1099), "Text 1099");
}

TEST_F(LanguageTableTest, WorkedExamplesAfterTheSectionLine) {
    const std::string file =
        "English\n"
        "[Quorix]\n"
        "String000=\"Configuration\"\n"
        "String001=\"Say \"yes\" here\"\n"
        "String002=\"\"\n"
        "String003=\n"
        "String004=Ok\n"
        "String005=\"Open\n"
        "\n"
        "String007=\"never read\"\n";
    ASSERT_EQ(LoadLanguageText(file), 0);
    EXPECT_EQ(Entry(0), "Configuration");
    EXPECT_EQ(Entry(1), "Say \"yes\" here");
    EXPECT_EQ(Entry(2), "");
    EXPECT_EQ(Entry(3), "");
    EXPECT_EQ(Entry(4), "k\n");
    EXPECT_EQ(Entry(5), "Open\n");
    for (int i = 6; i < kLanguageTableSize; ++i) {
        ASSERT_EQ(Entry(i), Placeholder(i)) << i;
    }
}

struct SectionCase {
    const char* name;
    std::string file;
    int result;
};

class SectionSearch : public LanguageTableTest, public testing::WithParamInterface<SectionCase> {};

TEST_P(SectionSearch, FindsOnlyTheExactLine) {
    EXPECT_EQ(LoadLanguageText(GetParam().file), GetParam().result);
    EXPECT_EQ(Entry(0), GetParam().result == 0 ? "first" : "Text 000");
}

INSTANTIATE_TEST_SUITE_P(
    LanguageTable, SectionSearch,
    testing::Values(
        SectionCase{"Exact", "Name\n[Quorix]\nString000=\"first\"\n", 0},
        SectionCase{"CarriageReturnLineFeed", "Name\r\n[Quorix]\r\nString000=\"first\"\r\n", 0},
        SectionCase{"LoneCarriageReturnBeforeLineFeed", "[Quorix]\r\nString000=\"first\"\n", 0},
        SectionCase{"LetterCase", "Name\n[quorix]\nString000=\"first\"\n", 2},
        SectionCase{"TrailingBlank", "Name\n[Quorix] \nString000=\"first\"\n", 2},
        SectionCase{"LeadingBlank", " [Quorix]\nString000=\"first\"\n", 2},
        SectionCase{"LastLineWithoutLineFeed", "Name\n[Quorix]", 2},
        SectionCase{"EmptyFile", "", 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LanguageTableTest, SectionLineAloneKeepsEveryPlaceholder) {
    ASSERT_EQ(LoadLanguageText("Name\n[Quorix]\n"), 0);
    for (int i = 0; i < kLanguageTableSize; ++i) {
        ASSERT_EQ(Entry(i), Placeholder(i)) << i;
    }
}

TEST_F(LanguageTableTest, ReadingStopsAtAKeyOutOfPlaceOrALineWithoutEquals) {
    ASSERT_EQ(LoadLanguageText("[Quorix]\nString001=\"one\"\n"), 0);
    EXPECT_EQ(Entry(0), "Text 000");
    EXPECT_EQ(Entry(1), "Text 001");

    ASSERT_EQ(LoadLanguageText("[Quorix]\nString000=\"zero\"\nString001 \"one\"\n"), 0);
    EXPECT_EQ(Entry(0), "zero");
    EXPECT_EQ(Entry(1), "Text 001");

    ASSERT_EQ(LoadLanguageText("[Quorix]\nstring000=\"lower case key\"\n"), 0);
    EXPECT_EQ(Entry(0), "zero");
}

TEST_F(LanguageTableTest, ASecondSectionLineEndsTheReading) {
    ASSERT_EQ(LoadLanguageText("[Quorix]\nString000=\"a\"\n[Quorix]\nString001=\"b\"\n"), 0);
    EXPECT_EQ(Entry(0), "a");
    EXPECT_EQ(Entry(1), "Text 001");
}

TEST_F(LanguageTableTest, NumbersFromOneThousandUseFourDigitKeys) {
    std::string file = "[Quorix]\n";
    for (int i = 0; i <= 1000; ++i) {
        char line[40];
        std::snprintf(line, sizeof line, "String%.3d=\"t%d\"\n", i, i);
        file += line;
    }
    ASSERT_EQ(LoadLanguageText(file), 0);
    EXPECT_EQ(Entry(999), "t999");
    EXPECT_EQ(Entry(1000), "t1000");
    EXPECT_EQ(Entry(1001), "Text 1001");
}

TEST_F(LanguageTableTest, TextsAreCutToOneHundredCharactersAndTerminated) {
    const std::string hundred(100, 'x');
    const std::string longer(150, 'y');
    ASSERT_EQ(LoadLanguageText("[Quorix]\nString000=\"" + hundred + "\"\nString001=\"" + longer +
                               "\"\nString002=\"" + std::string(99, 'z') + "\"\n"),
              0);
    EXPECT_EQ(Entry(0), hundred);
    EXPECT_EQ(Entry(1), std::string(100, 'y'));
    EXPECT_EQ(Entry(2), std::string(99, 'z'));
    for (int i = 0; i < 3; ++i) {
        EXPECT_LE(std::strlen(LanguageEntry(i)), 100u);
    }
}

TEST_F(LanguageTableTest, ALineLongerThanTheReadLimitEndsTheReadingAtTheNextNumber) {
    ASSERT_EQ(LoadLanguageText("[Quorix]\nString000=\"" + std::string(400, 'w') +
                               "\"\nString001=\"one\"\n"),
              0);
    EXPECT_EQ(Entry(0), std::string(100, 'w'));
    EXPECT_EQ(Entry(1), "Text 001");
}

TEST_F(LanguageTableTest, LinesEndedByCarriageReturnAndLineFeedReadAsTextMode) {
    ASSERT_EQ(LoadLanguageText("[Quorix]\r\nString000=\"Hello\"\r\nString001=Ok\r\n"), 0);
    EXPECT_EQ(Entry(0), "Hello");
    EXPECT_EQ(Entry(1), "k\n");
}

TEST_F(LanguageTableTest, FailedLoadsLeaveTheTableUntouched) {
    ASSERT_EQ(LoadLanguageText("[Quorix]\nString000=\"kept\"\n"), 0);
    EXPECT_EQ(LoadLanguageText("no section\nString000=\"lost\"\n"), 2);
    EXPECT_EQ(Entry(0), "kept");
}

class LanguageFileTest : public LanguageTableTest {
  protected:
    void SetUp() override {
        LanguageTableTest::SetUp();
        // A fresh folder of our own in the system's temporary folder.
        std::random_device random;
        const std::filesystem::path temporary = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100 && folder_.empty(); ++attempt) {
            const auto candidate = temporary / ("brovane-lang-" + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) {
                folder_ = candidate;
            }
        }
        ASSERT_FALSE(folder_.empty());
        saved_ = ProgramDirectory;
        ProgramDirectory = folder_ / "";
    }
    void TearDown() override {
        ProgramDirectory = saved_;
        std::filesystem::remove_all(folder_);
        LanguageTableTest::TearDown();
    }
    void Write(const std::string& name, const std::string& contents) {
        std::ofstream(folder_ / name, std::ios::binary) << contents;
    }

    std::filesystem::path folder_;
    std::filesystem::path saved_;
};

TEST_F(LanguageFileTest, FilesAreNamedByTheLanguageNumberInTheProgramDirectory) {
    Write("lang_01.ini", "Deutsch\n[Quorix]\nString000=\"Konfiguration\"\n");
    Write("lang_-01.ini", "Minus\n[Quorix]\nString000=\"minus one\"\n");
    EXPECT_EQ(LoadLanguageTable(0), 1);
    EXPECT_EQ(Entry(0), "Text 000");
    EXPECT_EQ(LoadLanguageTable(1), 0);
    EXPECT_EQ(Entry(0), "Konfiguration");
    EXPECT_EQ(LoadLanguageTable(-1), 0);
    EXPECT_EQ(Entry(0), "minus one");
}

TEST_F(LanguageFileTest, AFileWithoutSectionGivesTwo) {
    Write("lang_02.ini", "Italiano\nString000=\"Configurazione\"\n");
    EXPECT_EQ(LoadLanguageTable(2), 2);
}

TEST_F(LanguageFileTest, AFolderOfTheFileNameCannotBeLoaded) {
    std::filesystem::create_directory(folder_ / "lang_00.ini");
    EXPECT_EQ(LoadLanguageTable(0), 1);
    EXPECT_EQ(ReadLanguageFileFirstLine(0, 31), std::nullopt);
    EXPECT_EQ(Entry(0), "Text 000");
}

#ifndef _WIN32
// A name that leads to a file without end: the reads come back, and only with what was read.
TEST_F(LanguageFileTest, AFileThatNeverEndsIsNotReadForEver) {
    std::filesystem::create_symlink("/dev/zero", folder_ / "lang_00.ini");
    EXPECT_EQ(LoadLanguageTable(0), 1);
    EXPECT_EQ(ReadLanguageFileFirstLine(0, 31), std::nullopt);
    // A pipe without a writer would block the open itself.
    ASSERT_EQ(mkfifo((folder_ / "lang_01.ini").c_str(), 0600), 0);
    EXPECT_EQ(LoadLanguageTable(1), 1);
    EXPECT_EQ(ReadLanguageFileFirstLine(1, 31), std::nullopt);
}
#endif

TEST_F(LanguageTableTest, TheSectionIsLookedForInTheFirstMebibyteOnly) {
    const std::string filler = std::string(200, 'x') + "\n";
    std::string early;
    while (early.size() < 1000000) {
        early += filler;
    }
    EXPECT_EQ(LoadLanguageText(early + "[Quorix]\nString000=\"found\"\n"), 0);
    EXPECT_EQ(Entry(0), "found");
    std::string late = early;
    while (late.size() < (1u << 20)) {
        late += filler;
    }
    EXPECT_EQ(LoadLanguageText(late + "[Quorix]\nString000=\"late\"\n"), 2);
    EXPECT_EQ(Entry(0), "found");
}

TEST(LanguageFirstLine, IsReadUpToItsLimitAsTextMode) {
    EXPECT_EQ(FirstLineOfText("English\r\n[Quorix]\n", 31), "English\n");
    EXPECT_EQ(FirstLineOfText(std::string(40, 'x'), 31), std::string(31, 'x'));
    EXPECT_EQ(FirstLineOfText("Polski", 31), "Polski");
    EXPECT_EQ(FirstLineOfText("\n", 31), "\n");
    EXPECT_EQ(FirstLineOfText("", 31), std::nullopt);
    // A line that starts with a zero byte (UTF-16 without a byte-order mark) reads as empty.
    EXPECT_EQ(FirstLineOfText(std::string("\0E\0n\0\n", 7), 31), "");
}

TEST(LanguageTableCreation, FailedAllocationStopsAtOnce) {
    static int allocations = 0;
    allocations = 0;
    auto failingAfterTen = [](std::size_t size) -> std::unique_ptr<char[]> {
        if (++allocations > 10) {
            return nullptr;
        }
        return std::make_unique<char[]>(size);
    };
    EXPECT_EQ(CreateLanguageTable(failingAfterTen), 1);
    EXPECT_EQ(allocations, 11);
    EXPECT_EQ(Entry(9), "Text 009");
    EXPECT_EQ(Entry(10), "");
    FreeLanguageTable();
    EXPECT_EQ(Entry(0), "");
}

}  // namespace
