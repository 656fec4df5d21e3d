// The progress window: positions during a card read, the step per firmware family, the reset
// on close, and that neither the user nor Escape nor the window manager can take it away during a
// transfer.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <vector>

#include "app/LanguageTable.h"
#include "dialog_helpers.h"
#include "ui/ProgressDialog.h"

namespace {

class ProgressDialogTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(CreateLanguageTable(), 0); }
    void TearDown() override { FreeLanguageTable(); }

    // The advances of a card read: after opening, after identifying, after the hardware bits
    // (choosing the step), then one per register.
    std::vector<int> ReadPositions(uint32_t variant, int registers) {
        std::vector<int> positions;
        dialog.StepProgress(0, 0);
        positions.push_back(dialog.Position());
        dialog.StepProgress(0, 0);
        positions.push_back(dialog.Position());
        dialog.StepProgress(1, variant);
        positions.push_back(dialog.Position());
        for (int i = 0; i < registers; ++i) {
            dialog.StepProgress(0, 0);
            positions.push_back(dialog.Position());
        }
        return positions;
    }

    TTProgressDialog dialog;
};

struct ReadCase {
    uint32_t variant;
    int registers;
    int step;
    int last;
};

class ProgressOfARead : public ProgressDialogTest, public testing::WithParamInterface<ReadCase> {};

TEST_P(ProgressOfARead, AdvancesByThreeThenByTheStepOfTheFamily) {
    const ReadCase& c = GetParam();
    dialog.show();
    const std::vector<int> positions = ReadPositions(c.variant, c.registers);
    ASSERT_EQ(positions.size(), static_cast<std::size_t>(3 + c.registers));
    EXPECT_EQ(positions[0], 3);
    EXPECT_EQ(positions[1], 6);
    EXPECT_EQ(positions[2], 9);  // the old step of 3 is used before the new one is chosen
    for (int i = 0; i < c.registers; ++i) {
        EXPECT_EQ(positions[3 + i], 9 + (i + 1) * c.step) << "after register " << i;
    }
    EXPECT_EQ(positions.back(), c.last);
    EXPECT_EQ(dialog.Step(), c.step);
    // The bar itself never shows more than full.
    EXPECT_EQ(dialog.ProgressBar->value(), std::min(c.last, 100));
}

INSTANTIATE_TEST_SUITE_P(Variants, ProgressOfARead,
                         testing::Values(ReadCase{0, 5, 18, 99}, ReadCase{1, 5, 18, 99},
                                         ReadCase{2, 46, 2, 101}, ReadCase{3, 46, 2, 101},
                                         ReadCase{4, 5, 18, 99}, ReadCase{5, 5, 18, 99}));

TEST_F(ProgressDialogTest, ShowingStartsAtZeroWithTheWaitText) {
    dialog.show();
    dialog.StepProgress(0, 0);
    dialog.StepProgress(0, 0);
    // Taken off the screen without the close that resets it.
    dialog.hide();
    dialog.show();
    EXPECT_EQ(dialog.Position(), 0);
    EXPECT_EQ(dialog.ProgressBar->value(), 0);
    EXPECT_EQ(dialog.LabelProg->text(), "Text 040");
}

TEST_F(ProgressDialogTest, ClosingResetsStepAndPosition) {
    dialog.show();
    ReadPositions(2, 10);
    ASSERT_EQ(dialog.Step(), 2);
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.Step(), 3);
    EXPECT_EQ(dialog.Position(), 0);
    EXPECT_EQ(dialog.ProgressBar->value(), 0);
}

TEST_F(ProgressDialogTest, AFailureBeforeTheStepIsChosenKeepsTheDesignStep) {
    dialog.show();
    dialog.StepProgress(0, 0);
    dialog.close();
    dialog.show();
    dialog.StepProgress(0, 0);
    EXPECT_EQ(dialog.Position(), 3);
}

TEST_F(ProgressDialogTest, SetStepZeroNeverChangesTheStep) {
    dialog.show();
    for (uint32_t variant : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 0xFFFFFFFFu}) {
        dialog.StepProgress(0, variant);
        EXPECT_EQ(dialog.Step(), 3) << "variant " << variant;
    }
    EXPECT_EQ(dialog.Position(), 8 * 3);
}

TEST_F(ProgressDialogTest, AnUnknownVariantAdvancesButKeepsTheStep) {
    dialog.show();
    dialog.StepProgress(1, 2);
    ASSERT_EQ(dialog.Step(), 2);
    for (uint32_t variant : {6u, 7u, 0x80000000u, 0xFFFFFFFFu}) {
        const int before = dialog.Position();
        dialog.StepProgress(1, variant);
        EXPECT_EQ(dialog.Position(), before + 2) << "variant " << variant;
        EXPECT_EQ(dialog.Step(), 2) << "variant " << variant;
    }
}

TEST_F(ProgressDialogTest, LetsPendingWorkRunBeforeAdvancing) {
    dialog.show();
    int positionSeen = -1;
    QTimer::singleShot(0, &dialog, [&] { positionSeen = dialog.Position(); });
    dialog.StepProgress(0, 0);
    EXPECT_EQ(positionSeen, 0);
    EXPECT_EQ(dialog.Position(), 3);
}

TEST_F(ProgressDialogTest, TheUserCannotCloseItDuringATransfer) {
    dialog.show();
    dialog.StepProgress(0, 0);
    PressCloseBox(dialog);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.Position(), 3);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.Position(), 3);
}

// A window manager that minimises it anyway (openbox offers that for every dialog) would hide the
// dialog that runs the transfer as well.
TEST_F(ProgressDialogTest, AMinimisingIsUndoneAtOnce) {
    dialog.show();
    dialog.StepProgress(0, 0);
    for (const Qt::WindowStates state :
         {Qt::WindowStates(Qt::WindowMinimized), Qt::WindowMinimized | Qt::WindowActive}) {
        dialog.setWindowState(state);
        QCoreApplication::processEvents();
        EXPECT_FALSE(dialog.windowState() & Qt::WindowMinimized) << state;
        EXPECT_FALSE(dialog.isMinimized());
        EXPECT_TRUE(dialog.isVisible());
    }
    EXPECT_EQ(dialog.Position(), 3);
}

}  // namespace
