#include "ui/SetPort.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <algorithm>
#include <functional>
#include <iterator>
#include <optional>
#include <string>

#include "app/AppState.h"
#include "link/CardBatch.h"
#include "link/LineTrace.h"
#include "link/QtSerialLine.h"
#include "link/SerialPortParameter.h"
#include "link/SystemDevices.h"
#include "model/FirmwareVariant.h"
#include "model/RegisterImage.h"
#include "ui/Appearance.h"
#include "ui/Glyphs.h"
#include "ui/LinkTexts.h"
#include "ui/Messages.h"
#include "ui/ProgramDialog.h"
#include "ui/ProgressDialog.h"
#include "ui/PropSheet.h"
#include "ui/Texts.h"

namespace {

constexpr int kTextTitle = 0;
constexpr int kTextOk = 1;
constexpr int kTextCancel = 2;
constexpr int kTextGroupPort = 3;
constexpr int kTextNoPortChosen = 15;
constexpr int kTextCaption = 16;
constexpr int kTextReading = 38;
constexpr int kTextNotConfirmed = 21;
constexpr int kTextWarningCaption = 46;
constexpr int kPortCount = kPortChoiceCount;
constexpr int kResultConfirmed = 1;

QPushButton* MakeGlyphButton(const char* glyph, const QRect& geometry, QWidget* parent) {
    auto* button = new QPushButton(GlyphIcon(glyph), QString(), parent);
    button->setIconSize(QSize(16, 16));
    button->setGeometry(geometry);
    return button;
}

// Paints the drop-down's entries with what each name opens. The entries' own texts stay the
// port names, so that the field shows and keeps the four-character name.
class PortEntryDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void SetEntryTexts(QStringList texts) { texts_ = std::move(texts); }
    const QStringList& EntryTexts() const { return texts_; }

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.row() < texts_.size()) {
            option->text = texts_.at(index.row());
        }
    }

  private:
    QStringList texts_;
};

// Alt with a letter is meant for a button of the dialog, never as text: without it the field
// would take Alt+O as an "o" in place of the port name. Ctrl+Alt stays: it is AltGr on Windows.
class AltKeysAreNoText final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const auto modifiers = key->modifiers();
            // Keys without text (Alt+Down opens the list) keep their work.
            if (modifiers.testFlag(Qt::AltModifier) && !modifiers.testFlag(Qt::ControlModifier) &&
                !key->text().isEmpty() && key->text().front().isPrint()) {
                event->ignore();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// Asks what the ports lead to every time the list opens: an adapter plugged in after
// start-up appears then.
class PortComboBox final : public QComboBox {
  public:
    PortComboBox(std::function<void()> beforePopup, QWidget* parent)
        : QComboBox(parent), beforePopup_(std::move(beforePopup)) {}

    void showPopup() override {
        beforePopup_();
        QComboBox::showPopup();
    }

  private:
    std::function<void()> beforePopup_;
};

}  // namespace

TTSetPortParam::TTSetPortParam(QWidget* parent, std::shared_ptr<TraceSink> trace,
                               PortOverrides overrides)
    : QDialog(parent),
      GroupPort(new QGroupBox(this)),
      ComboPort(new PortComboBox([this] { RefreshPortEntries(); }, GroupPort)),
      ButtonOk(MakeGlyphButton("ok", QRect(10, 79, 81, 25), this)),
      ButtonCancel(MakeGlyphButton("cancel", QRect(97, 79, 81, 25), this)) {
    setObjectName(QStringLiteral("TSetPortParam"));
    SetDialogBorder(*this);
    setFixedSize(186, 113);

    GroupPort->setObjectName(QStringLiteral("GroupPort"));
    GroupPort->setGeometry(8, 8, 169, 65);

    ComboPort->setObjectName(QStringLiteral("ComboPort"));
    ComboPort->setEditable(true);
    ComboPort->setInsertPolicy(QComboBox::NoInsert);
    // The field holds exactly what the user typed: no completion from the list.
    ComboPort->setCompleter(nullptr);
    // The list hands its keys to its field directly, past the field's filters.
    auto* altKeys = new AltKeysAreNoText(ComboPort);
    ComboPort->installEventFilter(altKeys);
    ComboPort->lineEdit()->installEventFilter(altKeys);
    ComboPort->setGeometry(17, 27, 138, 21);
    portEntries_ = new PortEntryDelegate(ComboPort);
    ComboPort->setItemDelegate(portEntries_);

    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonOk->setDefault(true);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));

    setTabOrder(ComboPort, ButtonOk);
    setTabOrder(ButtonOk, ButtonCancel);

    connect(ComboPort, &QComboBox::editTextChanged, this, &TTSetPortParam::ComboPortChange);
    connect(ButtonOk, &QPushButton::clicked, this, &TTSetPortParam::ButtonOkClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &TTSetPortParam::ButtonCancelClick);

    trace_ = std::move(trace);
    SerialPort = std::make_unique<SerialPortParameter>(
        TraceLineInto(MakeSystemSerialLine(LinePlatform::Responsive()), trace_));
    UsePortOverrides(std::move(overrides));
}

void TTSetPortParam::UsePortOverrides(PortOverrides overrides) {
    overrides_ = std::move(overrides);
    SerialPort->UsePortOverrides(overrides_);
}

QStringList TTSetPortParam::PortEntryTexts() const {
    return static_cast<const PortEntryDelegate*>(portEntries_)->EntryTexts();
}

void TTSetPortParam::RefreshPortEntries() {
    QStringList texts;
    for (const PortChoice& choice : ListPortChoices(overrides_)) {
        texts << PortEntryText(choice);
    }
    static_cast<PortEntryDelegate*>(portEntries_)->SetEntryTexts(texts);
    {
        // A screen reader hears each entry as it is painted, with its device. The list's own
        // update would put the entry's name back into the field over what the user typed.
        const QSignalBlocker blocker(ComboPort->model());
        for (int row = 0; row < std::min<int>(texts.size(), ComboPort->count()); ++row) {
            ComboPort->setItemData(row, texts.at(row), Qt::AccessibleTextRole);
        }
    }
    // The entries are wider than the field; the list opens as wide as they need.
    QAbstractItemView* view = ComboPort->view();
    view->setMinimumWidth(view->sizeHintForColumn(0) + 2 * view->frameWidth());
    view->viewport()->update();
}

int TTSetPortParam::SelectedPortIndex() const {
    return ComboPort->findText(ComboPort->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void TTSetPortParam::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormShow();
        CentreOnScreen(*this);
        ShowKeyboardFocus(*this);
        ComboPort->setFocus();
    }
    QDialog::showEvent(event);
}

void TTSetPortParam::closeEvent(QCloseEvent* event) {
    if (reading_) {
        event->ignore();
        return;
    }
    // Hides through reject(), which ends the program.
    QDialog::closeEvent(event);
}

void TTSetPortParam::reject() {
    if (reading_) {
        return;
    }
    QDialog::reject();
    FormClose();
}

void TTSetPortParam::FormShow() {
    setWindowTitle(
        QStringLiteral("%1 - %2").arg(LanguageText(kTextTitle), QStringLiteral("Version 1.4")));
    GroupPort->setTitle(LanguageText(kTextGroupPort));
    // The group's caption names the port field, its text field and its open list for screen
    // readers.
    ComboPort->setAccessibleName(GroupPort->title());
    ComboPort->lineEdit()->setAccessibleName(GroupPort->title());
    ComboPort->view()->setAccessibleName(GroupPort->title());
    ButtonOk->setText(LanguageText(kTextOk));
    ButtonCancel->setText(LanguageText(kTextCancel));

    {
        // Filling the list is no change by the user.
        const QSignalBlocker blocker(ComboPort);
        ComboPort->clear();
        for (int port = 1; port <= kPortCount; ++port) {
            ComboPort->addItem(QStringLiteral("COM%1").arg(port));
        }
        ComboPort->setCurrentIndex(0);
    }
    RefreshPortEntries();
    ComboPortChange(ComboPort->currentText());
}

void TTSetPortParam::FormClose() {
    QCoreApplication::quit();
}

void TTSetPortParam::ComboPortChange(const QString& text) {
    const QByteArray name = text.left(sizeof SerialPort->PortName - 1).toLatin1();
    std::fill(std::begin(SerialPort->PortName), std::end(SerialPort->PortName), '\0');
    std::copy(name.begin(), name.end(), SerialPort->PortName);
}

void TTSetPortParam::ButtonOkClick() {
    if (SelectedPortIndex() < 0) {
        ShowLanguageWarning(kTextNoPortChosen, kTextCaption);
        return;
    }
    WarnOfTrace();
    QWidget* const focused = focusWidget();
    reading_ = true;
    SetControlsEnabled(false);
    const bool read = ReadCard();
    SetControlsEnabled(true);
    reading_ = false;
    if (read) {
        RunConfigurationLoop();
    }
    WarnOfTrace();
    // Disabling took the focus away; the user goes on where he was.
    if (focused != nullptr) {
        focused->setFocus();
    }
}

void TTSetPortParam::WarnOfTrace() {
    if (const std::optional<std::string> failure = trace_ ? trace_->TakeFailure() : std::nullopt) {
        QString text = QString::fromStdString(*failure);
        text[0] = text[0].toUpper();
        ShowWarningMessage(QStringLiteral("Brovane"), text + QLatin1Char('.'));
    }
}

void TTSetPortParam::ButtonCancelClick() {
    close();
}

bool TTSetPortParam::ReadCard() {
    SerialPortParameter& port = *SerialPort;
    TTProgressDialog& progress = *TProgressDialog;
    progress.ShowFor(*this);
    progress.setWindowTitle(LanguageText(kTextReading));

    const BatchResult result =
        ReadCardRegisters(port, *RegisterImageStorage, [&](BatchStage stage) {
            if (stage == BatchStage::HardwareRead) {
                HardwareBits = port.HardwareBits;
                progress.StepProgress(1, static_cast<uint32_t>(port.FirmwareVariant));
            } else {
                progress.StepProgress(0, 0);
            }
        });
    if (!result.Ok()) {
        TProgressDialog->close();
        ShowBatchFailure(result, port, kTextCaption);
        return false;
    }
    progress.close();
    return true;
}

void TTSetPortParam::SetControlsEnabled(bool enabled) {
    ButtonOk->setEnabled(enabled);
    ButtonCancel->setEnabled(enabled);
    ComboPort->setEnabled(enabled);
}

void TTSetPortParam::RunConfigurationLoop() {
    // Once per card read, so that a card of another family changes the pages offered.
    if (const std::optional<bool> pages = HasInputOutputPages(SerialPort->FirmwareVariant)) {
        TPropSheet->SetInputOutputPagesVisible(*pages);
    }
    bool finished = false;
    while (!finished) {
        if (TPropSheet->exec() != kResultConfirmed) {
            ShowLanguageWarning(kTextNotConfirmed, kTextWarningCaption);
            finished = true;
        } else if (TProgramDialog->exec() == kResultConfirmed) {
            finished = true;
        }
        // A programming dialog left unconfirmed shows the sheet again, with what its
        // confirmation wrote into the register image.
    }
}
