// Helpers of the widget tests for modal message boxes and waiting with bounds.
#pragma once

class QPushButton;

#include <QMessageBox>
#include <QString>
#include <QTimer>
#include <functional>
#include <ostream>
#include <vector>

// Test failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// What a message box showed.
struct ShownMessage {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;

    bool operator==(const ShownMessage&) const = default;
};
void PrintTo(const ShownMessage& message, std::ostream* out);

// While it lives, answers every modal message box that comes up (also inside nested event
// loops) with its default button, or its escape button when it has no default, and records
// what each one showed. Arm it before the action that shows the boxes.
class MessageBoxAnswerer {
  public:
    MessageBoxAnswerer();
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    const std::vector<ShownMessage>& Shown() const { return shown_; }
    int Count() const { return static_cast<int>(shown_.size()); }

  private:
    void Poll();

    QTimer timer_;
    std::vector<ShownMessage> shown_;
};

// Runs `action` once, from the event loop, as soon as `condition` holds; polls every few
// milliseconds and records a test failure when the condition has not held within timeoutMs.
// The watch ends with `context` when that goes first: give the object whose end makes the
// condition or the action meaningless (a dialog the fixture destroys), so that no watch of a
// finished test runs on into the next one.
void RunWhen(QObject& context, std::function<bool()> condition, std::function<void()> action,
             int timeoutMs = 5000);
// The same, watched until it has run or timed out, whatever else ends.
void RunWhen(std::function<bool()> condition, std::function<void()> action, int timeoutMs = 5000);

// Processes events until the condition holds; false when it has not within timeoutMs.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

// Runs the application's event loop (QApplication::exec) and gives its exit code. When the loop
// has not ended within timeoutMs it is ended with code -99 and a test failure is recorded.
int RunEventLoop(int timeoutMs = 10000);

// Sends the window system's close request (the close box) to a shown window.
void PressCloseBox(QWidget& window);

// True when the button shows the named glyph of the program's resources, pixel for pixel (an
// icon made from a missing file is not null either, but shows nothing).
bool ShowsGlyph(const QPushButton& button, const char* glyph);
