// Qt's own texts, such as the buttons of message boxes, follow the system's language.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTranslator>
#include <memory>
#include <string>

#include "dialog_helpers.h"
#include "ui/Appearance.h"

namespace {

struct TranslationCase {
    const char* locale;
    const char* cancel;
};

class QtTranslations : public testing::TestWithParam<TranslationCase> {};

TEST_P(QtTranslations, GiveMessageBoxButtonsInTheSystemLanguage) {
    const std::unique_ptr<QTranslator> translator(
        InstallQtTranslations(*qApp, QLocale(GetParam().locale)));
    ASSERT_NE(translator, nullptr);
    {
        QMessageBox box(QMessageBox::Warning, "caption", "text",
                        QMessageBox::Ok | QMessageBox::Cancel, nullptr);
        EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QString::fromUtf8(GetParam().cancel));
    }
    QCoreApplication::removeTranslator(translator.get());
}

INSTANTIATE_TEST_SUITE_P(Locales, QtTranslations,
                         testing::Values(TranslationCase{"de_DE", "Abbrechen"},
                                         TranslationCase{"it_IT", "Annulla"}));

struct CatalogueCase {
    const char* name;
    const char* fileName;
};

// A Windows program folder holds translations/qt_<lang>.qm, merged by Qt's deployment tool,
// and no qtbase_<lang>.qm; Debian's Qt holds both.
class QtCatalogueInFolder : public testing::TestWithParam<CatalogueCase> {};

TEST_P(QtCatalogueInFolder, TranslatesTheButtonsWhicheverOfTheTwoIsThere) {
    const QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString shipped =
        QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath)).filePath("qtbase_de.qm");
    ASSERT_TRUE(QFile::copy(shipped, folder.filePath(GetParam().fileName)))
        << shipped.toStdString();
    const std::unique_ptr<QTranslator> translator(
        InstallQtTranslations(*qApp, QLocale("de_DE"), folder.path()));
    ASSERT_NE(translator, nullptr);
    {
        QMessageBox box(QMessageBox::Warning, "caption", "text",
                        QMessageBox::Ok | QMessageBox::Cancel, nullptr);
        EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QString("Abbrechen"));
    }
    QCoreApplication::removeTranslator(translator.get());
}

INSTANTIATE_TEST_SUITE_P(Catalogues, QtCatalogueInFolder,
                         testing::Values(CatalogueCase{"MergedByTheDeploymentTool", "qt_de.qm"},
                                         CatalogueCase{"QtBaseOnly", "qtbase_de.qm"}),
                         [](const testing::TestParamInfo<CatalogueCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(QtCatalogueInFolder, AFolderWithoutEitherGivesNoTranslator) {
    const QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    EXPECT_EQ(InstallQtTranslations(*qApp, QLocale("de_DE"), folder.path()), nullptr);
}

// The Windows program brings DejaVu Sans in its fonts folder; files that are no font are passed
// over, and a program without the folder adds nothing.
TEST(ProgramFonts, TheFontsFolderAddsItsFamiliesOnce) {
    const QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString dejavu = "/usr/share/fonts/truetype/dejavu/";
    ASSERT_TRUE(QFile::copy(dejavu + "DejaVuSans.ttf", folder.filePath("DejaVuSans.ttf")));
    ASSERT_TRUE(
        QFile::copy(dejavu + "DejaVuSans-Bold.ttf", folder.filePath("DejaVuSans-Bold.ttf")));
    QFile broken(folder.filePath("broken.ttf"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a font");
    broken.close();
    QFile notes(folder.filePath("notes.txt"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.close();

    EXPECT_EQ(LoadProgramFonts(folder.path()), QStringList{"DejaVu Sans"});
    EXPECT_EQ(LoadProgramFonts(folder.filePath("missing")), QStringList());
}

}  // namespace
