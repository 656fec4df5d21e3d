#include "ui/PropSheet.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTabWidget>
#include <QTimer>

#include "app/AppState.h"
#include "link/SerialPortParameter.h"
#include "model/Fields.h"
#include "model/RegisterImage.h"
#include "ui/PropSheetParts.h"
#include "ui/Texts.h"
#include "ui/UpDown.h"

using namespace sheet_parts;

namespace {

constexpr int kClientWidth = 392;
constexpr int kClientHeight = 423;
constexpr int kControlHeight = 34;
constexpr int kTabbedBorder = 5;

const RegisterImage& ShownImage() {
    static const RegisterImage kEmpty;
    return RegisterImageStorage ? *RegisterImageStorage : kEmpty;
}

}  // namespace

TTPropSheet::TTPropSheet(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TPropSheet"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    BuildPanels();
    BuildCom0Page();
    BuildCom1Page();
    BuildCom2Page();
    BuildCom3Page();
    BuildInputPage();
    BuildOutputPage();
    ConnectHandlers();
}

void TTPropSheet::BuildPanels() {
    Tabbed = Make<QWidget>(this, QStringLiteral("Tabbed"),
                           QRect(0, 0, kClientWidth, kClientHeight - kControlHeight));
    PageControl =
        Make<QTabWidget>(Tabbed, QStringLiteral("PageControl"),
                         QRect(kTabbedBorder, kTabbedBorder, kClientWidth - 2 * kTabbedBorder,
                               kClientHeight - kControlHeight - 2 * kTabbedBorder));
    PageControl->setUsesScrollButtons(true);
    const auto addPage = [this](const char* name) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromLatin1(name));
        PageControl->addTab(page, QString());
        return page;
    };
    Com0Dialog = addPage("Com0Dialog");
    Com1Dialog = addPage("Com1Dialog");
    Com2Dialog = addPage("Com2Dialog");
    Com3Dialog = addPage("Com3Dialog");
    InputDialog = addPage("InputDialog");
    OutputDialog = addPage("OutputDialog");
    PageControl->setCurrentWidget(Com0Dialog);

    Control = Make<QWidget>(this, QStringLiteral("Control"),
                            QRect(0, kClientHeight - kControlHeight, kClientWidth, kControlHeight));
    OKBtn =
        MakeGlyphButton(Control, QStringLiteral("OKBtn"), QRect(218, 2, 81, 25), ":/glyphs/ok.png");
    CancelBtn = MakeGlyphButton(Control, QStringLiteral("CancelBtn"), QRect(306, 2, 81, 25),
                                ":/glyphs/cancel.png");
}

void TTPropSheet::OnLeave(QLineEdit* field, std::function<void()> handler) {
    leaveHandlers_[field] = std::move(handler);
    field->installEventFilter(this);
}

void TTPropSheet::ConnectHandlers() {
    // User actions only: activated is not raised by selecting an entry from code.
    connect(ComboProt, &QComboBox::activated, this, &TTPropSheet::ComboProtChange);
    connect(ComboProt2, &QComboBox::activated, this, &TTPropSheet::ComboProt2Change);
    connect(UpDownAddress, &UpDown::Clicked, this, &TTPropSheet::UpDownAddressClick);
    OnLeave(EditAddress, [this] { EditAddressExit(); });
    connect(PageControl, &QTabWidget::currentChanged, this, [this] {
        if (PageControl->currentWidget() == Com2Dialog) {
            Com2DialogShow();
        }
    });

    for (int n = 1; n <= kInputCount; ++n) {
        const int i = n - 1;
        connect(ComboInputN[i], &QComboBox::activated, this, [this, n] { ComboInputNChange(n); });
        OnLeave(EditSupN[i], [this, n] { EditSupNChange(n); });
        OnLeave(EditInfN[i], [this, n] { EditInfNChange(n); });
        OnLeave(EditDelayN[i], [this, n] { EditDelayNChange(n); });
    }

    connect(ComboOutput, &QComboBox::activated, this, &TTPropSheet::ComboOutputChange);
    connect(ComboLogic, &QComboBox::activated, this, &TTPropSheet::ComboLogicChange);
    // Selection changes made from code happen under a signal blocker.
    connect(ListEvent, &QListWidget::itemSelectionChanged, this, &TTPropSheet::ListEventClick);
    connect(ListEventAss, &QListWidget::itemSelectionChanged, this,
            &TTPropSheet::ListEventAssClick);
    connect(ButtonAdd, &QPushButton::clicked, this, &TTPropSheet::ButtonAddClick);
    connect(ButtonSub, &QPushButton::clicked, this, &TTPropSheet::ButtonSubClick);

    connect(OKBtn, &QPushButton::clicked, this, &TTPropSheet::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TTPropSheet::CancelBtnClick);
}

bool TTPropSheet::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        // Leaving means the focus went to another control of the sheet; a popup or another
        // window taking the focus for a while is not a leave.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const auto handler = leaveHandlers_.find(watched);
        if (handler != leaveHandlers_.end() && reason != Qt::PopupFocusReason &&
            reason != Qt::ActiveWindowFocusReason) {
            handler->second();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TTPropSheet::SetInputOutputPagesVisible(bool visible) {
    PageControl->setTabVisible(PageControl->indexOf(InputDialog), visible);
    PageControl->setTabVisible(PageControl->indexOf(OutputDialog), visible);
}

void TTPropSheet::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormShow();
        if (const QScreen* shown = screen()) {
            move(shown->availableGeometry().center() - rect().center());
        }
        // Shown again on the COM2 page: the page becomes visible with the sheet.
        if (PageControl->currentWidget() == Com2Dialog) {
            QTimer::singleShot(0, this, &TTPropSheet::Com2DialogShow);
        }
    }
    QDialog::showEvent(event);
}

void TTPropSheet::FormShow() {
    const SheetState state = DecodeSheet(ShownImage());
    const char* identity = SerialPort ? SerialPort->Identity : "";
    setWindowTitle(
        DecodeLanguageBytes(SheetCaption(LanguageBytes(14), LanguageBytes(93), identity)));
    ShowCaptions();
    ShowPortPages(state);
    ShowInputPage(state);
    Outputs = state.outputs;
    ShowOutputPage();
}

void TTPropSheet::ShowCaptions() {
    OKBtn->setText(LanguageText(4));
    CancelBtn->setText(LanguageText(30));
    PageControl->setTabText(PageControl->indexOf(Com0Dialog), LanguageText(6));
    PageControl->setTabText(PageControl->indexOf(Com1Dialog), LanguageText(25));
    PageControl->setTabText(PageControl->indexOf(Com2Dialog), LanguageText(11));
    PageControl->setTabText(PageControl->indexOf(Com3Dialog), LanguageText(27));
    PageControl->setTabText(PageControl->indexOf(InputDialog), LanguageText(47));
    PageControl->setTabText(PageControl->indexOf(OutputDialog), LanguageText(56));

    GroupCom0->setTitle(LanguageText(8));
    GroupCom1->setTitle(LanguageText(26));
    GroupCom2->setTitle(LanguageText(12));
    GroupCom3->setTitle(LanguageText(28));
    GroupAddress->setTitle(LanguageText(7));
    for (QLabel* label : {LabelProt, LabelProt1, LabelProt2, LabelProt3}) {
        label->setText(LanguageText(10));
    }
    for (QLabel* label : {LabelBaud, LabelBaud1, LabelBaud2, LabelBaud3}) {
        label->setText(LanguageText(9));
    }
    for (QLabel* label : {LabelParity1, LabelParity2, LabelParity3}) {
        label->setText(LanguageText(17));
    }
    for (QLabel* label : {LabelStopBit1, LabelStopBit2, LabelStopBit3}) {
        label->setText(LanguageText(18));
    }
    LabelAddress->setText(LanguageText(32));
    LabelHardware->setText(LanguageText(13));

    LabelType->setText(LanguageText(48));
    LabelSup->setText(LanguageText(49));
    LabelInf->setText(LanguageText(50));
    LabelDelay->setText(LanguageText(51));

    LabelOutput->setText(LanguageText(57));
    LabelEvent->setText(LanguageText(58));
    LabelEventAss->setText(LanguageText(59));
    LabelLogic->setText(LanguageText(95));
}

SheetState TTPropSheet::ReadPages() const {
    SheetState state;
    state.com0Protocol = ComboProt->currentIndex();
    state.com0Baud = ComboBaud->currentIndex();
    state.com1 = ReadLine(ComboProt1, ComboBaud1, ComboParity1, ComboStop1);
    state.com2 = ReadLine(ComboProt2, ComboBaud2, ComboParity2, ComboStop2);
    state.com3 = ReadLine(ComboProt3, ComboBaud3, ComboParity3, ComboStop3);
    state.rememberedAddress = RememberedAddress;
    state.addressText = Text(EditAddress);
    for (int n = 1; n <= kInputCount; ++n) {
        state.inputs[n - 1] = TransferDataToMemory(n);
    }
    state.outputs = Outputs;
    return state;
}

void TTPropSheet::OKBtnClick() {
    // The field that had the focus is left first, so its correction is what gets stored.
    OKBtn->setFocus(Qt::OtherFocusReason);
    if (RegisterImageStorage) {
        EncodeSheet(ReadPages(), *RegisterImageStorage);
    }
    done(1);
}

void TTPropSheet::CancelBtnClick() {
    done(2);
}
