#include "ui/ProgressDialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QShowEvent>
#include <QWindow>
#include <algorithm>
#include <limits>

#include "app/AppState.h"
#include "model/FirmwareVariant.h"
#include "ui/Appearance.h"
#include "ui/LanguageDialog.h"
#include "ui/Texts.h"

TTProgressDialog::TTProgressDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      LabelProg(new QLabel(QStringLiteral("Wait"), this)),
      ProgressBar(new QProgressBar(this)) {
    setObjectName(QStringLiteral("TProgressDialog"));
    setWindowTitle(QStringLiteral("Progress"));
    setFixedSize(322, 63);
    setModal(false);

    LabelProg->setObjectName(QStringLiteral("LabelProg"));
    LabelProg->setAutoFillBackground(true);
    LabelProg->move(16, 7);
    LabelProg->adjustSize();

    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setGeometry(16, 26, 289, 25);
    ProgressBar->setRange(0, 100);
    ProgressBar->setTextVisible(false);
    LabelProg->setBuddy(ProgressBar);
    SetPosition(0);
}

void TTProgressDialog::ShowFor(QWidget& owner) {
    // Both native windows must exist for the window manager to learn the relation.
    owner.window()->winId();
    winId();
    windowHandle()->setTransientParent(owner.window()->windowHandle());
    show();
}

void TTProgressDialog::StepProgress(int setStep, uint32_t variant) {
    QCoreApplication::processEvents();
    SetPosition(position_ + step_);
    if (setStep != 0 && variant <= static_cast<uint32_t>(std::numeric_limits<int>::max())) {
        if (const auto step = ProgressStepOfVariant(static_cast<int>(variant))) {
            step_ = *step;
        }
    }
    repaint();
}

void TTProgressDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        if (TLanguageDialog != nullptr) {
            CentreOnWindow(*this, *TLanguageDialog);
        } else {
            CentreOnScreen(*this);
        }
        FormShow();
    }
    QDialog::showEvent(event);
}

void TTProgressDialog::closeEvent(QCloseEvent* event) {
    // Only the transfer closes the window, never the user through the window system.
    if (event->spontaneous()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TTProgressDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // The window asks for no minimise button, but a window manager may offer minimising anyway
    // (openbox does for every dialog with a title), and minimising this window hides the dialog
    // that runs the transfer with it, since that is the window it belongs to: both come back at
    // once.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
    }
}

void TTProgressDialog::FormShow() {
    SetPosition(0);
    LabelProg->setText(LanguageText(40));
    LabelProg->adjustSize();
}

void TTProgressDialog::FormClose() {
    step_ = kDesignStep;
    SetPosition(0);
}

void TTProgressDialog::SetPosition(int position) {
    position_ = position;
    ProgressBar->setValue(std::clamp(position, ProgressBar->minimum(), ProgressBar->maximum()));
}
