#include "ui/PropSheet.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <vector>

#include "app/AppState.h"
#include "link/SerialPortParameter.h"
#include "model/Fields.h"
#include "model/RegisterImage.h"
#include "ui/Appearance.h"
#include "ui/Messages.h"
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
    SetKeyboardOrder();
    SetPageKeys();
}

void TTPropSheet::BuildPanels() {
    Tabbed = Make<QWidget>(this, QStringLiteral("Tabbed"),
                           QRect(0, 0, kClientWidth, kClientHeight - kControlHeight));
    PageControl =
        Make<QTabWidget>(Tabbed, QStringLiteral("PageControl"),
                         QRect(kTabbedBorder, kTabbedBorder, kClientWidth - 2 * kTabbedBorder,
                               kClientHeight - kControlHeight - 2 * kTabbedBorder));
    PageControl->setUsesScrollButtons(true);
    // The arrows that scroll the tabs are for the mouse: the keyboard moves between the tabs with
    // the arrow keys, and Tab goes from the tabs straight to the page's fields.
    for (QToolButton* arrow : PageControl->tabBar()->findChildren<QToolButton*>()) {
        arrow->setFocusPolicy(Qt::NoFocus);
    }
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
    OKBtn = MakeGlyphButton(Control, QStringLiteral("OKBtn"), QRect(218, 2, 81, 25), "ok");
    CancelBtn =
        MakeGlyphButton(Control, QStringLiteral("CancelBtn"), QRect(306, 2, 81, 25), "cancel");
}

void TTPropSheet::SetKeyboardOrder() {
    // The page control first, then the fields of the pages in their design order, then OK and
    // Cancel. Tab passes over the fields of hidden pages and disabled fields.
    std::vector<QWidget*> order = {PageControl, ComboProt, ComboBaud};
    const auto line = [&order](QComboBox* protocol, QComboBox* baud, QComboBox* parity,
                               QComboBox* stop) {
        order.insert(order.end(), {protocol, baud, parity, stop});
    };
    line(ComboProt1, ComboBaud1, ComboParity1, ComboStop1);
    line(ComboProt2, ComboBaud2, ComboParity2, ComboStop2);
    order.insert(order.end(), {EditAddress, EditHardware});
    line(ComboProt3, ComboBaud3, ComboParity3, ComboStop3);
    for (int i = 0; i < kInputCount; ++i) {
        order.insert(order.end(), {ComboInputN[i], EditSupN[i], EditInfN[i], EditDelayN[i]});
    }
    order.insert(order.end(),
                 {ComboOutput, ComboLogic, ListEvent, ListEventAss, ButtonAdd, ButtonSub});
    order.insert(order.end(), {OKBtn, CancelBtn});
    for (size_t k = 1; k < order.size(); ++k) {
        setTabOrder(order[k - 1], order[k]);
    }
}

void TTPropSheet::SetPageKeys() {
    // Shortcuts of the window come before the control with the focus, so a drop-down list never
    // takes Ctrl+PageDown as "last entry".
    const auto pageKey = [this](QKeyCombination keys, int direction) {
        auto* shortcut = new QShortcut(QKeySequence(keys), this);
        connect(shortcut, &QShortcut::activated, this, [this, direction] { TurnPage(direction); });
    };
    pageKey(Qt::CTRL | Qt::Key_Tab, 1);
    pageKey(Qt::CTRL | Qt::Key_PageDown, 1);
    pageKey(Qt::CTRL | Qt::Key_PageUp, -1);
    // Shift+Tab arrives as Backtab from the window system, as Tab with Shift from elsewhere.
    pageKey(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, -1);
    pageKey(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab, -1);
}

void TTPropSheet::TurnPage(int direction) {
    const int count = PageControl->count();
    int index = PageControl->currentIndex();
    for (int step = 0; step < count; ++step) {
        index = (index + direction + count) % count;
        if (PageControl->isTabVisible(index) && PageControl->isTabEnabled(index)) {
            break;
        }
    }
    // The focus waits on the tabs, where no key changes a value of the new page.
    QWidget* const focused = QApplication::focusWidget();
    const bool onPages = focused != nullptr && PageControl->isAncestorOf(focused);
    PageControl->setCurrentIndex(index);
    if (onPages) {
        PageControl->tabBar()->setFocus(Qt::TabFocusReason);
    }
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
        ShowKeyboardFocus(*this);
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
        label->setText(LabelCaption(10));
    }
    for (QLabel* label : {LabelBaud, LabelBaud1, LabelBaud2, LabelBaud3}) {
        label->setText(LabelCaption(9));
    }
    for (QLabel* label : {LabelParity1, LabelParity2, LabelParity3}) {
        label->setText(LabelCaption(17));
    }
    for (QLabel* label : {LabelStopBit1, LabelStopBit2, LabelStopBit3}) {
        label->setText(LabelCaption(18));
    }
    LabelAddress->setText(LabelCaption(32));
    LabelHardware->setText(LabelCaption(13));

    LabelType->setText(LabelCaption(48));
    LabelSup->setText(LabelCaption(49));
    LabelInf->setText(LabelCaption(50));
    LabelDelay->setText(LabelCaption(51));
    // The headings are drawn from their top line down, as tall as their text wraps.
    for (QLabel* heading : {LabelType, LabelSup, LabelInf, LabelDelay}) {
        FitHeightToText(heading);
    }

    LabelOutput->setText(LabelCaption(57));
    LabelEvent->setText(LabelCaption(58));
    LabelEventAss->setText(LabelCaption(59));
    LabelLogic->setText(LabelCaption(95));
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
