// The port selection dialog against the virtual card on a pseudo-terminal: what it reads per
// firmware family, what the user sees when the card fails, and that it cannot be left while
// the card is read.
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOption>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/LanguageTable.h"
#include "app/ProgramDirectory.h"
#include "dialog_helpers.h"
#include "link/LineTrace.h"
#include "link/SerialPortParameter.h"
#include "model/RegisterImage.h"
#include "sim/VirtualCard.h"
#include "tests/support/DeviceHolder.h"
#include "tests/support/ProcessState.h"
#include "tests/support/ScratchFolder.h"
#include "ui/ProgramDialog.h"
#include "ui/ProgressDialog.h"
#include "ui/PropSheet.h"
#include "ui/SetPort.h"
#include "ui/Texts.h"

namespace {

using testing::ElementsAre;

constexpr QMessageBox::Icon kWarning = QMessageBox::Warning;
constexpr QMessageBox::Icon kError = QMessageBox::Critical;
constexpr uint16_t kUnread = 0xEEEE;
constexpr int kCardHardwareBits = 21;

std::vector<int> Range(int first, int last) {
    std::vector<int> numbers;
    for (int i = first; i <= last; ++i) {
        numbers.push_back(i);
    }
    return numbers;
}

std::vector<int> Without(std::vector<int> numbers, int removed) {
    numbers.erase(std::remove(numbers.begin(), numbers.end(), removed), numbers.end());
    return numbers;
}

std::vector<int> Kft018Registers() {
    std::vector<int> registers = Range(0, 4);
    const std::vector<int> rest = Range(7, 47);
    registers.insert(registers.end(), rest.begin(), rest.end());
    return registers;
}

CardConfig CardWithIdentity(const std::string& identity) {
    CardConfig config;
    config.identity = identity;
    config.hardwareBits = kCardHardwareBits;
    for (int reg = 0; reg < RegisterImage::kRegisterCount; ++reg) {
        // Bit 6 of every low byte set: the parity rule of the read (a code 0 on COM1-COM3
        // arrives as 1) leaves these values as they are.
        config.registers.SetValue(reg, static_cast<uint16_t>(0x1040 + 0x0101 * reg));
    }
    return config;
}

class SetPortTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(CreateLanguageTable(), 0);
        RegisterImageStorage = std::make_unique<RegisterImage>();
        for (int reg = 0; reg < RegisterImage::kRegisterCount; ++reg) {
            RegisterImageStorage->SetValue(reg, kUnread);
        }
        HardwareBits = 0;
        // In the order of start-up.
        dialog_ = std::make_unique<TTSetPortParam>();
        TSetPortParam = dialog_.get();
        sheet_ = std::make_unique<TTPropSheet>();
        TPropSheet = sheet_.get();
        progress_ = std::make_unique<TTProgressDialog>();
        TProgressDialog = progress_.get();
        program_ = std::make_unique<TTProgramDialog>();
        TProgramDialog = program_.get();
        DeclineTheSheetWhenItShows();
        dialog_->show();
    }

    void TearDown() override {
        sheetWatch_.stop();
        dialog_.reset();
        sheet_.reset();
        progress_.reset();
        program_.reset();
        ClearProcessState();
        card_.reset();
        for (int n = 1; n <= 7; ++n) {
            unsetenv(("BROVANE_COM" + std::to_string(n)).c_str());
        }
    }

    // Starts the virtual card and lets COM1 reach it.
    bool StartCard(const std::string& identity) {
        card_ = std::make_unique<PtyCardServer>(CardWithIdentity(identity));
        if (!card_->Start()) {
            return false;
        }
        setenv("BROVANE_COM1", card_->DevicePath().c_str(), 1);
        dialog_->UsePortOverrides(ReadPortOverrides());
        return true;
    }

    void TypePort(const QString& text) {
        QLineEdit* field = dialog_->ComboPort->lineEdit();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }

    void ExpectIdle() {
        EXPECT_TRUE(dialog_->isVisible());
        EXPECT_FALSE(dialog_->IsReading());
        EXPECT_TRUE(dialog_->ButtonOk->isEnabled());
        EXPECT_TRUE(dialog_->ButtonCancel->isEnabled());
        EXPECT_TRUE(dialog_->ComboPort->isEnabled());
        EXPECT_FALSE(progress_->isVisible());
        EXPECT_EQ(progress_->Position(), 0);
        EXPECT_EQ(progress_->Step(), 3);
        EXPECT_FALSE(SerialPort->IsOpen());
    }

    // Registers not in `read` still hold the marker; those in it hold the card's values.
    void ExpectImageHolds(const std::vector<int>& read) {
        const RegisterImage cardRegisters = card_->Registers();
        for (int reg = 0; reg < RegisterImage::kRegisterCount; ++reg) {
            const bool wasRead = std::find(read.begin(), read.end(), reg) != read.end();
            EXPECT_EQ(RegisterImageStorage->Value(reg),
                      wasRead ? cardRegisters.Value(reg) : kUnread)
                << "register " << reg;
        }
    }

    // A complete read goes on into the configuration loop; here the sheet is turned down at
    // once, which ends the loop. How the port selection stood at that moment is kept.
    void DeclineTheSheetWhenItShows() {
        sheetWatch_.setInterval(5);
        QObject::connect(&sheetWatch_, &QTimer::timeout, [this] {
            if (QApplication::activeModalWidget() != sheet_.get()) {
                return;
            }
            ++sheetShows_;
            idleWhenSheetShown_ = !dialog_->IsReading() && dialog_->ButtonOk->isEnabled() &&
                                  dialog_->ButtonCancel->isEnabled() &&
                                  dialog_->ComboPort->isEnabled() && !progress_->isVisible() &&
                                  !SerialPort->IsOpen();
            sheet_->CancelBtnClick();
        });
        sheetWatch_.start();
    }

    // The messages of the port selection itself (all under caption 16).
    static std::vector<ShownMessage> PortMessages(const MessageBoxAnswerer& answerer) {
        std::vector<ShownMessage> messages;
        for (const ShownMessage& message : answerer.Shown()) {
            if (message.caption == "Text 016") {
                messages.push_back(message);
            }
        }
        return messages;
    }

    std::unique_ptr<TTSetPortParam> dialog_;
    std::unique_ptr<TTPropSheet> sheet_;
    std::unique_ptr<TTProgressDialog> progress_;
    std::unique_ptr<TTProgramDialog> program_;
    std::unique_ptr<PtyCardServer> card_;
    QTimer sheetWatch_;
    int sheetShows_ = 0;
    bool idleWhenSheetShown_ = false;
};

TEST_F(SetPortTest, ShowsTheSevenPortsWithCom1ChosenAndTheLanguageTexts) {
    EXPECT_EQ(dialog_->windowTitle(), "Text 000 - Version 1.4");
    EXPECT_EQ(dialog_->GroupPort->title(), "Text 003");
    EXPECT_EQ(dialog_->ButtonOk->text(), "Text 001");
    EXPECT_EQ(dialog_->ButtonCancel->text(), "Text 002");
    QStringList entries;
    for (int i = 0; i < dialog_->ComboPort->count(); ++i) {
        entries << dialog_->ComboPort->itemText(i);
    }
    EXPECT_EQ(entries, QStringList({"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7"}));
    EXPECT_EQ(dialog_->ComboPort->currentText(), "COM1");
    EXPECT_EQ(dialog_->SelectedPortIndex(), 0);
    EXPECT_STREQ(SerialPort->PortName, "COM1");
    EXPECT_TRUE(dialog_->ComboPort->isEditable());
    EXPECT_TRUE(ShowsGlyph(*dialog_->ButtonOk, "ok"));
    EXPECT_TRUE(ShowsGlyph(*dialog_->ButtonCancel, "cancel"));
}

TEST_F(SetPortTest, ShowingAgainStartsFromCom1) {
    TypePort("COM5");
    ASSERT_STREQ(SerialPort->PortName, "COM5");
    dialog_->hide();
    dialog_->show();
    EXPECT_EQ(dialog_->ComboPort->currentText(), "COM1");
    EXPECT_STREQ(SerialPort->PortName, "COM1");
}

struct PortNameCase {
    QString typed;
    const char* portName;
};

class TypedPortName : public SetPortTest, public testing::WithParamInterface<PortNameCase> {};

TEST_P(TypedPortName, ReachesTheConnectionCutToFourCharacters) {
    TypePort(GetParam().typed);
    EXPECT_STREQ(SerialPort->PortName, GetParam().portName);
}

INSTANTIATE_TEST_SUITE_P(SetPort, TypedPortName,
                         testing::Values(PortNameCase{"COM3", "COM3"},
                                         PortNameCase{"COM12345", "COM1"},
                                         PortNameCase{"/dev/ttyUSB0", "/dev"},
                                         PortNameCase{"CO", "CO"}, PortNameCase{"", ""}));

TEST_F(SetPortTest, AnUnlistedPortIsRefusedWithAWarningAndNothingIsOpened) {
    ASSERT_TRUE(StartCard("KFT018-01-01"));
    TypePort("COM9");
    MessageBoxAnswerer answerer;
    dialog_->ButtonOk->click();
    EXPECT_THAT(answerer.Shown(), ElementsAre(ShownMessage{"Text 016", "Text 015", kWarning}));
    EXPECT_EQ(card_->CommandCount(), 0);
    EXPECT_EQ(sheetShows_, 0);
    ExpectIdle();
    ExpectImageHolds({});
}

TEST_F(SetPortTest, AListedNameTypedInOtherCaseIsNoListEntry) {
    ASSERT_TRUE(StartCard("KFT018-01-01"));
    TypePort("com1");
    MessageBoxAnswerer answerer;
    dialog_->ButtonOk->click();
    EXPECT_THAT(answerer.Shown(), ElementsAre(ShownMessage{"Text 016", "Text 015", kWarning}));
    EXPECT_EQ(card_->CommandCount(), 0);
}

struct FamilyCase {
    const char* identity;
    int variant;
    std::vector<int> registers;
};

class ReadingACard : public SetPortTest, public testing::WithParamInterface<FamilyCase> {};

TEST_P(ReadingACard, ReadsTheRegistersOfItsFamilyAndReturnsToIdle) {
    const FamilyCase& c = GetParam();
    ASSERT_TRUE(StartCard(c.identity));
    MessageBoxAnswerer answerer;
    dialog_->ButtonOk->click();
    EXPECT_TRUE(PortMessages(answerer).empty());
    EXPECT_EQ(card_->RegistersRead(), c.registers);
    EXPECT_EQ(SerialPort->FirmwareVariant, c.variant);
    EXPECT_EQ(HardwareBits, kCardHardwareBits);
    ExpectImageHolds(c.registers);
    // The configuration follows once the port is closed and the controls are back.
    EXPECT_EQ(sheetShows_, 1);
    EXPECT_TRUE(idleWhenSheetShown_);
    ExpectIdle();
}

INSTANTIATE_TEST_SUITE_P(Families, ReadingACard,
                         testing::Values(FamilyCase{"KFT018-01-01", 2, Kft018Registers()},
                                         FamilyCase{"KFT015-01-04", 0, Range(0, 4)}),
                         [](const testing::TestParamInfo<FamilyCase>& info) {
                             return std::string("Variant") + std::to_string(info.param.variant);
                         });

TEST_F(SetPortTest, WhileReadingTheControlsAreOffAndTheProgressShowsTheReadCaption) {
    ASSERT_TRUE(StartCard("KFT018-01-01"));
    int looks = 0;
    int controlsOn = 0;
    int progressHidden = 0;
    int maxPosition = 0;
    QString caption;
    QTimer observer;
    observer.setInterval(0);
    QObject::connect(&observer, &QTimer::timeout, [&] {
        if (!dialog_->IsReading()) {
            return;
        }
        ++looks;
        controlsOn += dialog_->ButtonOk->isEnabled() + dialog_->ButtonCancel->isEnabled() +
                      dialog_->ComboPort->isEnabled();
        progressHidden += !progress_->isVisible();
        maxPosition = std::max(maxPosition, progress_->Position());
        caption = progress_->windowTitle();
    });
    observer.start();
    MessageBoxAnswerer answerer;
    dialog_->ButtonOk->click();
    observer.stop();
    EXPECT_TRUE(PortMessages(answerer).empty());
    EXPECT_GT(looks, 40);
    EXPECT_EQ(controlsOn, 0);
    EXPECT_EQ(progressHidden, 0);
    EXPECT_EQ(caption, "Text 038");
    // The last advance happens after the last pending work ran.
    EXPECT_EQ(maxPosition, 99);
    ExpectIdle();
}

struct FailureCase {
    const char* name;
    int failingCommand;  // 0 identification, 1 hardware bits, 2.. register reads
    std::vector<int> readBefore;
    CardFault fault;
    const char* why;  // the message's second line
};

class AFailingCard : public SetPortTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(AFailingCard, ShowsMessage37ClosesTheDeviceAndASecondOkReadsNormally) {
    const FailureCase& c = GetParam();
    ASSERT_TRUE(StartCard("KFT018-01-01"));
    card_->InjectFault(c.fault, c.failingCommand);
    {
        MessageBoxAnswerer answerer;
        dialog_->ButtonOk->click();
        EXPECT_THAT(answerer.Shown(),
                    ElementsAre(ShownMessage{"Text 016", QString("Text 037\n") + c.why, kError}));
    }
    EXPECT_EQ(sheetShows_, 0);
    ExpectIdle();
    // The registers read before the failure stay in the image.
    ExpectImageHolds(c.readBefore);

    card_->ClearHistory();
    MessageBoxAnswerer answerer;
    dialog_->ButtonOk->click();
    EXPECT_TRUE(PortMessages(answerer).empty());
    EXPECT_EQ(sheetShows_, 1);
    EXPECT_EQ(card_->RegistersRead(), Kft018Registers());
    ExpectImageHolds(Kft018Registers());
    ExpectIdle();
}

INSTANTIATE_TEST_SUITE_P(
    Commands, AFailingCard,
    testing::Values(
        FailureCase{"Identification",
                    0,
                    {},
                    CardFault::WrongEcho,
                    "The card did not answer: a reply to another command: the card is out of "
                    "step; try again."},
        FailureCase{"HardwareBits",
                    1,
                    {},
                    CardFault::Loopback,
                    "The card did not answer: the request came back: transmit and receive are "
                    "bridged (loopback plug, echoing RS-485)."},
        FailureCase{"ThirdRegister",
                    4,
                    {0, 1},
                    CardFault::Noise,
                    "The card stopped answering at register 2: bytes that are no reply of the "
                    "card came back (80 F8 00 FE 78 86 E0 1E): another device, or another speed."},
        FailureCase{"LastRegister", 47, Without(Kft018Registers(), 47), CardFault::ShortReply,
                    "The card stopped answering at register 47: a reply cut short (13 of 16 "
                    "bytes): a loose contact, or noise on the line."}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

// Message 36 stays; its second line names the device the port led to and why it failed.
struct OpenFailureCase {
    const char* name;
    std::function<std::string(const std::string& scratch, PtyCardServer& card)> device;
    const char* reason;
    const char* advice;  // what to do, after the reason
};

// Without these texts in the language file the program says it in English.
constexpr char kPlugInAdapter[] =
    "\nPlug in the adapter, or choose a port that the list shows with a device.";

class APortThatCannotBeOpened : public SetPortTest,
                                public testing::WithParamInterface<OpenFailureCase> {};

TEST_P(APortThatCannotBeOpened, ShowsMessage36WithTheDeviceAndTheReason) {
    const ScratchFolder folder("brovane-set-port");
    const std::string scratch = folder.Path().string();
    ASSERT_TRUE(StartCard("KFT018-01-01"));
    const std::string device = GetParam().device(scratch, *card_);
    // Held as another program would hold it, for the case that needs it.
    std::optional<DeviceHolder> holder;
    if (device == card_->DevicePath()) {
        holder.emplace(device);
        ASSERT_TRUE(holder->Holding());
    }
    setenv("BROVANE_COM1", device.c_str(), 1);
    dialog_->UsePortOverrides(ReadPortOverrides());
    {
        MessageBoxAnswerer answerer;
        dialog_->ButtonOk->click();
        EXPECT_THAT(
            answerer.Shown(),
            ElementsAre(ShownMessage{"Text 016",
                                     QString::fromStdString("Text 036\nCOM1 (" + device + "): " +
                                                            GetParam().reason + GetParam().advice),
                                     kError}));
    }
    EXPECT_EQ(card_->CommandCount(), 0);
    EXPECT_EQ(sheetShows_, 0);
    ExpectIdle();
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, APortThatCannotBeOpened,
    testing::Values(
        OpenFailureCase{
            "Missing",
            [](const std::string& scratch, PtyCardServer&) { return scratch + "/missing"; },
            "no such device", kPlugInAdapter},
        OpenFailureCase{"RegularFile",
                        [](const std::string& scratch, PtyCardServer&) {
                            const std::string file = scratch + "/card";
                            std::fclose(std::fopen(file.c_str(), "w"));
                            return file;
                        },
                        "not a serial device", ""},
        OpenFailureCase{"Folder",
                        [](const std::string& scratch, PtyCardServer&) { return scratch; },
                        "not a serial device", ""},
        OpenFailureCase{"HeldByAnotherProcess",
                        [](const std::string&, PtyCardServer& card) { return card.DevicePath(); },
                        "in use by another program", ""}),
    [](const testing::TestParamInfo<OpenFailureCase>& info) {
        return std::string(info.param.name);
    });

// The shipped texts of message 36 lead on to the line with the port, its device, the reason and
// what to do, all in the user's language.
TEST_F(SetPortTest, TheCannotOpenMessageReadsOnWithTheReasonInEveryLanguage) {
    ProgramDirectory = ExecutableDirectory();
    setenv("BROVANE_COM1", "/nonexistent/brovane-port", 1);
    dialog_->UsePortOverrides(ReadPortOverrides());
    const char* const expected[] = {
        "The serial port cannot be opened:\nCOM1 (/nonexistent/brovane-port): no such device\n"
        "Plug in the adapter, or choose a port that the list shows with a device.",
        "Die serielle Schnittstelle l\u00e4sst sich nicht \u00f6ffnen:\nCOM1 "
        "(/nonexistent/brovane-port): Ger\u00e4t nicht vorhanden\nAdapter einstecken oder einen "
        "Port w\u00e4hlen, den die Liste mit einem Ger\u00e4t zeigt.",
        "Impossibile aprire la porta seriale:\nCOM1 (/nonexistent/brovane-port): dispositivo "
        "inesistente\nCollegare l'adattatore o scegliere una porta che l'elenco mostra con un "
        "dispositivo."};
    for (int number = 0; number < 3; ++number) {
        ASSERT_EQ(LoadLanguageTable(static_cast<int8_t>(number)), 0) << number;
        MessageBoxAnswerer answerer;
        dialog_->ButtonOk->click();
        EXPECT_THAT(answerer.Shown(),
                    ElementsAre(ShownMessage{LanguageText(16), QString::fromUtf8(expected[number]),
                                             kError}))
            << number;
    }
}

// Every entry of the drop-down says what its name opens; the field keeps the name.
TEST_F(SetPortTest, TheDropDownShowsTheDeviceEachNameOpens) {
    ASSERT_TRUE(StartCard("KFT018-01-01"));
    for (int n = 2; n <= 7; ++n) {
        setenv(("BROVANE_COM" + std::to_string(n)).c_str(), "/nonexistent/brovane-port", 1);
    }
    dialog_->UsePortOverrides(ReadPortOverrides());
    dialog_->ComboPort->showPopup();
    const QString card = QString::fromStdString(card_->DevicePath()).mid(5);  // after "/dev/"
    EXPECT_EQ(dialog_->PortEntryTexts(),
              QStringList({"COM1  " + card, "COM2  no device", "COM3  no device", "COM4  no device",
                           "COM5  no device", "COM6  no device", "COM7  no device"}));
    EXPECT_EQ(dialog_->ComboPort->itemText(0), "COM1");
    EXPECT_EQ(dialog_->ComboPort->currentText(), "COM1");
    // The list opens wide enough for every entry whole.
    const QFontMetrics metrics(dialog_->ComboPort->view()->font());
    for (const QString& text : dialog_->PortEntryTexts()) {
        EXPECT_GT(dialog_->ComboPort->view()->minimumWidth(), metrics.horizontalAdvance(text))
            << text.toStdString();
    }

    // Plugged in while the dialog is up: there the next time the list opens.
    dialog_->ComboPort->hidePopup();
    TypePort("COM3x");
    setenv("BROVANE_COM3", card_->DevicePath().c_str(), 1);
    dialog_->UsePortOverrides(ReadPortOverrides());
    dialog_->ComboPort->showPopup();
    EXPECT_EQ(dialog_->PortEntryTexts().at(2), "COM3  " + card);
    // Opening the list left what the user typed as it was.
    EXPECT_EQ(dialog_->ComboPort->lineEdit()->text(), "COM3x");
    EXPECT_STREQ(SerialPort->PortName, "COM3");
    dialog_->ComboPort->hidePopup();
}

// A name that leads to no device says so in the user's language; the present device's entry has
// no words of ours.
TEST_F(SetPortTest, NoDeviceReadsInTheUsersLanguage) {
    ProgramDirectory = ExecutableDirectory();
    ASSERT_TRUE(StartCard("KFT018-01-01"));
    for (int n = 2; n <= 7; ++n) {
        setenv(("BROVANE_COM" + std::to_string(n)).c_str(), "/nonexistent/brovane-port", 1);
    }
    dialog_->UsePortOverrides(ReadPortOverrides());
    const char* const noDevice[] = {"no device", "kein Ger\u00e4t", "nessun dispositivo"};
    for (int number = 0; number < 3; ++number) {
        ASSERT_EQ(LoadLanguageTable(static_cast<int8_t>(number)), 0) << number;
        dialog_->ComboPort->showPopup();
        EXPECT_EQ(dialog_->PortEntryTexts().at(4), "COM5  " + QString::fromUtf8(noDevice[number]));
        dialog_->ComboPort->hidePopup();
    }
}

// A screen reader hears the port field, its text and its open list by the group's caption, and
// each entry with the device it leads to, as a sighted technician reads it.
TEST_F(SetPortTest, TheFieldItsListAndItsEntriesAreNamedForScreenReaders) {
    EXPECT_EQ(dialog_->ComboPort->lineEdit()->accessibleName(), "Text 003");
    EXPECT_EQ(dialog_->ComboPort->view()->accessibleName(), "Text 003");
    TypePort("COM5");
    dialog_->ComboPort->showPopup();
    const QStringList entries = dialog_->PortEntryTexts();
    ASSERT_EQ(entries.size(), 7);
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(dialog_->ComboPort->itemData(row, Qt::AccessibleTextRole).toString(),
                  entries.at(row));
        EXPECT_NE(entries.at(row), QStringLiteral("COM%1").arg(row + 1));
    }
    dialog_->ComboPort->hidePopup();
    EXPECT_EQ(dialog_->ComboPort->lineEdit()->text(), "COM5");
}

// Alt with a letter is no text: the field keeps the port name.
TEST_F(SetPortTest, AltWithALetterLeavesThePortFieldAlone) {
    QLineEdit* field = dialog_->ComboPort->lineEdit();
    ASSERT_EQ(field->text(), "COM1");
    for (const Qt::Key key : {Qt::Key_O, Qt::Key_C, Qt::Key_X}) {
        QTest::keyClick(field, key, Qt::AltModifier);
        EXPECT_EQ(field->text(), "COM1") << key;
    }
    QTest::keyClick(field, Qt::Key_End);
    QTest::keyClick(field, Qt::Key_2);
    EXPECT_EQ(field->text(), "COM12");
    // Alt+Down still opens the list.
    QTest::keyClick(dialog_->ComboPort, Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(dialog_->ComboPort->view()->isVisible());
    dialog_->ComboPort->hidePopup();
}

// The first focus is drawn as the style draws a focus reached by Tab, before any key.
TEST_F(SetPortTest, TheFirstFocusIsVisibleBeforeAnyKey) {
    QStyleOption option;
    option.initFrom(dialog_->ComboPort->lineEdit());
    EXPECT_TRUE(option.state.testFlag(QStyle::State_KeyboardFocusChange));
}

TEST_F(SetPortTest, RefusesToCloseWhileReading) {
    ASSERT_TRUE(StartCard("KFT018-01-01"));
    int attempts = 0;
    RunWhen(
        *dialog_, [&] { return dialog_->IsReading() && progress_->Position() >= 9; },
        [&] {
            ++attempts;
            PressCloseBox(*dialog_);
            QTest::keyClick(dialog_.get(), Qt::Key_Escape);
            dialog_->reject();
            dialog_->ButtonCancel->click();
        });
    MessageBoxAnswerer answerer;
    dialog_->ButtonOk->click();
    EXPECT_EQ(attempts, 1);
    EXPECT_TRUE(PortMessages(answerer).empty());
    EXPECT_EQ(card_->RegistersRead(), Kft018Registers());
    ExpectIdle();
}

// While the card's reply is awaited the windows keep running: the progress window can be raised
// and repainted, and the disabled OK starts no second read. The card took the identification
// and stays silent, the device still open: the event loop runs inside the exchange itself.
TEST_F(SetPortTest, TheWindowsRunWhileTheCardsReplyIsAwaited) {
    ASSERT_TRUE(StartCard("KFT018-01-01"));
    card_->StopAnsweringAfter(0);
    bool ranDuringTheExchange = false;
    RunWhen(
        *dialog_,
        [&] { return dialog_->IsReading() && card_->CommandCount() == 1 && SerialPort->IsOpen(); },
        [&] {
            ranDuringTheExchange = true;
            progress_->raise();
            progress_->repaint();
            EXPECT_TRUE(progress_->isVisible());
            EXPECT_FALSE(dialog_->ButtonOk->isEnabled());
            dialog_->ButtonOk->click();
        });
    MessageBoxAnswerer answerer;
    dialog_->ButtonOk->click();
    EXPECT_TRUE(ranDuringTheExchange);
    EXPECT_EQ(card_->CommandCount(), 1) << "one identification, no second read";
    ASSERT_EQ(PortMessages(answerer).size(), 1u);
    EXPECT_EQ(PortMessages(answerer)[0].text,
              "Text 037\nThe card did not answer: nothing came back: the card is off, a cable end "
              "is loose, or it is another port.");
    ExpectIdle();
}

TEST_F(SetPortTest, TabFollowsPortOkCancel) {
    dialog_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
    ASSERT_TRUE(WaitUntil([&] { return dialog_->ComboPort->hasFocus(); }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(dialog_->ButtonOk->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(dialog_->ButtonCancel->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(dialog_->ComboPort->hasFocus());
}

TEST_F(SetPortTest, ReturnInThePortFieldReadsTheCard) {
    ASSERT_TRUE(StartCard("KFT015-01-04"));
    dialog_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
    ASSERT_TRUE(WaitUntil([&] { return dialog_->ComboPort->hasFocus(); }));
    MessageBoxAnswerer answerer;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(card_->RegistersRead(), Range(0, 4));
    EXPECT_TRUE(PortMessages(answerer).empty());
    // The focus comes back to the field after the read.
    EXPECT_EQ(dialog_->focusWidget(), dialog_->ComboPort);
}

enum class WayOut { Cancel, CloseBox, Escape };

class LeavingThePortSelection : public SetPortTest, public testing::WithParamInterface<WayOut> {};

TEST_P(LeavingThePortSelection, EndsTheProgramWithCodeZero) {
    dialog_->hide();
    QTimer::singleShot(0, dialog_.get(), [this] { dialog_->exec(); });
    RunWhen(
        *dialog_, [this] { return QApplication::activeModalWidget() == dialog_.get(); },
        [this] {
            switch (GetParam()) {
                case WayOut::Cancel:
                    dialog_->ButtonCancel->click();
                    break;
                case WayOut::CloseBox:
                    PressCloseBox(*dialog_);
                    break;
                case WayOut::Escape:
                    QTest::keyClick(dialog_.get(), Qt::Key_Escape);
                    break;
            }
        });
    EXPECT_EQ(RunEventLoop(), 0);
    EXPECT_FALSE(dialog_->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Ways, LeavingThePortSelection,
                         testing::Values(WayOut::Cancel, WayOut::CloseBox, WayOut::Escape));

// A trace that cannot be written is said once, in a warning; the card is read all the same.
TEST_F(SetPortTest, ATraceThatCannotBeWrittenIsSaidOnceAndTheCardIsReadAllTheSame) {
    ASSERT_TRUE(StartCard("KFT018-01-01"));
    dialog_->hide();
    dialog_ =
        std::make_unique<TTSetPortParam>(nullptr, TraceAskedFor("/dev/full"), ReadPortOverrides());
    TSetPortParam = dialog_.get();
    dialog_->show();
    const auto traceWarnings = [](const MessageBoxAnswerer& answerer) {
        std::vector<ShownMessage> warnings;
        for (const ShownMessage& message : answerer.Shown()) {
            if (message.caption == "Brovane") {
                warnings.push_back(message);
            }
        }
        return warnings;
    };
    {
        MessageBoxAnswerer answerer;
        dialog_->ButtonOk->click();
        EXPECT_THAT(traceWarnings(answerer),
                    ElementsAre(ShownMessage{"Brovane",
                                             "The trace /dev/full cannot be written (No space "
                                             "left on device); the work goes on without it.",
                                             kWarning}));
    }
    EXPECT_EQ(sheetShows_, 1);
    EXPECT_EQ(card_->RegistersRead(), Kft018Registers());
    MessageBoxAnswerer again;
    dialog_->ButtonOk->click();
    EXPECT_TRUE(traceWarnings(again).empty());
    EXPECT_EQ(sheetShows_, 2);
}

}  // namespace
