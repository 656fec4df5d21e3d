// The line goes from the settings it had straight to the card's: every change of its settings
// that opening makes is watched as it happens, by standing in for the C library's tcsetattr.
#include <dlfcn.h>
#include <termios.h>

#include <memory>
#include <mutex>
#include <vector>

#include <gtest/gtest.h>

#include "link/QtSerialLine.h"
#include "tests/support/LineWatch.h"
#include "tests/support/PseudoTerminal.h"

namespace {

// The output speeds set on the watched descriptor, in order.
struct SpeedLog {
    std::mutex mutex;
    std::vector<speed_t> speeds;
};
SpeedLog& Log() {
    static SpeedLog log;
    return log;
}

}  // namespace

// Found before the C library's own by every caller in the process, Qt SerialPort included.
extern "C" int tcsetattr(int fd, int action, const termios* settings) {
    using Real = int (*)(int, int, const termios*);
    static const auto real = reinterpret_cast<Real>(::dlsym(RTLD_NEXT, "tcsetattr"));
    {
        std::lock_guard<std::mutex> lock(Log().mutex);
        Log().speeds.push_back(::cfgetospeed(settings));
    }
    return real(fd, action, settings);
}

namespace {

TEST(LineSettings, TheLineNeverPassesThroughQtsDefault9600Baud) {
    PseudoTerminal pty;
    ASSERT_FALSE(pty.Path().empty());
    {
        DeviceSettings device(pty.Path());
        termios before = device.Read();
        ::cfsetspeed(&before, B2400);
        ASSERT_TRUE(device.Write(before));
    }
    Log().speeds.clear();
    std::unique_ptr<SerialLine> line = MakeSystemSerialLine();
    ASSERT_TRUE(line->Open(pty.Path()));
    std::vector<speed_t> speeds;
    {
        std::lock_guard<std::mutex> lock(Log().mutex);
        speeds = Log().speeds;
    }
    ASSERT_FALSE(speeds.empty());
    for (const speed_t speed : speeds) {
        EXPECT_TRUE(speed == B2400 || speed == B1200) << "speed code " << speed;
    }
    EXPECT_EQ(speeds.back(), static_cast<speed_t>(B1200));
    line->Close();
}

}  // namespace
