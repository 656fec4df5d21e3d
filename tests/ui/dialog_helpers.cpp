#include "dialog_helpers.h"

#include <gtest/gtest.h>

#include <QtTest/qtestspontaneevent.h>
#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>
#include <QWindow>

namespace {

constexpr int kPollMs = 5;
constexpr int kTimedOut = -99;

}  // namespace

void PrintTo(const ShownMessage& message, std::ostream* out) {
    *out << "{caption ";
    PrintTo(message.caption, out);
    *out << ", text ";
    PrintTo(message.text, out);
    *out << ", icon " << message.icon << "}";
}

MessageBoxAnswerer::MessageBoxAnswerer() {
    timer_.setInterval(kPollMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    timer_.stop();
}

void MessageBoxAnswerer::Poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) {
        return;
    }
    shown_.push_back({box->windowTitle(), box->text(), box->icon()});
    QAbstractButton* answer = box->defaultButton();
    if (answer == nullptr) {
        answer = box->escapeButton();
    }
    if (answer != nullptr) {
        answer->click();
    } else {
        box->done(0);
    }
}

void RunWhen(QObject& context, std::function<bool()> condition, std::function<void()> action,
             int timeoutMs) {
    auto* timer = new QTimer(&context);
    timer->setInterval(kPollMs);
    QElapsedTimer clock;
    clock.start();
    QObject::connect(
        timer, &QTimer::timeout, timer,
        [timer, clock, timeoutMs, condition = std::move(condition), action = std::move(action)] {
            if (condition()) {
                timer->stop();
                timer->deleteLater();
                action();
            } else if (clock.hasExpired(timeoutMs)) {
                timer->stop();
                timer->deleteLater();
                ADD_FAILURE() << "the awaited state did not come within " << timeoutMs << " ms";
            }
        });
    timer->start();
}

void RunWhen(std::function<bool()> condition, std::function<void()> action, int timeoutMs) {
    RunWhen(*QCoreApplication::instance(), std::move(condition), std::move(action), timeoutMs);
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, kPollMs);
    }
    return true;
}

int RunEventLoop(int timeoutMs) {
    bool timedOut = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&timedOut] {
        timedOut = true;
        QCoreApplication::exit(kTimedOut);
    });
    watchdog.start(timeoutMs);
    const int code = QApplication::exec();
    EXPECT_FALSE(timedOut) << "the event loop did not end within " << timeoutMs << " ms";
    return code;
}

void PressCloseBox(QWidget& window) {
    QWindow* handle = window.windowHandle();
    ASSERT_NE(handle, nullptr) << "the window has not been shown";
    // The window system's request reaches the widget's window as a spontaneous close event;
    // QWindow::close() would count as a close by the program.
    QCloseEvent event;
    QSpontaneKeyEvent::setSpontaneous(&event);
    QCoreApplication::instance()->notify(handle, &event);
}
