#include "ui/ProgramDialog.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <utility>

#include "app/AppState.h"
#include "link/CardBatch.h"
#include "link/SerialPortParameter.h"
#include "model/FirmwareVariant.h"
#include "model/ProgramSummary.h"
#include "model/RegisterImage.h"
#include "ui/Appearance.h"
#include "ui/Glyphs.h"
#include "ui/Messages.h"
#include "ui/ProgressDialog.h"
#include "ui/Texts.h"

namespace {

constexpr int kClientWidth = 429;
constexpr int kClientHeight = 316;
constexpr int kCellWidth = 65;
constexpr int kLabelHeight = 13;
constexpr std::array<int, 4> kColumnLeft = {104, 184, 264, 344};
constexpr int kBarWidth = 3;
constexpr std::array<int, 5> kVerticalBarLeft = {95, 174, 256, 335, 414};
constexpr std::array<int, 5> kHorizontalBarTop = {46, 94, 136, 214, 256};

// Language strings of the dialog.
constexpr int kTextCaption = 23;
constexpr int kTextHeading = 24;
constexpr int kTextButtonProg = 29;
constexpr int kTextButtonCancel = 30;
constexpr int kTextProtocol = 10;
constexpr int kTextBaud = 9;
constexpr int kTextParity = 17;
constexpr int kTextStop = 18;
constexpr int kTextAddress = 32;
constexpr int kTextCom0 = 33;
constexpr int kTextCom1 = 34;
constexpr int kTextCom2 = 35;
constexpr int kTextCom3 = 41;
constexpr int kTextFirstParity = 42;
constexpr int kTextProgressCaption = 39;
constexpr int kTextErrorCaption = 16;
constexpr int kTextDoneCaption = 20;
constexpr int kTextNotUsed = 106;

constexpr int kResultProgrammed = 1;
constexpr int kResultCancelled = 2;

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                  int width, Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(alignment | Qt::AlignTop);
    label->setGeometry(left, top, width, kLabelHeight);
    return label;
}

QLabel* MakeCell(QWidget* parent, const QString& name, const char* text, int port, int top) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setGeometry(kColumnLeft[port], top, kCellWidth, kLabelHeight);
    return label;
}

QFrame* MakeBar(QWidget* parent, int number, const QRect& geometry) {
    auto* bar = new QFrame(parent);
    bar->setObjectName(QStringLiteral("Panel%1").arg(number));
    bar->setFrameShape(QFrame::Panel);
    bar->setFrameShadow(QFrame::Raised);
    bar->setLineWidth(1);
    bar->setGeometry(geometry);
    return bar;
}

void ApplyCell(QLabel* cell, const std::string& text) {
    cell->setText(DecodeLanguageBytes(text));
}

// An autosized label keeps its top-left corner and takes the width its text needs.
void FitToText(QLabel* label) {
    label->resize(label->sizeHint().width(), kLabelHeight);
}

}  // namespace

TTProgramDialog::TTProgramDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ProgramDialog"));
    setWindowTitle(QStringLiteral("Protocol"));
    SetDialogBorder(*this);
    setFixedSize(kClientWidth, kClientHeight);

    const Qt::Alignment centred = Qt::AlignHCenter;
    const Qt::Alignment left = Qt::AlignLeft;
    LabelProgParam = MakeLabel(this, "LabelProgParam", QString(), 95, 19, kCellWidth, left);
    LabelCOM0 = MakeLabel(this, "LabelCOM0", QString(), kColumnLeft[0], 64, kCellWidth, centred);
    LabelCOM1 = MakeLabel(this, "LabelCOM1", QString(), kColumnLeft[1], 64, kCellWidth, left);
    LabelCOM2 = MakeLabel(this, "LabelCOM2", QString(), kColumnLeft[2], 64, kCellWidth, centred);
    LabelCOM3 = MakeLabel(this, "LabelCOM3", QString(), kColumnLeft[3], 64, kCellWidth, centred);
    LabelProt = MakeLabel(this, "LabelProt", QString(), 24, 111, kCellWidth, left);
    LabelSerial = MakeLabel(this, "LabelSerial", QString(), 24, 150, kCellWidth, left);
    LabelSerial->setWordWrap(true);
    LabelParity = MakeLabel(this, "LabelParity", QString(), 24, 170, kCellWidth, left);
    LabelStop = MakeLabel(this, "LabelStop", QString(), 24, 190, kCellWidth, left);
    LabelAddress = MakeLabel(this, "LabelAddress", QString(), 24, 230, kCellWidth, left);

    constexpr std::array<const char*, 4> kProtocolDesign = {"NEXPR", "MODBUS", "NEXPR", "NEXPR"};
    constexpr std::array<const char*, 4> kParityDesign = {"---", "None", "None", "None"};
    constexpr std::array<const char*, 4> kStopDesign = {"---", "1", "1", "1"};
    constexpr std::array<const char*, 4> kAddressDesign = {"---", "---", "LabelAdd2", "---"};
    for (int port = 0; port < 4; ++port) {
        const QString index = QString::number(port);
        LabelProtN[port] = MakeCell(this, "LabelProt" + index, kProtocolDesign[port], port, 111);
        LabelBaudN[port] = MakeCell(this, "LabelBaud" + index, "19200", port, 150);
        LabelParityN[port] = MakeCell(this, "LabelParity" + index, kParityDesign[port], port, 170);
        LabelStopN[port] = MakeCell(this, "LabelStop" + index, kStopDesign[port], port, 190);
        LabelAddN[port] = MakeCell(this, "LabelAdd" + index, kAddressDesign[port], port, 229);
    }

    // The grid: vertical bars from the top line to the bottom line, horizontal bars from the
    // left line to the right line.
    const int gridTop = kHorizontalBarTop.front();
    const int gridHeight = kHorizontalBarTop.back() + kBarWidth - gridTop;
    const int gridLeft = kVerticalBarLeft.front();
    const int gridWidth = kVerticalBarLeft.back() + kBarWidth - gridLeft;
    int number = 1;
    for (const int barLeft : kVerticalBarLeft) {
        PanelN[number - 1] = MakeBar(this, number, QRect(barLeft, gridTop, kBarWidth, gridHeight));
        ++number;
    }
    for (const int barTop : kHorizontalBarTop) {
        PanelN[number - 1] = MakeBar(this, number, QRect(gridLeft, barTop, gridWidth, kBarWidth));
        ++number;
    }

    ButtonProg = new QPushButton(GlyphIcon("program"), QString(), this);
    ButtonProg->setObjectName(QStringLiteral("ButtonProg"));
    ButtonProg->setGeometry(241, 277, 81, 25);
    ButtonProg->setIconSize(QSize(16, 16));
    // Return programs the card, as the dialog's purpose; Escape cancels.
    ButtonProg->setDefault(true);
    ButtonCancel = new QPushButton(GlyphIcon("cancel"), QString(), this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    ButtonCancel->setGeometry(336, 277, 81, 25);
    ButtonCancel->setIconSize(QSize(16, 16));
    connect(ButtonProg, &QPushButton::clicked, this, &TTProgramDialog::ButtonProgClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &TTProgramDialog::ButtonCancelClick);
}

void TTProgramDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormShow();
        CentreOnScreen(*this);
        ShowKeyboardFocus(*this);
    }
    QDialog::showEvent(event);
}

void TTProgramDialog::FormShow() {
    setWindowTitle(LanguageText(kTextCaption));
    ButtonProg->setText(LanguageText(kTextButtonProg));
    ButtonCancel->setText(LanguageText(kTextButtonCancel));
    LabelProt->setText(LanguageText(kTextProtocol));
    LabelSerial->setText(LanguageText(kTextBaud));
    LabelSerial->resize(kCellWidth, LabelSerial->heightForWidth(kCellWidth));
    LabelParity->setText(LanguageText(kTextParity));
    LabelStop->setText(LanguageText(kTextStop));
    LabelAddress->setText(LanguageText(kTextAddress));
    LabelCOM0->setText(LanguageText(kTextCom0));
    LabelCOM1->setText(LanguageText(kTextCom1));
    FitToText(LabelCOM1);
    LabelCOM2->setText(LanguageText(kTextCom2));
    LabelCOM3->setText(LanguageText(kTextCom3));
    LabelProgParam->setText(LanguageText(kTextHeading));
    FitToText(LabelProgParam);

    if (RegisterImageStorage) {
        ShowSummary();
    }
    NameSummaryCells();
}

void TTProgramDialog::ShowSummary() {
    const ParityNames parityNames = {LanguageBytes(kTextFirstParity),
                                     LanguageBytes(kTextFirstParity + 1),
                                     LanguageBytes(kTextFirstParity + 2)};
    const PortSummary summary = SummarizePorts(*RegisterImageStorage, parityNames);
    for (int port = 0; port < PortSummary::kPortCount; ++port) {
        ApplyCell(LabelProtN[port], summary.protocol[port]);
        ApplyCell(LabelBaudN[port], summary.baud[port]);
        ApplyCell(LabelParityN[port], summary.parity[port]);
        ApplyCell(LabelStopN[port], summary.stop[port]);
        ApplyCell(LabelAddN[port], summary.address[port]);
    }
}

void TTProgramDialog::NameSummaryCells() {
    const std::array<const QLabel*, 4> columns = {LabelCOM0, LabelCOM1, LabelCOM2, LabelCOM3};
    const std::array<std::pair<const QLabel*, const std::array<QLabel*, 4>*>, 5> rows = {{
        {LabelProt, &LabelProtN},
        {LabelSerial, &LabelBaudN},
        {LabelParity, &LabelParityN},
        {LabelStop, &LabelStopN},
        {LabelAddress, &LabelAddN},
    }};
    // A listener hears each value with its port and its row: "COM2 Baud rate 9600".
    const QChar space = QLatin1Char(' ');
    for (const auto& [heading, cells] : rows) {
        for (int port = 0; port < PortSummary::kPortCount; ++port) {
            QLabel* cell = (*cells)[port];
            // A dash cell is read as the words, not as three dashes.
            const QString value = cell->text() == QLatin1String(kNoSummaryValue)
                                      ? LanguageTextOr(kTextNotUsed, "not used")
                                      : cell->text();
            cell->setAccessibleName(columns[port]->text() + space + heading->text() + space +
                                    value);
        }
    }
}

void TTProgramDialog::ButtonProgClick() {
    if (programming_ || !SerialPort || !RegisterImageStorage || !TProgressDialog) {
        return;
    }
    programming_ = true;
    SetButtonsEnabled(false);

    SerialPortParameter& port = *SerialPort;
    const int variant = port.FirmwareVariant;
    const auto progressVariant = static_cast<uint32_t>(variant);
    TProgressDialog->ShowFor(*this);
    TProgressDialog->setWindowTitle(LanguageText(kTextProgressCaption));
    TProgressDialog->StepProgress(0, progressVariant);
    TProgressDialog->StepProgress(0, progressVariant);

    const BatchResult result =
        ProgramCardRegisters(port, *RegisterImageStorage, [&](BatchStage stage) {
            TProgressDialog->StepProgress(stage == BatchStage::Opened ? 1 : 0, progressVariant);
        });
    if (!result.Ok()) {
        // A failed write has already closed the device.
        FailProgramming(result);
        return;
    }

    TProgressDialog->close();
    if (const std::optional<int> message = ProgrammedMessageOfVariant(variant)) {
        ShowLanguageWarning(*message, kTextDoneCaption);
    }
    SetButtonsEnabled(true);
    programming_ = false;
    done(kResultProgrammed);
}

void TTProgramDialog::FailProgramming(const BatchResult& result) {
    TProgressDialog->close();
    ShowBatchFailure(result, *SerialPort, kTextErrorCaption,
                     ExchangedRegisters(SerialPort->FirmwareVariant));
    SetButtonsEnabled(true);
    programming_ = false;
}

void TTProgramDialog::ButtonCancelClick() {
    if (programming_) {
        return;
    }
    done(kResultCancelled);
}

// Escape and the close box end the dialog like the cancel button.
void TTProgramDialog::reject() {
    if (programming_) {
        return;
    }
    done(kResultCancelled);
}

void TTProgramDialog::closeEvent(QCloseEvent* event) {
    if (programming_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TTProgramDialog::SetButtonsEnabled(bool enabled) {
    ButtonProg->setEnabled(enabled);
    ButtonCancel->setEnabled(enabled);
}
