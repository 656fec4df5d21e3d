#include "link/QtSerialLine.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QSerialPort>
#include <QTimer>
#include <algorithm>

#include "link/OutputDrain.h"
#include "link/SerialPlatform.h"
#include "link/SystemDevices.h"

namespace {

constexpr int kTimeoutMs = 1000;
// A write, the wait for its bytes to leave the port included, ends within this.
constexpr std::chrono::milliseconds kWriteBound{kTimeoutMs};
constexpr int kBaud = kLineBaud;

// Errors after which the device is of no further use: it went away or cannot be read.
bool LineLost(QSerialPort::SerialPortError error) {
    return error == QSerialPort::ReadError || error == QSerialPort::WriteError ||
           error == QSerialPort::ResourceError;
}

// Why Qt could not open a device that was claimed: it was there and the user could open it.
OpenFailure FailureOfQtOpen(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return OpenFailure::NoSuchDevice;
        case QSerialPort::PermissionError:  // Qt's own lock, or Windows: another program has it
            return OpenFailure::InUse;
        case QSerialPort::UnsupportedOperationError:  // the claim found a serial line
            return OpenFailure::SettingsRefused;
        default:
            return OpenFailure::Other;
    }
}

// Runs the event loop until `signal` of the port, an error of it, or `ms` milliseconds; true when
// the signal came.
template <typename Signal>
bool WaitInEventLoop(QSerialPort& port, Signal signal, int ms) {
    QEventLoop loop;
    bool came = false;
    QObject::connect(&port, signal, &loop, [&came, &loop] {
        came = true;
        loop.quit();
    });
    QObject::connect(&port, &QSerialPort::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(std::max(ms, 0), &loop, &QEventLoop::quit);
    loop.exec();
    return came;
}

// The drain's pauses, spent in the event loop.
DrainClock EventLoopClock(DrainClock clock) {
    clock.sleep = [](std::chrono::steady_clock::duration pause) {
        QEventLoop loop;
        QTimer::singleShot(std::chrono::ceil<std::chrono::milliseconds>(pause), &loop,
                           &QEventLoop::quit);
        loop.exec();
    };
    return clock;
}

class QtSerialLine final : public SerialLine {
  public:
    explicit QtSerialLine(LinePlatform platform)
        : platform_(std::move(platform)),
          claim_(platform_.lockDirectories, platform_.processProbe) {
        // A line that goes away keeps signalling errors while events are processed between two
        // exchanges; the first one ends the batch's use of it.
        QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                         [this](QSerialPort::SerialPortError error) { OnError(error); });
    }

    bool Open(const std::string& device) override {
        Close();
        const std::string path = DevicePath(device);
        // Claimed before Qt opens it: Qt switches the line's settings as it opens.
        failure_ = claim_.Claim(path);
        if (failure_ != OpenFailure::None) {
            return false;
        }
        // Qt would look for a relative name under /dev, and would judge other programs' lock
        // files by its own rules: it opens the claimed device by the claim's own name.
        port_.setPortName(QString::fromStdString(claim_.ReopenPath(path)));
        // Set before the open, which applies them: the line goes from what it was straight to
        // the card's settings, never through Qt's default 9600 baud.
        if (!SetLineSettings() || !port_.open(QIODevice::ReadWrite)) {
            failure_ = FailureOfQtOpen(port_.error());
            port_.clearError();
            claim_.Release();
            return false;
        }
        lost_ = false;
        onAWire_ = !platform_.pseudoTerminal(LineHandle(port_.handle()));
        if (!port_.clear(QSerialPort::AllDirections)) {
            Close();
            failure_ = OpenFailure::SettingsRefused;
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
        const DrainClock& clock = platform_.drainClock;
        const DrainClockPoint start = clock.now();
        if (port_.write(reinterpret_cast<const char*>(data), size) != size) {
            return false;
        }
        QDeadlineTimer deadline(kWriteBound);
        while (port_.bytesToWrite() > 0) {
            if (!WaitForWritten(deadline.remainingTime())) {
                if (LineLost(port_.error())) {
                    Close();
                }
                return false;
            }
        }
        // The kernel has the bytes; the reply's read window starts only when they have left
        // the port, as a request takes 8.3 ms a byte at 1200 baud.
        const intptr_t handle = LineHandle(port_.handle());
        const QueueReport queued = [this, handle] { return platform_.outputQueue(handle); };
        const auto lineTime = onAWire_ ? LineTime(count, kBaud) : std::chrono::microseconds(0);
        const DrainClock waitClock = platform_.waitInEventLoop ? EventLoopClock(clock) : clock;
        return WaitUntilSent(queued, start, lineTime, start + kWriteBound, waitClock) &&
               port_.isOpen() && DrainTransmitter(handle);
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
            if (!WaitForReply(remaining)) {
                if (LineLost(port_.error()) || lost_ || !port_.isOpen()) {
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
        claim_.Release();
        port_.clearError();
    }

    bool IsOpen() const override { return port_.isOpen(); }
    OpenFailure LastOpenFailure() const override { return failure_; }
    DeviceList PresentDevices() const override { return platform_.presentDevices(); }
    std::string DeviceBehind(const std::string& path) const override {
        return ::DeviceBehind(DevicePath(path));
    }
    bool IsConsole(const std::string& path) const override {
        const std::vector<std::string> consoles = ActiveConsoles();
        return std::find(consoles.begin(), consoles.end(), DeviceBehind(path)) != consoles.end();
    }

  private:
    // Qt's own blocking waits, or the event loop's for the windows' line.
    bool WaitForReply(qint64 ms) {
        const int bound = static_cast<int>(std::max<qint64>(ms, 0));
        return platform_.waitInEventLoop
                   ? WaitInEventLoop(port_, &QSerialPort::readyRead, bound) && port_.isOpen()
                   : port_.waitForReadyRead(bound);
    }
    bool WaitForWritten(qint64 ms) {
        const int bound = static_cast<int>(std::max<qint64>(ms, 0));
        return platform_.waitInEventLoop
                   ? WaitInEventLoop(port_, &QSerialPort::bytesWritten, bound) && port_.isOpen()
                   : port_.waitForBytesWritten(bound);
    }

    bool SetLineSettings() {
        return port_.setBaudRate(kBaud) && port_.setDataBits(QSerialPort::Data8) &&
               port_.setParity(QSerialPort::NoParity) && port_.setStopBits(QSerialPort::OneStop) &&
               port_.setFlowControl(QSerialPort::NoFlowControl);
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

    LinePlatform platform_;
    DeviceClaim claim_;
    QSerialPort port_;
    OpenFailure failure_ = OpenFailure::None;
    bool lost_ = false;
    bool onAWire_ = true;  // a real port, whose bytes take their line time to leave
    int generation_ = 0;
};

}  // namespace

LinePlatform LinePlatform::System() {
    return {OutputQueued, LockDirectories(), ListSerialDevices, IsPseudoTerminal,
            DrainClock::System()};
}

LinePlatform LinePlatform::Responsive() {
    LinePlatform platform = System();
    platform.waitInEventLoop = true;
    return platform;
}

std::unique_ptr<SerialLine> MakeSystemSerialLine(LinePlatform platform) {
    return std::make_unique<QtSerialLine>(std::move(platform));
}
