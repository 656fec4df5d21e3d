#include "ui/PropSheet.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <cstdint>
#include <string>

#include "app/AppState.h"
#include "link/SerialPortParameter.h"
#include "model/Fields.h"
#include "model/RegisterImage.h"
#include "ui/Appearance.h"
#include "ui/Messages.h"
#include "ui/Texts.h"
#include "ui/UpDown.h"

namespace {

constexpr int kClientWidth = 392;
constexpr int kClientHeight = 423;
constexpr int kControlHeight = 34;
constexpr int kTabbedBorder = 5;
constexpr int kListHeight = 21;
constexpr int kFieldHeight = 21;

// Port pages: the group box, then one row per setting.
constexpr QRect kPortGroup(30, 22, 320, 195);
constexpr int kPortLabelX = 68;
constexpr int kPortLabelWidth = 74;
constexpr int kPortListX = 155;
constexpr int kPortListWidth = 116;
constexpr int kProtocolRowY = 35;
constexpr int kBaudRowY = 70;
constexpr int kCom0BaudRowY = 104;
constexpr int kParityRowY = 105;
constexpr int kStopRowY = 140;

// Inputs page.
constexpr int kHeadingY = 21;
constexpr int kFirstInputRowY = 57;
constexpr int kInputRowPitch = 33;
constexpr int kInputLabelX = 10;
constexpr int kInputTypeX = 64;
constexpr int kInputTypeWidth = 97;
constexpr int kSupX = 178;
constexpr int kSupUnitX = 210;
constexpr int kInfX = 243;
constexpr int kInfUnitX = 275;
constexpr int kThresholdWidth = 28;
constexpr int kUnitWidth = 30;
constexpr int kDelayX = 308;
constexpr int kDelayWidth = 31;
constexpr int kUpDownX = 339;
constexpr int kUpDownWidth = 15;
constexpr int kDelayMaxLength = 4;

// Outputs page.
constexpr int kOutputLeftX = 19;
constexpr int kOutputRightX = 208;
constexpr int kOutputColumnWidth = 145;

const char kNexpr[] = "NEXPR";

// Qt input masks of the threshold fields by input type. Qt's "0" is an optional digit and "#"
// an optional digit or sign; the blank shown for a free position follows the ";". Type 0 has
// a single literal blank.
const char* const kThresholdMasks[] = {" ", "0.00; ", "#00; ", "000; "};

// The threshold and delay fields are narrow: their text may use the room of the inner margin
// the toolkit keeps, so that four digits show whole in the 11-pixel font.
constexpr QMargins kNarrowFieldMargins(-2, 0, -2, 0);

template <class Widget>
Widget* Make(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* widget = new Widget(parent);
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

QLabel* MakeRowLabel(QWidget* parent, const QString& name, int x, int y, int width) {
    auto* label = Make<QLabel>(parent, name, QRect(x, y, width, kListHeight));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QComboBox* MakeList(QWidget* parent, const QString& name, int x, int y, int width) {
    auto* combo = Make<QComboBox>(parent, name, QRect(x, y, width, kListHeight));
    combo->setEditable(false);
    return combo;
}

QString Numbered(const char* name, int n) {
    return QString::fromLatin1(name) + QString::number(n);
}

QPushButton* MakeGlyphButton(QWidget* parent, const QString& name, const QRect& geometry,
                             const char* glyph) {
    auto* button = Make<QPushButton>(parent, name, geometry);
    button->setIcon(QIcon(QString::fromLatin1(glyph)));
    button->setIconSize(QSize(16, 16));
    button->setAutoDefault(false);
    return button;
}

void FillList(QComboBox* combo, const QStringList& items, int entry) {
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(entry);
}

QStringList BaudItems(int count) {
    QStringList items;
    for (int code = 1; code <= count; ++code) {
        items << QString::fromStdString(BaudText(code));
    }
    return items;
}

QStringList LanguageItems(int first, int count) {
    QStringList items;
    for (int number = first; number < first + count; ++number) {
        items << LanguageText(number);
    }
    return items;
}

QStringList PortProtocolItems() {
    return {QString::fromLatin1(kNexpr), QStringLiteral("MODBUS RTU")};
}

QStringList StopItems() {
    return {QStringLiteral("1"), QStringLiteral("2")};
}

QStringList ParityItems() {
    return LanguageItems(42, kParityEntries);
}

void ShowLine(const LineEntries& entries, int baudEntries, QComboBox* protocol, QComboBox* baud,
              QComboBox* parity, QComboBox* stop) {
    FillList(protocol, PortProtocolItems(), entries.protocol);
    FillList(baud, BaudItems(baudEntries), entries.baud);
    FillList(parity, ParityItems(), entries.parity);
    FillList(stop, StopItems(), entries.stop);
}

LineEntries ReadLine(const QComboBox* protocol, const QComboBox* baud, const QComboBox* parity,
                     const QComboBox* stop) {
    return {protocol->currentIndex(), baud->currentIndex(), parity->currentIndex(),
            stop->currentIndex()};
}

std::string Text(const QLineEdit* field) {
    return field->text().toStdString();
}

// A correction replaces the text but leaves the caret where it was.
void ReplaceText(QLineEdit* field, const std::string& text) {
    const int caret = field->cursorPosition();
    field->setText(QString::fromStdString(text));
    field->setCursorPosition(caret);
}

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

void TTPropSheet::BuildCom0Page() {
    GroupCom0 = Make<QGroupBox>(Com0Dialog, QStringLiteral("GroupCom0"), kPortGroup);
    LabelProt = MakeRowLabel(GroupCom0, QStringLiteral("LabelProt"), kPortLabelX, kProtocolRowY,
                             kPortLabelWidth);
    ComboProt =
        MakeList(GroupCom0, QStringLiteral("ComboProt"), kPortListX, kProtocolRowY, kPortListWidth);
    LabelBaud = MakeRowLabel(GroupCom0, QStringLiteral("LabelBaud"), kPortLabelX, kCom0BaudRowY,
                             kPortLabelWidth);
    ComboBaud =
        MakeList(GroupCom0, QStringLiteral("ComboBaud"), kPortListX, kCom0BaudRowY, kPortListWidth);
}

namespace {

// The four rows of a port page with parity and stop bits (COM1 to COM3).
struct LineRows {
    QLabel*& labelProt;
    QLabel*& labelBaud;
    QLabel*& labelParity;
    QLabel*& labelStopBit;
    QComboBox*& comboProt;
    QComboBox*& comboBaud;
    QComboBox*& comboParity;
    QComboBox*& comboStop;
};

void BuildLineRows(QGroupBox* group, int port, const LineRows& rows) {
    const auto label = [&](const char* name, int y) {
        return MakeRowLabel(group, Numbered(name, port), kPortLabelX, y, kPortLabelWidth);
    };
    const auto list = [&](const char* name, int y) {
        return MakeList(group, Numbered(name, port), kPortListX, y, kPortListWidth);
    };
    rows.labelProt = label("LabelProt", kProtocolRowY);
    rows.comboProt = list("ComboProt", kProtocolRowY);
    rows.labelBaud = label("LabelBaud", kBaudRowY);
    rows.comboBaud = list("ComboBaud", kBaudRowY);
    rows.labelParity = label("LabelParity", kParityRowY);
    rows.comboParity = list("ComboParity", kParityRowY);
    rows.labelStopBit = label("LabelStopBit", kStopRowY);
    rows.comboStop = list("ComboStop", kStopRowY);
}

}  // namespace

void TTPropSheet::BuildCom1Page() {
    GroupCom1 = Make<QGroupBox>(Com1Dialog, QStringLiteral("GroupCom1"), kPortGroup);
    BuildLineRows(GroupCom1, 1,
                  {LabelProt1, LabelBaud1, LabelParity1, LabelStopBit1, ComboProt1, ComboBaud1,
                   ComboParity1, ComboStop1});
    for (QWidget* control :
         {static_cast<QWidget*>(LabelProt1), static_cast<QWidget*>(LabelBaud1),
          static_cast<QWidget*>(LabelParity1), static_cast<QWidget*>(LabelStopBit1),
          static_cast<QWidget*>(ComboProt1), static_cast<QWidget*>(ComboBaud1),
          static_cast<QWidget*>(ComboParity1), static_cast<QWidget*>(ComboStop1)}) {
        control->setEnabled(false);
    }
}

void TTPropSheet::BuildCom2Page() {
    GroupCom2 = Make<QGroupBox>(Com2Dialog, QStringLiteral("GroupCom2"), kPortGroup);
    BuildLineRows(GroupCom2, 2,
                  {LabelProt2, LabelBaud2, LabelParity2, LabelStopBit2, ComboProt2, ComboBaud2,
                   ComboParity2, ComboStop2});

    GroupAddress =
        Make<QGroupBox>(Com2Dialog, QStringLiteral("GroupAddress"), QRect(30, 224, 321, 97));
    LabelAddress =
        Make<QLabel>(GroupAddress, QStringLiteral("LabelAddress"), QRect(68, 30, 85, 13));
    EditAddress =
        Make<QLineEdit>(GroupAddress, QStringLiteral("EditAddress"), QRect(155, 26, 50, 21));
    UpDownAddress =
        Make<UpDown>(GroupAddress, QStringLiteral("UpDownAddress"), QRect(205, 26, 15, 21));
    UpDownAddress->SetRange(0, kAddressMaximum);
    UpDownAddress->SetIncrement(kAddressIncrement);
    UpDownAddress->SetAssociate(EditAddress);
    LabelHardware =
        Make<QLabel>(GroupAddress, QStringLiteral("LabelHardware"), QRect(68, 66, 85, 13));
    EditHardware =
        Make<QLineEdit>(GroupAddress, QStringLiteral("EditHardware"), QRect(155, 62, 70, 21));
    LabelHardware->setEnabled(false);
    EditHardware->setEnabled(false);
}

void TTPropSheet::BuildCom3Page() {
    GroupCom3 = Make<QGroupBox>(Com3Dialog, QStringLiteral("GroupCom3"), kPortGroup);
    BuildLineRows(GroupCom3, 3,
                  {LabelProt3, LabelBaud3, LabelParity3, LabelStopBit3, ComboProt3, ComboBaud3,
                   ComboParity3, ComboStop3});
    GroupCom3->setEnabled(false);
}

void TTPropSheet::BuildInputPage() {
    const auto heading = [this](const char* name, int x, int width) {
        auto* label = Make<QLabel>(InputDialog, QString::fromLatin1(name),
                                   QRect(x, kHeadingY, width, kFirstInputRowY - kHeadingY - 2));
        label->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
        label->setWordWrap(true);
        return label;
    };
    LabelType = heading("LabelType", kInputTypeX, kInputTypeWidth);
    LabelSup = heading("LabelSup", kSupX, kInfX - kSupX - 2);
    LabelInf = heading("LabelInf", kInfX, kDelayX - kInfX - 2);
    LabelDelay = heading("LabelDelay", kDelayX, 66);

    const auto threshold = [this](const char* name, int n, int x, int y) {
        auto* field = Make<QLineEdit>(InputDialog, Numbered(name, n),
                                      QRect(x, y, kThresholdWidth, kFieldHeight));
        field->setTextMargins(kNarrowFieldMargins);
        field->setInputMask(QString::fromLatin1(kThresholdMasks[kInputVolts]));
        return field;
    };
    for (int n = 1; n <= kInputCount; ++n) {
        const int i = n - 1;
        const int y = kFirstInputRowY + kInputRowPitch * i;
        LabelInputN[i] = MakeRowLabel(InputDialog, Numbered("LabelInput", n), kInputLabelX, y,
                                      kInputTypeX - kInputLabelX - 2);
        LabelInputN[i]->setText(QStringLiteral("Input ") + QString::number(n));
        ComboInputN[i] =
            MakeList(InputDialog, Numbered("ComboInput", n), kInputTypeX, y, kInputTypeWidth);
        EditSupN[i] = threshold("EditSup", n, kSupX, y);
        LabelSupN[i] = MakeRowLabel(InputDialog, Numbered("LabelSup", n), kSupUnitX, y, kUnitWidth);
        EditInfN[i] = threshold("EditInf", n, kInfX, y);
        LabelInfN[i] = MakeRowLabel(InputDialog, Numbered("LabelInf", n), kInfUnitX, y, kUnitWidth);
        LabelSupN[i]->setText(QStringLiteral("\u00B0C"));
        LabelInfN[i]->setText(QStringLiteral("\u00B0C"));

        EditDelayN[i] = Make<QLineEdit>(InputDialog, Numbered("EditDelay", n),
                                        QRect(kDelayX, y, kDelayWidth, kFieldHeight));
        EditDelayN[i]->setTextMargins(kNarrowFieldMargins);
        EditDelayN[i]->setMaxLength(kDelayMaxLength);
        // Digits only: a letter typed into a delay field has no effect.
        EditDelayN[i]->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[0-9]*")), EditDelayN[i]));
        UpDownDelayN[i] = Make<UpDown>(InputDialog, Numbered("UpDownDelay", n),
                                       QRect(kUpDownX, y, kUpDownWidth, kFieldHeight));
        UpDownDelayN[i]->SetRange(0, kDelayMaximum);
        UpDownDelayN[i]->SetIncrement(kDelayIncrement);
        UpDownDelayN[i]->SetAssociate(EditDelayN[i]);
    }
}

void TTPropSheet::BuildOutputPage() {
    const auto label = [this](const char* name, int x, int y) {
        return Make<QLabel>(OutputDialog, QString::fromLatin1(name),
                            QRect(x, y, kOutputColumnWidth, 15));
    };
    LabelOutput = label("LabelOutput", kOutputLeftX, 24);
    ComboOutput =
        MakeList(OutputDialog, QStringLiteral("ComboOutput"), kOutputLeftX, 44, kOutputColumnWidth);
    LabelLogic = label("LabelLogic", kOutputRightX, 24);
    ComboLogic =
        MakeList(OutputDialog, QStringLiteral("ComboLogic"), kOutputRightX, 44, kOutputColumnWidth);
    LabelEvent = label("LabelEvent", kOutputLeftX, 98);
    ListEvent = Make<QListWidget>(OutputDialog, QStringLiteral("ListEvent"),
                                  QRect(kOutputLeftX, 115, kOutputColumnWidth, 201));
    LabelEventAss = label("LabelEventAss", kOutputRightX, 98);
    ListEventAss = Make<QListWidget>(OutputDialog, QStringLiteral("ListEventAss"),
                                     QRect(kOutputRightX, 114, kOutputColumnWidth, 201));
    ListEvent->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListEventAss->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ButtonAdd = MakeGlyphButton(OutputDialog, QStringLiteral("ButtonAdd"), QRect(167, 163, 39, 25),
                                ":/glyphs/add.png");
    ButtonSub = MakeGlyphButton(OutputDialog, QStringLiteral("ButtonSub"), QRect(167, 220, 39, 25),
                                ":/glyphs/remove.png");
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
        CentreOnScreen(*this);
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

void TTPropSheet::ShowPortPages(const SheetState& state) {
    FillList(ComboProt, {QString::fromLatin1(kNexpr), QStringLiteral("KARVO")}, state.com0Protocol);
    FillList(ComboBaud, BaudItems(kCom0BaudEntries), state.com0Baud);

    ShowLine(state.com1, kCom1BaudEntries, ComboProt1, ComboBaud1, ComboParity1, ComboStop1);

    ShowLine(state.com2, kCom2BaudEntries, ComboProt2, ComboBaud2, ComboParity2, ComboStop2);
    RememberedAddress = state.rememberedAddress;
    EditHardware->setText(QString::number(HardwareBits));
    ApplyCom2Protocol(state.com2.protocol);

    ShowLine(state.com3, kCom1BaudEntries, ComboProt3, ComboBaud3, ComboParity3, ComboStop3);
}

void TTPropSheet::ApplyCom2Protocol(int protocolEntry) {
    const bool enabled = Com2LineControlsEnabled(protocolEntry);
    for (QWidget* control :
         {static_cast<QWidget*>(LabelParity2), static_cast<QWidget*>(LabelStopBit2),
          static_cast<QWidget*>(ComboParity2), static_cast<QWidget*>(ComboStop2),
          static_cast<QWidget*>(LabelAddress), static_cast<QWidget*>(EditAddress),
          static_cast<QWidget*>(UpDownAddress)}) {
        control->setEnabled(enabled);
    }
    // While the address controls are disabled they show 0; the remembered address stays.
    UpDownAddress->SetPosition(enabled ? RememberedAddress : 0);
}

void TTPropSheet::ShowInputPage(const SheetState& state) {
    for (int n = 1; n <= kInputCount; ++n) {
        FillList(ComboInputN[n - 1], LanguageItems(52, 4), state.inputs[n - 1].type);
    }
    for (int n = 1; n <= kInputCount; ++n) {
        const int i = n - 1;
        const InputRowState& row = state.inputs[i];
        // The type's units and enabled state, with the thresholds the card holds.
        std::optional<ThresholdRowView> view = ShowThresholds(row.type, nullptr, 0);
        if (view) {
            view->lower = row.lower;
            view->upper = row.upper;
            ShowData(row.type, *view, LabelInfN[i], LabelSupN[i], EditInfN[i], EditSupN[i]);
        }
    }
    for (int n = 1; n <= kInputCount; ++n) {
        UpDownDelayN[n - 1]->SetPosition(
            static_cast<int>(LenientInteger(state.inputs[n - 1].delay)));
    }
}

void TTPropSheet::ShowData(int type, const ThresholdRowView& view, QLabel* lowerUnit,
                           QLabel* upperUnit, QLineEdit* lower, QLineEdit* upper) {
    if (type < kInputNone || type > kInputPercent) {
        return;
    }
    const QString mask = QString::fromLatin1(kThresholdMasks[type]);
    upper->setInputMask(mask);
    lower->setInputMask(mask);
    upper->setEnabled(view.enabled);
    lower->setEnabled(view.enabled);
    const QString unit = QString::fromStdString(view.unit);
    upperUnit->setText(unit);
    lowerUnit->setText(unit);
    if (type == kInputNone) {
        upper->setText(QString::fromStdString(view.upper));
        lower->setText(QString::fromStdString(view.lower));
    } else {
        lower->setText(QString::fromStdString(view.lower));
        upper->setText(QString::fromStdString(view.upper));
    }
}

void TTPropSheet::ShowOutputPage() {
    QStringList outputs;
    for (int k = 1; k <= kOutputCount; ++k) {
        outputs << QStringLiteral("Output") + QString::number(k);
    }
    FillList(ComboOutput, outputs, 0);
    FillList(ComboLogic, {QStringLiteral("Normal ON"), QStringLiteral("Normal OFF")},
             Outputs.IsNormalOff(1) ? 1 : 0);

    for (int e = 1; e <= static_cast<int>(Names.size()); ++e) {
        Names[e - 1] = LanguageBytes(59 + e);
    }
    const QSignalBlocker blocker(ListEvent);
    ListEvent->clear();
    for (int event : NamedEvents(Names)) {
        auto* item = new QListWidgetItem(DecodeLanguageBytes(Names[event - 1]), ListEvent);
        item->setData(Qt::UserRole, event);
    }
    RebuildListEventAss();
}

int TTPropSheet::ChosenOutput() const {
    return ComboOutput->currentIndex() + 1;
}

void TTPropSheet::RebuildListEventAss() {
    const QSignalBlocker blocker(ListEventAss);
    ListEventAss->clear();
    for (int event : Outputs.AssignedEvents(ChosenOutput(), Names)) {
        auto* item = new QListWidgetItem(DecodeLanguageBytes(Names[event - 1]), ListEventAss);
        item->setData(Qt::UserRole, event);
    }
    ButtonSub->setEnabled(ListEventAss->count() > 0);
}

void TTPropSheet::Com2DialogShow() {
    if (isVisible() && PageControl->currentWidget() == Com2Dialog &&
        !Com2LineControlsEnabled(ComboProt2->currentIndex()) && HardwareBits != 0) {
        ShowLanguageWarning(45, 46);
    }
}

void TTPropSheet::ComboProtChange() {
    ComboBaud->setCurrentIndex(Com0BaudPreset(ComboProt->currentIndex()));
}

void TTPropSheet::ComboProt2Change() {
    const int entry = ComboProt2->currentIndex();
    const LineEntries preset = Com2LinePreset(entry);
    ComboBaud2->setCurrentIndex(preset.baud);
    ComboParity2->setCurrentIndex(preset.parity);
    ComboStop2->setCurrentIndex(preset.stop);
    ApplyCom2Protocol(entry);
    if (!Com2LineControlsEnabled(entry) && HardwareBits != 0) {
        ShowLanguageWarning(45, 46);
    }
}

void TTPropSheet::UpDownAddressClick() {
    RememberedAddress = static_cast<int16_t>(UpDownAddress->Position());
    EditAddress->setText(QString::number(RememberedAddress));
}

void TTPropSheet::EditAddressExit() {
    ReplaceText(EditAddress, CorrectAddressText(Text(EditAddress)));
}

void TTPropSheet::ComboInputNChange(int n) {
    const int i = n - 1;
    const int type = ComboInputN[i]->currentIndex();
    if (const std::optional<ThresholdRowView> view = ShowThresholds(type, nullptr, 0)) {
        ShowData(type, *view, LabelInfN[i], LabelSupN[i], EditInfN[i], EditSupN[i]);
    }
}

void TTPropSheet::EditSupNChange(int n) {
    const int i = n - 1;
    if (n == 1) {
        EditSupN[i]->setCursorPosition(0);
        EditInfN[i]->setCursorPosition(0);
    }
    ValidateInput(ComboInputN[i]->currentIndex(), EditSupN[i], ThresholdSide::Upper, EditInfN[i]);
}

void TTPropSheet::EditInfNChange(int n) {
    const int i = n - 1;
    ValidateInput(ComboInputN[i]->currentIndex(), EditInfN[i], ThresholdSide::Lower, EditSupN[i]);
}

void TTPropSheet::EditDelayNChange(int n) {
    const int i = n - 1;
    ValidateInputEdit(EditDelayN[i]);
    // The arrows continue from the corrected value.
    UpDownDelayN[i]->SetPosition(static_cast<int>(LenientInteger(Text(EditDelayN[i]))));
}

void TTPropSheet::ValidateInput(int type, QLineEdit* field, ThresholdSide side, QLineEdit* other) {
    if (const std::optional<std::string> corrected =
            ValidateThreshold(type, Text(field), side, Text(other))) {
        ReplaceText(field, *corrected);
    }
}

void TTPropSheet::ValidateInputEdit(QLineEdit* field) {
    ReplaceText(field, ValidateDelay(Text(field)));
}

void TTPropSheet::ComboOutputChange() {
    RebuildListEventAss();
    ComboLogic->setCurrentIndex(Outputs.IsNormalOff(ChosenOutput()) ? 1 : 0);
}

namespace {

// Event numbers of the selected items, in list order.
std::vector<int> SelectedEvents(const QListWidget* list) {
    std::vector<int> events;
    for (int row = 0; row < list->count(); ++row) {
        const QListWidgetItem* item = list->item(row);
        if (item->isSelected()) {
            events.push_back(item->data(Qt::UserRole).toInt());
        }
    }
    return events;
}

void Unselect(QListWidget* list) {
    const QSignalBlocker blocker(list);
    list->clearSelection();
}

}  // namespace

void TTPropSheet::ButtonAddClick() {
    ChangeAssignment(ListEvent, &OutputEvents::Assign);
}

void TTPropSheet::ButtonSubClick() {
    ChangeAssignment(ListEventAss, &OutputEvents::Remove);
}

void TTPropSheet::ChangeAssignment(QListWidget* list, AssignmentChange change) {
    const std::vector<int> selected = SelectedEvents(list);
    if (selected.empty()) {
        ShowLanguageWarning(15, 46);
        return;
    }
    for (int event : selected) {
        (Outputs.*change)(ChosenOutput(), Names[event - 1], Names);
    }
    RebuildListEventAss();
    Unselect(list);
}

void TTPropSheet::ListEventClick() {
    Unselect(ListEventAss);
}

void TTPropSheet::ListEventAssClick() {
    Unselect(ListEvent);
}

void TTPropSheet::ComboLogicChange() {
    Outputs.SetNormalOff(ChosenOutput(), ComboLogic->currentIndex() != 0);
}

InputRowState TTPropSheet::TransferDataToMemory(int n) const {
    const int i = n - 1;
    return {ComboInputN[i]->currentIndex(), Text(EditInfN[i]), Text(EditSupN[i]),
            Text(EditDelayN[i])};
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
