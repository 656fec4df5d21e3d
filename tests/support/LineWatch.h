// Watching a pseudo-terminal's line from the test's side: its settings and every change of them.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <string>

#include "tests/support/PseudoTerminal.h"

#include <gtest/gtest.h>

// The line's settings as the device has them, through a descriptor of its own taken before the
// port is opened (an open port keeps further openers out).
class DeviceSettings {
  public:
    explicit DeviceSettings(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}
    ~DeviceSettings() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    DeviceSettings(const DeviceSettings&) = delete;
    DeviceSettings& operator=(const DeviceSettings&) = delete;
    bool Valid() const { return fd_ >= 0; }
    termios Read() const {
        termios settings{};
        EXPECT_EQ(::tcgetattr(fd_, &settings), 0);
        return settings;
    }
    bool Write(const termios& settings) const { return ::tcsetattr(fd_, TCSANOW, &settings) == 0; }

  private:
    int fd_;
};

// The master end in packet mode learns of every flush of the line and every change of its flow
// control, even one that was undone before the test looks.
inline bool WatchLine(int master) {
    int packet = 1;
    return ::ioctl(master, TIOCPKT, &packet) == 0;
}
inline bool LineChanged(int master) {
    pollfd status{master, POLLIN, 0};
    return ::poll(&status, 1, 0) == 1;
}

// A pseudo-terminal at settings the card does not use, watched for every change.
class WatchedLine : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(pty.Path().empty());
        ASSERT_TRUE(device.Valid());
        termios before = device.Read();
        ::cfsetspeed(&before, B2400);
        before.c_lflag |= ICANON | ECHO;
        before.c_iflag |= IXON;
        ASSERT_TRUE(device.Write(before));
        ASSERT_TRUE(WatchLine(pty.Master()));
    }
    void ExpectUntouched() {
        EXPECT_FALSE(LineChanged(pty.Master()));
        const termios after = device.Read();
        EXPECT_EQ(::cfgetospeed(&after), static_cast<speed_t>(B2400));
        EXPECT_EQ(after.c_lflag & (ICANON | ECHO), static_cast<tcflag_t>(ICANON | ECHO));
    }

    PseudoTerminal pty;
    DeviceSettings device{pty.Path()};
};
