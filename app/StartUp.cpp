#include "app/StartUp.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>

#include "app/AppState.h"
#include "link/LineTrace.h"
#include "link/SerialPlatform.h"
#include "link/SerialPortParameter.h"
#include "model/RegisterImage.h"
#include "ui/Accessibility.h"
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
    std::unique_ptr<TTSetPortParam> setPort;
    std::unique_ptr<TTPropSheet> propSheet = std::make_unique<TTPropSheet>();
    std::unique_ptr<TTProgressDialog> progress = std::make_unique<TTProgressDialog>();
    std::unique_ptr<TTProgramDialog> program = std::make_unique<TTProgramDialog>();

    Dialogs(std::shared_ptr<TraceSink> trace, PortOverrides overrides)
        : setPort(
              std::make_unique<TTSetPortParam>(nullptr, std::move(trace), std::move(overrides))) {
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

// The toolkit's standard exception box: the message under the application's title. Before the
// application object exists nothing can be shown; the message goes to the error output then.
void ShowException(const QString& message) {
    if (QApplication::instance() == nullptr) {
        std::fprintf(stderr, "Brovane: %s\n", message.toLocal8Bit().constData());
        return;
    }
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), message,
                    QMessageBox::Ok, nullptr);
    box.setObjectName(QStringLiteral("ExceptionBox"));
    box.exec();
}

// Shows the exception being handled: its message, or an empty one for an exception that is no
// std::exception.
void ShowCurrentException() {
    try {
        throw;
    } catch (const std::exception& error) {
        ShowException(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ShowException(QString());
    }
}

// An exception that escapes an event handler is shown and the event loop goes on.
class BrovaneApplication : public QApplication {
  public:
    BrovaneApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            ShowCurrentException();
        }
        return false;
    }
};

// From the application object to the end of the event loop, inside one exception guard: what
// escapes is shown and the program goes on with its shutdown (code 0).
int RunGuarded(int& argc, char** argv) {
    std::optional<BrovaneApplication> application;
    try {
        // The application object comes first here: without it no message box can be shown.
        application.emplace(argc, argv);
        if (const int code = CreateLanguageTableOrReport(); code != 0) {
            return code;
        }
        // The name the system shows for the program; captions stay exactly the dialogs' own.
        QApplication::setApplicationName(QStringLiteral("Brovane"));
        // The dialogs end the program themselves (closing a dialog that stands for the program).
        QApplication::setQuitOnLastWindowClosed(false);
        ApplyApplicationAppearance(*application);
        InstallAccessibleNames();
        // What the environment sets, read once: the trace and the devices set by hand.
        Dialogs dialogs(TraceAskedFor(TraceFileOfEnvironment()), ReadPortOverrides());
        dialogs.language->show();
        return application->exec();
    } catch (...) {
        ShowCurrentException();
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
    IgnoreBrokenPipes();
    ProgramDirectory = ExecutableDirectory();
    const int code = RunGuarded(argc, argv);
    ShutDown();
    return code;
}
