// Every dialog's border as the program asks the window system for it, and the names screen
// readers give its fields.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QShowEvent>
#include <functional>
#include <memory>

#include "app/AppState.h"
#include "app/LanguageTable.h"
#include "tests/support/ProcessState.h"
#include "ui/LanguageDialog.h"
#include "ui/ProgramDialog.h"
#include "ui/ProgressDialog.h"
#include "ui/SetPort.h"
#include "ui/Texts.h"

namespace {

struct BorderCase {
    const char* name;
    std::function<std::unique_ptr<QWidget>()> make;
    bool closeBox;
};

class DialogBorder : public testing::TestWithParam<BorderCase> {
  protected:
    void SetUp() override { ASSERT_EQ(CreateLanguageTable(), 0); }
    void TearDown() override { ClearProcessState(); }
};

TEST_P(DialogBorder, HasACloseBoxOnlyAndAFixedSize) {
    const std::unique_ptr<QWidget> dialog = GetParam().make();
    const Qt::WindowFlags flags = dialog->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowContextHelpButtonHint);
    EXPECT_EQ(bool(flags & Qt::WindowCloseButtonHint), GetParam().closeBox);
    EXPECT_EQ(bool(flags & Qt::WindowSystemMenuHint), GetParam().closeBox);
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, DialogBorder,
    testing::Values(
        BorderCase{"Language", [] { return std::make_unique<TTLanguageDialog>(); }, true},
        BorderCase{"SetPort", [] { return std::make_unique<TTSetPortParam>(); }, true},
        BorderCase{"Program", [] { return std::make_unique<TTProgramDialog>(); }, true},
        BorderCase{"Progress", [] { return std::make_unique<TTProgressDialog>(); }, false}),
    [](const testing::TestParamInfo<BorderCase>& info) { return std::string(info.param.name); });

class FieldNames : public testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(CreateLanguageTable(), 0); }
    void TearDown() override { ClearProcessState(); }
};

TEST_F(FieldNames, TheProgressLabelNamesTheBar) {
    TTProgressDialog progress;
    EXPECT_EQ(progress.LabelProg->buddy(), progress.ProgressBar);
}

TEST_F(FieldNames, TheLanguageListIsNamedByTheCaption) {
    TTLanguageDialog language;
    EXPECT_EQ(language.ComboLanguage->accessibleName(), "Set Language");
}

TEST_F(FieldNames, ThePortFieldIsNamedByItsGroup) {
    TTSetPortParam setPort;
    TSetPortParam = &setPort;
    setPort.show();
    EXPECT_EQ(setPort.ComboPort->accessibleName(), LanguageText(3));
    EXPECT_EQ(setPort.ComboPort->accessibleName(), setPort.GroupPort->title());
    setPort.hide();
    TSetPortParam = nullptr;
}

}  // namespace
