#include "dialog_helpers.h"
#include <QIcon>
#include <QImage>
#include <cstdlib>

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

bool ShowsGlyph(const QPushButton& button, const char* glyph) {
    const QImage expected = QImage(QStringLiteral(":/glyphs/%1.png").arg(QLatin1String(glyph)))
                                .convertToFormat(QImage::Format_ARGB32);
    const QImage shown =
        button.icon().pixmap(QSize(16, 16), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    if (expected.isNull() || shown.size() != expected.size() ||
        button.iconSize() != QSize(16, 16)) {
        return false;
    }
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb want = expected.pixel(x, y);
            const QRgb got = shown.pixel(x, y);
            // The icon keeps its pixels premultiplied: colours of see-through pixels come back
            // rounded, and those of invisible ones not at all.
            const int tolerance = qAlpha(want) == 0 ? 255 : 2 + 255 / qAlpha(want);
            if (std::abs(qAlpha(want) - qAlpha(got)) > 1 ||
                std::abs(qRed(want) - qRed(got)) > tolerance ||
                std::abs(qGreen(want) - qGreen(got)) > tolerance ||
                std::abs(qBlue(want) - qBlue(got)) > tolerance) {
                return false;
            }
        }
    }
    return true;
}
