#include "app/StartUp.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>
#include <memory>

#include "app/AppState.h"
#include "link/SerialPortParameter.h"
#include "model/RegisterImage.h"
#include "ui/Appearance.h"
#include "ui/LanguageDialog.h"
#include "ui/Messages.h"
#include "ui/ProgramDialog.h"
#include "ui/ProgressDialog.h"
#include "ui/PropSheet.h"
#include "ui/SetPort.h"

namespace {

constexpr int kExitNoMemoryForStrings = 4;

// The five dialogs, made once in this order; the language dialog, made first, is the main form.
struct Dialogs {
    std::unique_ptr<TTLanguageDialog> language = std::make_unique<TTLanguageDialog>();
    std::unique_ptr<TTSetPortParam> setPort = std::make_unique<TTSetPortParam>();
    std::unique_ptr<TTPropSheet> propSheet = std::make_unique<TTPropSheet>();
    std::unique_ptr<TTProgressDialog> progress = std::make_unique<TTProgressDialog>();
    std::unique_ptr<TTProgramDialog> program = std::make_unique<TTProgramDialog>();

    Dialogs() {
        TLanguageDialog = language.get();
        TSetPortParam = setPort.get();
        TPropSheet = propSheet.get();
        TProgressDialog = progress.get();
        TProgramDialog = program.get();
    }
    ~Dialogs() {
        TLanguageDialog = nullptr;
        TSetPortParam = nullptr;
        TPropSheet = nullptr;
        TProgressDialog = nullptr;
        TProgramDialog = nullptr;
    }
    Dialogs(const Dialogs&) = delete;
    Dialogs& operator=(const Dialogs&) = delete;
};

void ShowException(const QString& message) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), message,
                    QMessageBox::Ok, nullptr);
    box.exec();
}

// Runs the dialogs until the event loop ends; an exception that escapes is shown and the
// program goes on with its shutdown.
int RunDialogs(QApplication& application) {
    try {
        Dialogs dialogs;
        dialogs.language->show();
        return application.exec();
    } catch (const std::exception& error) {
        ShowException(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ShowException(QString());
    }
    return 0;
}

void ShutDown() {
    RegisterImageStorage.reset();
    SerialPort.reset();
    FreeLanguageTable();
}

}  // namespace

int CreateLanguageTableOrReport(LanguageEntryAllocator allocate) {
    if (CreateLanguageTable(allocate) != 0) {
        ShowErrorMessage(QStringLiteral("Error"), QStringLiteral("Low memory for strings !"));
        FreeLanguageTable();
        return kExitNoMemoryForStrings;
    }
    return 0;
}

int RunBrovane(int argc, char** argv) {
    ProgramDirectory = ExecutableDirectory();
    // The application object comes first here: without it no message box can be shown.
    QApplication application(argc, argv);
    if (const int code = CreateLanguageTableOrReport(); code != 0) {
        return code;
    }
    QApplication::setApplicationName(QStringLiteral("Brovane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Brovane"));
    // The dialogs end the program themselves (closing a dialog that stands for the program).
    QApplication::setQuitOnLastWindowClosed(false);
    ApplyApplicationAppearance(application);
    const int code = RunDialogs(application);
    ShutDown();
    return code;
}
