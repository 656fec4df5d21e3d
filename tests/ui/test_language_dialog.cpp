// The first window: which languages it offers from the files beside the program, which file
// each entry loads, and how the program ends from it (codes 0, 5 and 6).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/LanguageTable.h"
#include "dialog_helpers.h"
#include "link/SerialPortParameter.h"
#include "model/RegisterImage.h"
#include "tests/support/ProcessState.h"
#include "ui/LanguageDialog.h"
#include "ui/ProgressDialog.h"
#include "ui/SetPort.h"

namespace {

using testing::ElementsAre;

const ShownMessage kCannotLoad{"Error", "Cannot load language strings file !",
                               QMessageBox::Critical};

// A language file whose name line is `name` and whose first text is "Title of <file>".
std::string LanguageFile(const std::string& name, int number) {
    return name + "\n[Quorix]\nString000=\"Title of " + std::to_string(number) +
           "\"\nString001=\"OK\"\n";
}

class LanguageDialogTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(directory_.isValid());
        savedProgramDirectory_ = ProgramDirectory;
        ProgramDirectory = directory_.path().toStdString() + "/";
        ASSERT_EQ(CreateLanguageTable(), 0);
        LanguageNumber = 0;
    }

    void TearDown() override {
        language_.reset();
        setPort_.reset();
        progress_.reset();
        ClearProcessState();
        ProgramDirectory = savedProgramDirectory_;
    }

    void WriteFile(int number, const std::string& contents) {
        QFile file(QString::fromStdString(LanguageFilePath(number)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents.data(), static_cast<qint64>(contents.size()));
    }

    // The dialogs as start-up makes them, in the same order.
    void MakeDialogs() {
        language_ = std::make_unique<TTLanguageDialog>();
        setPort_ = std::make_unique<TTSetPortParam>();
        progress_ = std::make_unique<TTProgressDialog>();
        TLanguageDialog = language_.get();
        TSetPortParam = setPort_.get();
        TProgressDialog = progress_.get();
    }

    QStringList Entries() const {
        QStringList entries;
        for (int i = 0; i < language_->ComboLanguage->count(); ++i) {
            entries << language_->ComboLanguage->itemText(i);
        }
        return entries;
    }

    // Runs the program's event loop from the language dialog: `drive` acts on it once it is
    // shown; when the port selection comes up, what the run looked like there is recorded and
    // it is cancelled. Gives the exit code.
    int RunFromLanguageDialog(const std::function<void()>& drive) {
        QTimer portWatch;
        portWatch.setInterval(5);
        QObject::connect(&portWatch, &QTimer::timeout, [this] {
            if (QApplication::activeModalWidget() == setPort_.get() && !portSelectionShown_) {
                portSelectionShown_ = true;
                languageVisibleMeanwhile_ = language_->isVisible();
                setPort_->ButtonCancel->click();
            }
        });
        portWatch.start();
        language_->show();
        RunWhen(
            *language_, [this] { return language_->isVisible(); }, drive);
        return RunEventLoop();
    }

    QTemporaryDir directory_;
    std::filesystem::path savedProgramDirectory_;
    std::unique_ptr<TTLanguageDialog> language_;
    std::unique_ptr<TTSetPortParam> setPort_;
    std::unique_ptr<TTProgressDialog> progress_;
    bool portSelectionShown_ = false;
    bool languageVisibleMeanwhile_ = false;
};

struct ListCase {
    const char* name;
    std::map<int, std::string> files;
    QStringList entries;
    std::vector<int> fileNumbers;
};

class LanguageList : public LanguageDialogTest, public testing::WithParamInterface<ListCase> {};

TEST_P(LanguageList, HoldsTheFirstLinesOfTheFilesPresent) {
    for (const auto& [number, contents] : GetParam().files) {
        WriteFile(number, contents);
    }
    MakeDialogs();
    EXPECT_EQ(Entries(), GetParam().entries);
    EXPECT_EQ(language_->LanguageFiles(), GetParam().fileNumbers);
    EXPECT_EQ(language_->ComboLanguage->currentIndex(), GetParam().entries.isEmpty() ? -1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LanguageList,
    testing::Values(
        ListCase{"AllThree",
                 {{0, LanguageFile("English", 0)},
                  {1, LanguageFile("Deutsch", 1)},
                  {2, LanguageFile("Italiano", 2)}},
                 {"English", "Deutsch", "Italiano"},
                 {0, 1, 2}},
        ListCase{"FirstMissing",
                 {{1, LanguageFile("Deutsch", 1)}, {2, LanguageFile("Italiano", 2)}},
                 {"Deutsch", "Italiano"},
                 {1, 2}},
        ListCase{"OnlyTheLast", {{2, LanguageFile("Italiano", 2)}}, {"Italiano"}, {2}},
        ListCase{"NoneBeyondTwo",
                 {{0, LanguageFile("English", 0)}, {3, LanguageFile("Magyar", 3)}},
                 {"English"},
                 {0}},
        ListCase{"LongLineCutTo30",
                 {{0, std::string(40, 'x') + "\n[Quorix]\n"}},
                 {QString(30, 'x')},
                 {0}},
        ListCase{
            "LineOf30Whole", {{0, std::string(30, 'y') + "\n[Quorix]\n"}}, {QString(30, 'y')}, {0}},
        ListCase{"EmptyFirstLine", {{0, "\n[Quorix]\n"}}, {""}, {0}},
        ListCase{"FirstLineStartsWithAZeroByte",
                 {{0, std::string("\0E\0n\0\n", 7)}, {1, LanguageFile("Deutsch", 1)}},
                 {"", "Deutsch"},
                 {0, 1}},
        ListCase{
            "EmptyFileAddsNothing", {{0, ""}, {1, LanguageFile("Deutsch", 1)}}, {"Deutsch"}, {1}},
        ListCase{"SingleLineWithoutLineFeed", {{0, "Polski"}}, {"Polsk"}, {0}},
        ListCase{"Utf8NameCutInsideACharacter",
                 {{0, "Portugu\xC3\xAAs " + std::string(18, 'x') + "\xC3\xA9tudo\n"}},
                 {QString::fromUtf8("Portugu\u00EAs ") + QString(18, 'x')},
                 {0}},
        ListCase{"CrLfLine", {{0, "English\r\n[Quorix]\r\n"}}, {"English"}, {0}},
        ListCase{"Windows1252Name",
                 {{0,
                   "Fran\xE7"
                   "ais\n"}},
                 {QString::fromUtf8("Français")},
                 {0}},
        ListCase{"NoFiles", {}, {}, {}}),
    [](const testing::TestParamInfo<ListCase>& info) { return std::string(info.param.name); });

TEST_F(LanguageDialogTest, ShowsItsFixedTextsAndTheGlyph) {
    MakeDialogs();
    EXPECT_EQ(language_->windowTitle(), "Set Language");
    EXPECT_FALSE(language_->ComboLanguage->isEditable());
    EXPECT_EQ(language_->ButtonOk->text(), "Ok");
    EXPECT_TRUE(ShowsGlyph(*language_->ButtonOk, "ok"));
}

struct ChoiceCase {
    int entry;
    int fileNumber;
};

class ChoosingALanguage : public LanguageDialogTest,
                          public testing::WithParamInterface<ChoiceCase> {};

TEST_P(ChoosingALanguage, LoadsTheFileOfTheEntryAndOpensThePortSelection) {
    // lang_00.ini is missing: the entries are lang_01 and lang_02.
    WriteFile(1, LanguageFile("Deutsch", 1));
    WriteFile(2, LanguageFile("Italiano", 2));
    MakeDialogs();
    language_->ComboLanguage->setCurrentIndex(GetParam().entry);
    std::string titleSeen;
    bool storageSeen = false;
    RunWhen(
        *setPort_, [this] { return setPort_->isVisible(); },
        [&] {
            titleSeen = LanguageEntry(0);
            storageSeen = RegisterImageStorage != nullptr;
        });
    MessageBoxAnswerer answerer;
    EXPECT_EQ(RunFromLanguageDialog([this] { language_->ButtonOk->click(); }), 0);
    EXPECT_EQ(answerer.Count(), 0);
    EXPECT_TRUE(portSelectionShown_);
    EXPECT_FALSE(languageVisibleMeanwhile_);
    EXPECT_EQ(LanguageNumber, GetParam().fileNumber);
    EXPECT_EQ(titleSeen, "Title of " + std::to_string(GetParam().fileNumber));
    EXPECT_TRUE(storageSeen);
    EXPECT_FALSE(setPort_->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Entries, ChoosingALanguage,
                         testing::Values(ChoiceCase{0, 1}, ChoiceCase{1, 2}));

TEST_F(LanguageDialogTest, NoLanguageFileEndsWithCode5) {
    MakeDialogs();
    MessageBoxAnswerer answerer;
    EXPECT_EQ(RunFromLanguageDialog([this] { language_->ButtonOk->click(); }), 5);
    EXPECT_THAT(answerer.Shown(), ElementsAre(kCannotLoad));
    EXPECT_FALSE(portSelectionShown_);
    EXPECT_EQ(RegisterImageStorage, nullptr);
    // The language texts have been released.
    EXPECT_STREQ(LanguageEntry(0), "");
}

TEST_F(LanguageDialogTest, AFileWithoutSectionEndsWithCode5) {
    WriteFile(0, "English\nString000=\"x\"\n");
    MakeDialogs();
    ASSERT_EQ(Entries(), QStringList({"English"}));
    MessageBoxAnswerer answerer;
    EXPECT_EQ(RunFromLanguageDialog([this] { language_->ButtonOk->click(); }), 5);
    EXPECT_THAT(answerer.Shown(), ElementsAre(kCannotLoad));
    EXPECT_FALSE(portSelectionShown_);
}

TEST_F(LanguageDialogTest, AFolderOfAFileNameIsLeftOutOfTheList) {
    ASSERT_TRUE(QDir(directory_.path()).mkdir(QStringLiteral("lang_00.ini")));
    WriteFile(1, LanguageFile("Deutsch", 1));
    MakeDialogs();
    EXPECT_EQ(Entries(), QStringList({"Deutsch"}));
    EXPECT_THAT(language_->LanguageFiles(), ElementsAre(1));
}

TEST_F(LanguageDialogTest, AFileThatCannotBeReadEndsWithCode5) {
    WriteFile(0, LanguageFile("English", 0));
    MakeDialogs();
    ASSERT_EQ(Entries(), QStringList({"English"}));
    // Between the list and the confirmation the file has become a folder.
    ASSERT_TRUE(QFile::remove(QString::fromStdString(LanguageFilePath(0))));
    ASSERT_TRUE(QDir(directory_.path()).mkdir(QStringLiteral("lang_00.ini")));
    MessageBoxAnswerer answerer;
    EXPECT_EQ(RunFromLanguageDialog([this] { language_->ButtonOk->click(); }), 5);
    EXPECT_THAT(answerer.Shown(), ElementsAre(kCannotLoad));
    EXPECT_FALSE(portSelectionShown_);
}

TEST_F(LanguageDialogTest, NoMemoryForTheRegisterImageEndsWithCode6) {
    WriteFile(0, LanguageFile("English", 0));
    MakeDialogs();
    language_->SetRegisterImageAllocator([] { return std::unique_ptr<RegisterImage>(); });
    MessageBoxAnswerer answerer;
    EXPECT_EQ(RunFromLanguageDialog([this] { language_->ButtonOk->click(); }), 6);
    EXPECT_THAT(answerer.Shown(),
                ElementsAre(ShownMessage{"Error", "Low memory !", QMessageBox::Critical}));
    EXPECT_FALSE(portSelectionShown_);
    EXPECT_STREQ(LanguageEntry(0), "");
}

TEST_F(LanguageDialogTest, ClosingEndsWithCode0AndNothingLoaded) {
    WriteFile(0, LanguageFile("English", 0));
    MakeDialogs();
    EXPECT_EQ(RunFromLanguageDialog([this] { PressCloseBox(*language_); }), 0);
    EXPECT_FALSE(language_->isVisible());
    EXPECT_FALSE(portSelectionShown_);
    EXPECT_EQ(RegisterImageStorage, nullptr);
    EXPECT_STREQ(LanguageEntry(0), "Text 000");
}

TEST_F(LanguageDialogTest, EscapeEndsWithCode0) {
    WriteFile(0, LanguageFile("English", 0));
    MakeDialogs();
    EXPECT_EQ(RunFromLanguageDialog([this] { QTest::keyClick(language_.get(), Qt::Key_Escape); }),
              0);
    EXPECT_FALSE(language_->isVisible());
    EXPECT_FALSE(portSelectionShown_);
}

TEST_F(LanguageDialogTest, ReturnInTheListConfirmsAndTabReachesOk) {
    WriteFile(0, LanguageFile("English", 0));
    MakeDialogs();
    bool tabReachedOk = false;
    EXPECT_EQ(RunFromLanguageDialog([&] {
                  language_->activateWindow();
                  ASSERT_TRUE(QTest::qWaitForWindowActive(language_.get()));
                  ASSERT_TRUE(WaitUntil([&] { return language_->ComboLanguage->hasFocus(); }));
                  QTest::keyClick(language_->ComboLanguage, Qt::Key_Tab);
                  tabReachedOk = language_->ButtonOk->hasFocus();
                  QTest::keyClick(language_->ButtonOk, Qt::Key_Tab);
                  ASSERT_TRUE(language_->ComboLanguage->hasFocus());
                  QTest::keyClick(language_->ComboLanguage, Qt::Key_Return);
              }),
              0);
    EXPECT_TRUE(tabReachedOk);
    EXPECT_TRUE(portSelectionShown_);
    EXPECT_EQ(LanguageNumber, 0);
}

}  // namespace
