// Qt's own texts, such as the buttons of message boxes, follow the system's language; the program's
// fonts; windows centred without anything watching them afterwards.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <functional>
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

// What reaches the program while it has nothing to do: every timer event but those of the bound
// that ends the wait, and the moves of one window.
class IdleWatch : public QObject {
  public:
    IdleWatch(const QWidget& window, const QObject& bound) : window_(window), bound_(bound) {
        qApp->installEventFilter(this);
    }
    ~IdleWatch() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Timer && watched != &bound_) {
            ++timers;
        } else if (event->type() == QEvent::Move && watched == &window_) {
            ++moves;
        }
        return false;
    }

    int timers = 0;
    int moves = 0;

  private:
    const QWidget& window_;
    const QObject& bound_;
};

struct CentringCase {
    const char* name;
    std::function<void(QWidget& window, const QWidget& main)> centre;
    std::function<QRect(const QWidget& main)> area;
};

// A main window, and a dialog of the given size centred as the dialogs centre themselves: as it
// is shown, when its native window exists.
class Centring : public testing::TestWithParam<CentringCase> {
  protected:
    void ShowCentred(const QSize& size) {
        main.setFixedSize(500, 400);
        main.move(100, 80);
        main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
        window.resize(size);
        window.winId();
        GetParam().centre(window, main);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    QDialog main;
    QDialog window;
};

// The frame of a window is learnt from the window system's reports, which come as the window's
// own events: nothing looks at the window in between (it used to be looked at every 20 ms and
// nudged by a pixel for 5 s after each showing, waking an idle program fifty times a second).
TEST_P(Centring, PlacesTheWindowOnceAndLeavesTheIdleProgramAlone) {
    window.setFixedSize(322, 63);
    ShowCentred(window.size());
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(window.frameGeometry().center(), GetParam().area(main).center());
    const QPoint placed = window.pos();

    // Longer than the old watch took between two looks and between two nudges.
    QTimer bound;
    bound.setSingleShot(true);
    QEventLoop loop;
    QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    const IdleWatch watch(window, bound);
    bound.start(400);
    loop.exec();
    EXPECT_EQ(watch.timers, 0);
    EXPECT_EQ(watch.moves, 0);
    EXPECT_EQ(window.pos(), placed);
}

// A busy program can show a dialog before its layout has given it its size: centred at no size,
// its corner stood in the middle of the screen. It is centred again at its size.
TEST_P(Centring, AWindowThatGetsItsSizeAfterTheShowingIsCentredAtThatSize) {
    ShowCentred(QSize(1, 1));
    ASSERT_FALSE(HasFatalFailure());
    window.setFixedSize(431, 337);
    const QPoint centre = GetParam().area(main).center();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.frameGeometry().center() == centre; }, 2000))
        << "frame centre " << window.frameGeometry().center().x() << ","
        << window.frameGeometry().center().y() << ", not " << centre.x() << "," << centre.y();
}

INSTANTIATE_TEST_SUITE_P(
    Windows, Centring,
    testing::Values(
        CentringCase{"OnTheScreen", [](QWidget& window, const QWidget&) { CentreOnScreen(window); },
                     [](const QWidget& main) { return main.screen()->availableGeometry(); }},
        CentringCase{"OnAnotherWindow",
                     [](QWidget& window, const QWidget& main) { CentreOnWindow(window, main); },
                     [](const QWidget& main) { return main.frameGeometry(); }}),
    [](const testing::TestParamInfo<CentringCase>& info) { return std::string(info.param.name); });

}  // namespace
