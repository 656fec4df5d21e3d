#include "link/QtSerialLine.h"

#include <QDeadlineTimer>
#include <QSerialPort>
#include <QTimer>

#ifndef _WIN32
#include <sys/file.h>
#endif

namespace {

constexpr int kTimeoutMs = 1000;

// Errors after which the device is of no further use: it went away or cannot be read.
bool LineLost(QSerialPort::SerialPortError error) {
    return error == QSerialPort::ReadError || error == QSerialPort::WriteError ||
           error == QSerialPort::ResourceError;
}

// Qt's lock file and TIOCEXCL do not keep out a second opener that comes through another path
// to the same device (a symlink) or that runs as root; an advisory lock on the device does.
bool LockDevice([[maybe_unused]] qintptr handle) {
#ifdef _WIN32
    return true;
#else
    return ::flock(static_cast<int>(handle), LOCK_EX | LOCK_NB) == 0;
#endif
}

class QtSerialLine final : public SerialLine {
  public:
    QtSerialLine() {
        // A line that goes away keeps signalling errors while events are processed between two
        // exchanges; the first one ends the batch's use of it.
        QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                         [this](QSerialPort::SerialPortError error) { OnError(error); });
    }

    bool Open(const std::string& device) override {
        Close();
        port_.setPortName(QString::fromStdString(device));
        if (!port_.open(QIODevice::ReadWrite)) {
            port_.clearError();
            return false;
        }
        lost_ = false;
        if (!LockDevice(port_.handle()) || !Configure()) {
            Close();
            return false;
        }
        // A pseudo-terminal refuses both; the card does not need them to answer.
        port_.setRequestToSend(true);
        port_.setDataTerminalReady(true);
        port_.clearError();
        return true;
    }

    bool Write(const uint8_t* data, size_t count) override {
        if (!BeginExchange()) {
            return false;
        }
        const auto size = static_cast<qint64>(count);
        if (port_.write(reinterpret_cast<const char*>(data), size) != size) {
            return false;
        }
        QDeadlineTimer deadline(kTimeoutMs);
        while (port_.bytesToWrite() > 0) {
            if (!port_.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
                if (LineLost(port_.error())) {
                    Close();
                }
                return false;
            }
        }
        return true;
    }

    int Read(uint8_t* buffer, size_t count) override {
        if (!BeginExchange()) {
            return -1;
        }
        const auto wanted = static_cast<qint64>(count);
        QDeadlineTimer deadline(kTimeoutMs);
        while (port_.bytesAvailable() < wanted) {
            const qint64 remaining = deadline.remainingTime();
            if (remaining <= 0) {
                break;
            }
            if (!port_.waitForReadyRead(static_cast<int>(remaining))) {
                if (LineLost(port_.error()) || !port_.isOpen()) {
                    Close();
                    return -1;
                }
                break;  // the timeout: hand over what arrived
            }
        }
        port_.clearError();
        const qint64 got = port_.read(reinterpret_cast<char*>(buffer), wanted);
        if (got < 0) {
            Close();
            return -1;
        }
        return static_cast<int>(got);
    }

    void Close() override {
        ++generation_;
        lost_ = false;
        if (port_.isOpen()) {
            port_.close();
        }
        port_.clearError();
    }

    bool IsOpen() const override { return port_.isOpen(); }

  private:
    bool Configure() {
        return port_.setBaudRate(1200) && port_.setDataBits(QSerialPort::Data8) &&
               port_.setParity(QSerialPort::NoParity) && port_.setStopBits(QSerialPort::OneStop) &&
               port_.setFlowControl(QSerialPort::NoFlowControl) &&
               port_.clear(QSerialPort::AllDirections);
    }

    // Qt keeps its last error (a timeout, a refused DTR); a stale one must not fail this
    // exchange. A line that was lost since the last exchange fails it at once.
    bool BeginExchange() {
        if (!port_.isOpen()) {
            return false;
        }
        if (lost_) {
            Close();
            return false;
        }
        port_.clearError();
        return true;
    }

    void OnError(QSerialPort::SerialPortError error) {
        if (!LineLost(error) || lost_ || !port_.isOpen()) {
            return;
        }
        lost_ = true;
        // Closing from inside Qt's own notification is not safe; close right after it.
        const int generation = generation_;
        QTimer::singleShot(0, &port_, [this, generation] {
            if (generation == generation_ && lost_) {
                Close();
            }
        });
    }

    QSerialPort port_;
    bool lost_ = false;
    int generation_ = 0;
};

}  // namespace

std::unique_ptr<SerialLine> MakeSystemSerialLine() {
    return std::make_unique<QtSerialLine>();
}
