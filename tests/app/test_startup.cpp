// Start-up: where the program finds its files, and the early failure before any language.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <filesystem>

#include "app/ProgramDirectory.h"
#include "app/StartUp.h"

namespace {

TEST(ProgramDirectory, IsTheRealFolderOfTheRunningProgramWithAClosingSeparator) {
    const std::string directory = ExecutableDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), '/');
    EXPECT_TRUE(std::filesystem::path(directory).is_absolute());
    // The build puts the shipped language files beside every program.
    EXPECT_TRUE(std::filesystem::exists(directory + "lang_00.ini"));
}

TEST(StartUp, NoMemoryForTheLanguageTextsShowsTheFixedBoxAndGivesFour) {
    QString caption;
    QString text;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            caption = box->windowTitle();
            text = box->text();
            box->accept();
        }
    });
    auto failing = [](std::size_t) { return std::unique_ptr<char[]>(); };
    EXPECT_EQ(CreateLanguageTableOrReport(failing), 4);
    EXPECT_EQ(caption, "Error");
    EXPECT_EQ(text, "Low memory for strings !");
}

}  // namespace
