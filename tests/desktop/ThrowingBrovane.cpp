// The program itself with two handlers that throw, for the desktop start-up test: a timer throws
// a std::exception once the event loop runs, and pressing F12 in any window throws an exception
// of another kind. Both must be shown in the standard exception box while the program goes on.
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QTimer>
#include <stdexcept>

#include "app/StartUp.h"

namespace {

class ThrowOnF12 : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_F12) {
            throw 12;
        }
        return false;
    }
};

void ArmThrowingHandlers() {
    QCoreApplication* application = QCoreApplication::instance();
    application->installEventFilter(new ThrowOnF12(application));
    QTimer::singleShot(0, application, [] { throw std::runtime_error("Thrown by a handler"); });
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(ArmThrowingHandlers)

int main(int argc, char** argv) {
    return RunBrovane(argc, argv);
}
