// The up-down spinner of the sheet's address and delay fields: only the user's steps raise its
// click, a position set from code is shown as it is, and the arrows keep within the range.
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "sheet_helpers.h"

namespace sheet_test {
namespace {

class SpinnerTest : public testing::Test {
  protected:
    void SetUp() override {
        field = new QLineEdit(&window);
        spinner = new UpDown(&window);
        spinner->setGeometry(40, 0, 15, 21);
        spinner->SetRange(0, 2500);
        spinner->SetIncrement(10);
        spinner->SetAssociate(field);
        window.show();
    }
    QWidget window;
    QLineEdit* field = nullptr;
    UpDown* spinner = nullptr;
};

TEST_F(SpinnerTest, PositionFromCodeIsShownUnclampedAndRaisesNoClick) {
    QSignalSpy clicks(spinner, &UpDown::Clicked);
    spinner->SetPosition(2550);
    EXPECT_EQ(field->text().toStdString(), "2550");
    EXPECT_EQ(spinner->Position(), 2550);
    EXPECT_EQ(clicks.count(), 0);
}

struct StepCase {
    const char* name;
    int from;
    UpDown::Button button;
    int to;
};

class SpinnerStep : public SpinnerTest, public testing::WithParamInterface<StepCase> {};

TEST_P(SpinnerStep, ArrowStepsWithinTheRangeAndClicks) {
    spinner->SetPosition(GetParam().from);
    QSignalSpy clicks(spinner, &UpDown::Clicked);
    ClickArrow(spinner, GetParam().button);
    EXPECT_EQ(spinner->Position(), GetParam().to);
    EXPECT_EQ(field->text().toStdString(), std::to_string(GetParam().to));
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).value<UpDown::Button>(), GetParam().button);
}

INSTANTIATE_TEST_SUITE_P(
    Arrows, SpinnerStep,
    testing::Values(StepCase{"Up", 1230, UpDown::Button::Up, 1240},
                    StepCase{"Down", 1230, UpDown::Button::Down, 1220},
                    StepCase{"UpAtTheTop", 2500, UpDown::Button::Up, 2500},
                    StepCase{"DownAtTheBottom", 0, UpDown::Button::Down, 0},
                    StepCase{"UpFromAboveTheRange", 2550, UpDown::Button::Up, 2500},
                    StepCase{"DownFromAboveTheRange", 2550, UpDown::Button::Down, 2500},
                    StepCase{"UpToTheTopFromBetweenSteps", 2495, UpDown::Button::Up, 2500}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SpinnerTest, ArrowKeysInTheFieldStepLikeTheArrows) {
    spinner->SetPosition(100);
    QSignalSpy clicks(spinner, &UpDown::Clicked);
    QTest::keyClick(field, Qt::Key_Up);
    QTest::keyClick(field, Qt::Key_Up);
    QTest::keyClick(field, Qt::Key_Down);
    EXPECT_EQ(field->text().toStdString(), "110");
    EXPECT_EQ(clicks.count(), 3);
}

TEST_F(SpinnerTest, DisabledSpinnerDoesNotStep) {
    spinner->SetPosition(100);
    spinner->setEnabled(false);
    QSignalSpy clicks(spinner, &UpDown::Clicked);
    ClickArrow(spinner, UpDown::Button::Up);
    QTest::keyClick(field, Qt::Key_Up);
    EXPECT_EQ(field->text().toStdString(), "100");
    EXPECT_EQ(clicks.count(), 0);
}

}  // namespace
}  // namespace sheet_test
