#include "ui/LanguageDialog.h"

#include <QAbstractItemView>

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QShowEvent>
#include <new>

#include "app/AppState.h"
#include "app/LanguageTable.h"
#include "model/RegisterImage.h"
#include "ui/Appearance.h"
#include "ui/Glyphs.h"
#include "ui/Messages.h"
#include "ui/SetPort.h"
#include "ui/Texts.h"

namespace {

constexpr int kExitLanguageNotLoaded = 5;
constexpr int kExitNoMemory = 6;
constexpr int kLanguageFileCount = 3;
constexpr int kNameReadLimit = 31;

std::unique_ptr<RegisterImage> AllocateRegisterImage() {
    return std::unique_ptr<RegisterImage>(new (std::nothrow) RegisterImage);
}

}  // namespace

TTLanguageDialog::TTLanguageDialog(QWidget* parent)
    : QDialog(parent),
      GroupBox1(new QGroupBox(this)),
      ComboLanguage(new QComboBox(this)),
      ButtonOk(new QPushButton(GlyphIcon("ok"), QStringLiteral("Ok"), this)),
      allocate_(AllocateRegisterImage) {
    setObjectName(QStringLiteral("TLanguageDialog"));
    setWindowTitle(QStringLiteral("Set Language"));
    SetDialogBorder(*this);
    setFixedSize(232, 114);

    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 8, 216, 65);

    // The list lies on the form over the group's frame.
    ComboLanguage->setObjectName(QStringLiteral("ComboLanguage"));
    ComboLanguage->setGeometry(21, 32, 193, 21);
    ComboLanguage->raise();
    // No label stands beside the list: the window's caption names it for screen readers.
    ComboLanguage->setAccessibleName(windowTitle());
    ComboLanguage->view()->setAccessibleName(windowTitle());

    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonOk->setIconSize(QSize(16, 16));
    ButtonOk->setGeometry(143, 80, 81, 25);
    ButtonOk->setDefault(true);

    setTabOrder(ComboLanguage, ButtonOk);
    connect(ButtonOk, &QPushButton::clicked, this, &TTLanguageDialog::ButtonOkClick);

    FillLanguageList();
}

void TTLanguageDialog::FillLanguageList() {
    ComboLanguage->clear();
    languageFiles_.clear();
    for (int number = 0; number < kLanguageFileCount; ++number) {
        std::optional<std::string> line = ReadLanguageFileFirstLine(number, kNameReadLimit);
        if (!line) {
            continue;
        }
        // The last character read is taken for the line feed; a line that reads as empty (it
        // starts with a zero byte) has none to lose.
        if (!line->empty()) {
            line->pop_back();
        }
        ComboLanguage->addItem(DecodeLanguageBytes(*line));
        languageFiles_.push_back(number);
    }
    ComboLanguage->setCurrentIndex(ComboLanguage->count() > 0 ? 0 : -1);
}

void TTLanguageDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        CentreOnScreen(*this);
        ShowKeyboardFocus(*this);
        ComboLanguage->setFocus();
    }
    QDialog::showEvent(event);
}

void TTLanguageDialog::reject() {
    QDialog::reject();
    FormClose();
}

void TTLanguageDialog::FormClose() {
    QCoreApplication::quit();
}

void TTLanguageDialog::ButtonOkClick() {
    const int entry = ComboLanguage->currentIndex();
    // Each entry loads the file it was read from, also when a file before it is missing.
    LanguageNumber = entry >= 0 ? languageFiles_[static_cast<std::size_t>(entry)] : -1;
    if (LoadLanguageTable(static_cast<int8_t>(LanguageNumber)) != 0) {
        EndWithError("Cannot load language strings file !", kExitLanguageNotLoaded);
        return;
    }
    RegisterImageStorage = allocate_();
    if (!RegisterImageStorage) {
        EndWithError("Low memory !", kExitNoMemory);
        return;
    }
    hide();
    TSetPortParam->exec();
}

void TTLanguageDialog::EndWithError(const char* text, int code) {
    ShowErrorMessage(QStringLiteral("Error"), QString::fromLatin1(text));
    FreeLanguageTable();
    QCoreApplication::exit(code);
}
