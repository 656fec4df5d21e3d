// Qt's own texts, such as the buttons of message boxes, follow the system's language.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <memory>

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

}  // namespace
