// Programming the card from the programming dialog, against the virtual card on a
// pseudo-terminal.
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

#include "app/AppState.h"
#include "link/SerialPortParameter.h"
#include "model/RegisterImage.h"
#include "tests/ui/dialog_helpers.h"
#include "tests/ui/program_helpers.h"
#include "ui/ProgramDialog.h"
#include "ui/ProgressDialog.h"

namespace {

using program_test::Kft018RegisterNumbers;
using program_test::Placeholder;
using program_test::PortRegisterNumbers;
using program_test::ProgrammingSetUp;

// A different value in every register, none of them zero.
RegisterImage PatternImage() {
    RegisterImage image;
    for (int reg = 0; reg < RegisterImage::kRegisterCount; ++reg) {
        image.SetValue(reg, static_cast<uint16_t>(0x1100 + reg * 0x0101));
    }
    return image;
}

class ProgramCardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        *RegisterImageStorage = PatternImage();
        SerialPort->FirmwareVariant = 2;
    }
    void StartCard() {
        CardConfig config;  // all registers 0
        ASSERT_TRUE(state_.StartCard(config)) << "no pseudo-terminal for the virtual card";
    }
    QPushButton* Button(const char* name) {
        return dialog_.findChild<QPushButton*>(QString::fromLatin1(name));
    }
    void ClickProgram() { Button("ButtonProg")->click(); }
    // Clicks the program button and checks the one message box that follows.
    // `detail` is the second line the text must carry, if any.
    void ProgramExpectingMessage(QMessageBox::Icon icon, int captionNumber, int textNumber,
                                 const QString& detail = QString()) {
        MessageBoxAnswerer boxes;
        ClickProgram();
        ASSERT_EQ(boxes.Count(), 1);
        EXPECT_EQ(boxes.Shown()[0].icon, icon);
        EXPECT_EQ(boxes.Shown()[0].caption, Placeholder(captionNumber));
        const QString expected =
            detail.isEmpty() ? Placeholder(textNumber) : Placeholder(textNumber) + '\n' + detail;
        EXPECT_EQ(boxes.Shown()[0].text, expected);
    }
    // The registers the card holds, where the image was written.
    void ExpectCardHolds(const std::vector<int>& registers) {
        const RegisterImage card = state_.Card().Registers();
        for (const int reg : registers) {
            EXPECT_EQ(card.Value(reg), RegisterImageStorage->Value(reg)) << "register " << reg;
        }
    }
    void ExpectCardUntouched(const std::vector<int>& registers) {
        const RegisterImage card = state_.Card().Registers();
        for (const int reg : registers) {
            EXPECT_EQ(card.Value(reg), 0) << "register " << reg;
        }
    }
    void ExpectDialogUsable() {
        EXPECT_TRUE(dialog_.isVisible());
        EXPECT_TRUE(Button("ButtonProg")->isEnabled());
        EXPECT_TRUE(Button("ButtonCancel")->isEnabled());
        EXPECT_FALSE(TProgressDialog->isVisible());
        EXPECT_FALSE(SerialPort->IsOpen());
    }

    ProgrammingSetUp state_;
    TTProgramDialog dialog_;
};

TEST_F(ProgramCardTest, EachFamilyWritesItsRegistersAndGetsItsMessage) {
    struct Case {
        int variant;
        std::vector<int> written;
        int message;
    };
    const Case cases[] = {
        {0, PortRegisterNumbers(), 19},   {1, PortRegisterNumbers(), 19},
        {2, Kft018RegisterNumbers(), 22}, {3, Kft018RegisterNumbers(), 22},
        {4, PortRegisterNumbers(), 94},   {5, PortRegisterNumbers(), 94},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "variant " << c.variant);
        ASSERT_NO_FATAL_FAILURE(StartCard());
        SerialPort->FirmwareVariant = c.variant;
        dialog_.show();
        ProgramExpectingMessage(QMessageBox::Warning, 20, c.message);

        EXPECT_EQ(state_.Card().RegistersWritten(), c.written);
        ExpectCardHolds(c.written);
        EXPECT_EQ(dialog_.result(), 1);
        EXPECT_FALSE(dialog_.isVisible());
        EXPECT_FALSE(TProgressDialog->isVisible());
        EXPECT_FALSE(SerialPort->IsOpen());
        EXPECT_TRUE(Button("ButtonProg")->isEnabled());
    }
}

TEST_F(ProgramCardTest, RegistersFiveAndSixAndTheHiddenPagesAreNeverSentForShortFamilies) {
    ASSERT_NO_FATAL_FAILURE(StartCard());
    SerialPort->FirmwareVariant = 0;
    dialog_.show();
    ProgramExpectingMessage(QMessageBox::Warning, 20, 19);
    std::vector<int> notSent = {5, 6};
    for (int reg = 7; reg <= 47; ++reg) {
        notSent.push_back(reg);
    }
    ExpectCardUntouched(notSent);
}

TEST_F(ProgramCardTest, PortThatCannotBeOpenedLeavesTheDialogUsable) {
    state_.PointComOneNowhere();
    dialog_.show();
    // The programming names the device and the reason as the card read does.
    ProgramExpectingMessage(QMessageBox::Critical, 16, 36,
                            QStringLiteral("COM1 (/nonexistent/brovane-no-such-port): no such "
                                           "device\nPlug in the adapter, or choose a port that "
                                           "the list shows with a device."));
    ExpectDialogUsable();
    EXPECT_EQ(dialog_.result(), 0);
}

TEST_F(ProgramCardTest, FailingThirdWriteKeepsTheFirstTwoAndARetryWritesEverything) {
    ASSERT_NO_FATAL_FAILURE(StartCard());
    state_.Card().InjectFault(CardFault::FailingWrite, 2);
    dialog_.show();
    // The card refused register 2 with a reply of its own: it answered, and holds 0-1.
    ProgramExpectingMessage(
        QMessageBox::Critical, 16, 37,
        "The card refused register 2: it answered, and trying again cannot help.\nThe card "
        "holds part of the new configuration (written: 0-1; refused: 2; not written: 3-4, "
        "7-47).");
    ExpectDialogUsable();
    ExpectCardHolds({0, 1});
    ExpectCardUntouched({2, 3, 4, 7, 47});
    EXPECT_EQ(dialog_.result(), 0);

    state_.Card().ClearHistory();
    ProgramExpectingMessage(QMessageBox::Warning, 20, 22);
    EXPECT_EQ(state_.Card().RegistersWritten(), Kft018RegisterNumbers());
    ExpectCardHolds(Kft018RegisterNumbers());
    EXPECT_EQ(dialog_.result(), 1);
}

TEST_F(ProgramCardTest, FailingFirstWriteLeavesTheCardUnchanged) {
    ASSERT_NO_FATAL_FAILURE(StartCard());
    state_.Card().InjectFault(CardFault::FailingWrite, 0);
    dialog_.show();
    // The card refused the first register: nothing new is on it, so no part-way line.
    ProgramExpectingMessage(
        QMessageBox::Critical, 16, 37,
        "The card refused register 0: it answered, and trying again cannot help.");
    ExpectCardUntouched(Kft018RegisterNumbers());
    ExpectDialogUsable();
}

// A card that stops answering part-way: the windows run while its reply is awaited (the device
// open, the fourth write taken), and the causes named fit a card that has answered before.
TEST_F(ProgramCardTest, TheWindowsRunWhileACardThatStoppedIsAwaited) {
    ASSERT_NO_FATAL_FAILURE(StartCard());
    state_.Card().StopAnsweringAfter(3);
    dialog_.show();
    bool ranDuringTheExchange = false;
    RunWhen(
        dialog_, [&] { return state_.Card().CommandCount() == 4 && SerialPort->IsOpen(); },
        [&] {
            ranDuringTheExchange = true;
            TProgressDialog->raise();
            TProgressDialog->repaint();
            EXPECT_TRUE(TProgressDialog->isVisible());
            EXPECT_FALSE(Button("ButtonProg")->isEnabled());
            ClickProgram();
        });
    ProgramExpectingMessage(
        QMessageBox::Critical, 16, 37,
        "The card stopped answering at register 3: nothing came back: the card lost power, a "
        "cable came loose, or the card restarted.\nPress Program again to finish: the card holds "
        "part of the new configuration (written: 0-2; sent, no answer: 3, its value on the card "
        "is unknown; not written: 4, 7-47).");
    EXPECT_TRUE(ranDuringTheExchange);
    EXPECT_EQ(state_.Card().CommandCount(), 4) << "no second programming";
    ExpectCardHolds({0, 1, 2});
    ExpectDialogUsable();
}

TEST_F(ProgramCardTest, RefusesToCloseWhileProgramming) {
    ASSERT_NO_FATAL_FAILURE(StartCard());
    dialog_.show();
    struct DuringProgramming {
        bool seen = false;
        bool visibleAfterClose = false;
        bool programEnabled = true;
        bool cancelEnabled = true;
        bool progressVisible = false;
        QString progressCaption;
    } during;
    // Runs while the progress dialog lets pending events through.
    QTimer::singleShot(0, [&] {
        during.seen = true;
        during.programEnabled = Button("ButtonProg")->isEnabled();
        during.cancelEnabled = Button("ButtonCancel")->isEnabled();
        during.progressVisible = TProgressDialog->isVisible();
        during.progressCaption = TProgressDialog->windowTitle();
        PressCloseBox(dialog_);
        dialog_.reject();
        QTest::keyClick(&dialog_, Qt::Key_Escape);
        during.visibleAfterClose = dialog_.isVisible();
    });
    MessageBoxAnswerer boxes;
    ClickProgram();

    ASSERT_TRUE(during.seen);
    EXPECT_TRUE(during.visibleAfterClose);
    EXPECT_FALSE(during.programEnabled);
    EXPECT_FALSE(during.cancelEnabled);
    EXPECT_TRUE(during.progressVisible);
    EXPECT_EQ(during.progressCaption, Placeholder(39));
    EXPECT_EQ(state_.Card().RegistersWritten(), Kft018RegisterNumbers());
    EXPECT_EQ(dialog_.result(), 1);
}

TEST_F(ProgramCardTest, CancelAndCloseBoxEndWithoutTouchingTheCard) {
    ASSERT_NO_FATAL_FAILURE(StartCard());
    dialog_.show();
    Button("ButtonCancel")->click();
    EXPECT_EQ(dialog_.result(), 2);
    EXPECT_FALSE(dialog_.isVisible());

    dialog_.show();
    PressCloseBox(dialog_);
    EXPECT_EQ(dialog_.result(), 2);
    EXPECT_FALSE(dialog_.isVisible());

    dialog_.show();
    QTest::keyClick(&dialog_, Qt::Key_Escape);
    EXPECT_EQ(dialog_.result(), 2);
    EXPECT_FALSE(dialog_.isVisible());

    EXPECT_EQ(state_.Card().CommandCount(), 0);
    ExpectCardUntouched(Kft018RegisterNumbers());
}

TEST_F(ProgramCardTest, ModalRunEndsWithOneAfterProgramming) {
    ASSERT_NO_FATAL_FAILURE(StartCard());
    MessageBoxAnswerer boxes;
    QTimer::singleShot(0, [this] { ClickProgram(); });
    EXPECT_EQ(dialog_.exec(), 1);
    EXPECT_EQ(state_.Card().RegistersWritten(), Kft018RegisterNumbers());
}

}  // namespace
