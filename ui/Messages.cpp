#include "ui/Messages.h"

#include <QMessageBox>

#include "app/NoAnswerTexts.h"
#include "app/OpenFailureTexts.h"
#include "link/SerialPortParameter.h"
#include "ui/Texts.h"

namespace {

constexpr int kTextCannotOpen = 36;
constexpr int kTextNoAnswer = 37;

void ShowMessage(QMessageBox::Icon icon, const QString& caption, const QString& text) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, nullptr);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.exec();
}

}  // namespace

void ShowErrorMessage(const QString& caption, const QString& text) {
    ShowMessage(QMessageBox::Critical, caption, text);
}

void ShowWarningMessage(const QString& caption, const QString& text) {
    ShowMessage(QMessageBox::Warning, caption, text);
}

void ShowLanguageError(int textNumber, int captionNumber) {
    ShowErrorMessage(LanguageText(captionNumber), LanguageText(textNumber));
}

void ShowLanguageError(int textNumber, int captionNumber, const QString& detail) {
    ShowErrorMessage(LanguageText(captionNumber), LanguageText(textNumber) + '\n' + detail);
}

void ShowLanguageWarning(int textNumber, int captionNumber) {
    ShowWarningMessage(LanguageText(captionNumber), LanguageText(textNumber));
}

void ShowBatchFailure(const BatchResult& result, const SerialPortParameter& port, int captionNumber,
                      const std::vector<int>& programmed) {
    if (result.failure == BatchFailure::CannotOpen) {
        ShowLanguageError(kTextCannotOpen, captionNumber,
                          QString::fromStdString(OpenFailureDetail(
                              port.PortName, port.OpenedDevice(), port.LastOpenFailure())));
        return;
    }
    QString detail = QString::fromStdString(NoAnswerLine(result));
    if (const std::string partWay = programmed.empty()
                                        ? std::string()
                                        : PartWayLine(programmed, result, FinishBy::ProgramButton);
        !partWay.empty()) {
        detail += '\n' + QString::fromStdString(partWay);
    }
    ShowLanguageError(kTextNoAnswer, captionNumber, detail);
}
