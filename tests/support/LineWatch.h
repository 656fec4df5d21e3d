// Watching a pseudo-terminal's line from the test's side: its settings and every change of them.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <string>

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
