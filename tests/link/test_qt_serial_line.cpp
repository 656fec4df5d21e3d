// The Qt serial line against the virtual card over a real pseudo-terminal.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QTest>

#include "link/QtSerialLine.h"
#include "link/SerialPlatform.h"
#include "link/SerialPortParameter.h"
#include "model/RegisterImage.h"
#include "sim/VirtualCard.h"
#include "tests/support/DeviceHolder.h"
#include "tests/support/LineWatch.h"
#include "tests/support/PseudoTerminal.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::vector<int> Variant2Registers() {
    std::vector<int> regs = {0, 1, 2, 3, 4};
    for (int r = 7; r < 48; ++r) {
        regs.push_back(r);
    }
    return regs;
}

CardConfig Variant2Card() {
    CardConfig config;
    config.identity = "KFT018-01-01";
    config.hardwareBits = 13;
    for (int r = 0; r < 48; ++r) {
        config.registers.SetValue(r, static_cast<uint16_t>(0x0101 * r + 0x0A0B));
    }
    config.registers.SetValue(1, 0x0105);  // COM1 without a parity code
    return config;
}

milliseconds Since(Clock::time_point start) {
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

class QtLine : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start());
        setenv("BROVANE_COM1", server.DevicePath().c_str(), 1);
        std::strcpy(port.PortName, "COM1");
    }
    void TearDown() override { unsetenv("BROVANE_COM1"); }

    bool OpenAndIdentify() { return port.OpenPort() && port.Identify(); }

    PtyCardServer server{Variant2Card()};
    SerialPortParameter port{MakeSystemSerialLine()};
    RegisterImage image;
};

TEST_F(QtLine, ReadsTheWholeCardOfVariantTwo) {
    ASSERT_TRUE(port.OpenPort());
    ASSERT_TRUE(port.Identify());
    EXPECT_EQ(port.FirmwareVariant, 2);
    EXPECT_STREQ(port.Identity, "KFT018-01-01");
    ASSERT_TRUE(port.ReadHardware());
    EXPECT_EQ(port.HardwareBits, 13);
    for (int reg : Variant2Registers()) {
        ASSERT_EQ(port.TransferRegister(0, reg, image), 1) << reg;
    }
    EXPECT_EQ(port.ClosePort(), 1);

    // COM1 to COM3 arrive with a parity code: 0x05 -> 0x25, 0x0D -> 0x2D, 0x0E -> 0x2E.
    RegisterImage expected = Variant2Card().registers;
    for (int r = 1; r <= 3; ++r) {
        expected.SetLow(r, expected.Low(r) | 0x20);
    }
    for (int r : {5, 6}) {
        expected.SetValue(r, 0);
    }
    EXPECT_EQ(image, expected);
    EXPECT_EQ(server.RegistersRead(), Variant2Registers());
}

TEST_F(QtLine, WritesTheRegistersOneByOne) {
    for (int r = 0; r < 48; ++r) {
        image.SetValue(r, static_cast<uint16_t>(0xF00F - r));
    }
    ASSERT_TRUE(port.OpenPort());
    for (int reg : Variant2Registers()) {
        ASSERT_EQ(port.TransferRegister(1, reg, image), 1) << reg;
    }
    port.ClosePort();
    EXPECT_EQ(server.RegistersWritten(), Variant2Registers());
    const RegisterImage card = server.Registers();
    for (int reg : Variant2Registers()) {
        EXPECT_EQ(card.Value(reg), image.Value(reg)) << reg;
    }
    EXPECT_EQ(card.Value(5), Variant2Card().registers.Value(5));
}

// The read returns when the reply is there, not when the timeout ends; a refused DTR/RTS
// and an earlier timeout leave no error that fails the next exchange.
TEST_F(QtLine, AReadEndsWhenTheReplyHasArrivedAndStaleErrorsDoNotCount) {
    ASSERT_TRUE(port.OpenPort());
    uint8_t buffer[16];
    const auto start = Clock::now();
    const std::clock_t cpuStart = std::clock();
    EXPECT_EQ(port.Line().Read(buffer, sizeof buffer), 0);  // nothing was asked
    EXPECT_GE(Since(start), milliseconds(900));
    // The wait sleeps in the kernel; a spinning wait would burn the whole second.
    EXPECT_LT(std::clock() - cpuStart, CLOCKS_PER_SEC / 5);

    const auto exchange = Clock::now();
    ASSERT_TRUE(port.Identify());
    EXPECT_LT(Since(exchange), milliseconds(900));
}

TEST_F(QtLine, OpensThroughASymlink) {
    const auto link =
        std::filesystem::temp_directory_path() / ("brovane-card-" + std::to_string(::getpid()));
    PtyCardServer linked(Variant2Card());
    ASSERT_TRUE(linked.Start(link.string()));
    EXPECT_EQ(linked.DevicePath(), link.string());
    std::strcpy(port.PortName, "COM2");
    setenv("BROVANE_COM2", link.c_str(), 1);
    EXPECT_TRUE(OpenAndIdentify());
    port.ClosePort();
    linked.Stop();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
    unsetenv("BROVANE_COM2");
}

TEST_F(QtLine, AWrongEchoClosesTheLineAndTheNextOpenWorks) {
    ASSERT_TRUE(OpenAndIdentify());
    server.InjectFault(CardFault::WrongEcho);
    EXPECT_EQ(port.TransferRegister(0, 8, image), 0);
    EXPECT_FALSE(port.IsOpen());
    ASSERT_TRUE(OpenAndIdentify());
    EXPECT_EQ(port.TransferRegister(0, 8, image), 1);
}

TEST_F(QtLine, SurplusBytesShiftIntoTheNextReply) {
    ASSERT_TRUE(OpenAndIdentify());
    server.InjectFault(CardFault::SurplusBytes);
    EXPECT_EQ(port.TransferRegister(0, 8, image), 1);
    EXPECT_EQ(port.TransferRegister(0, 9, image), 0);
    EXPECT_FALSE(port.IsOpen());
    ASSERT_TRUE(OpenAndIdentify());  // opening empties the line
    EXPECT_EQ(port.TransferRegister(0, 9, image), 1);
    EXPECT_EQ(image.Value(9), Variant2Card().registers.Value(9));
}

// Each half arrives in a read of its own: the exchange fails after five reads.
TEST_F(QtLine, AReplySplitByAPauseFails) {
    ASSERT_TRUE(OpenAndIdentify());
    server.InjectFault(CardFault::SplitReply);
    const auto start = Clock::now();
    EXPECT_EQ(port.TransferRegister(0, 8, image), 0);
    EXPECT_GE(Since(start), milliseconds(4500));
    EXPECT_FALSE(port.IsOpen());
    ASSERT_TRUE(OpenAndIdentify());
}

// The other end of the pseudo-terminal goes away mid-batch: the command fails at once (not
// after five timeouts) and the line is closed.
TEST_F(QtLine, ALineThatGoesAwayMidBatchFailsAtOnce) {
    ASSERT_TRUE(OpenAndIdentify());
    server.InjectFault(CardFault::HangUp);
    auto start = Clock::now();
    EXPECT_FALSE(port.ReadHardware());
    EXPECT_LT(Since(start), milliseconds(2000));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(server.Running());
}

TEST_F(QtLine, ALineThatWentAwayBetweenTwoCommandsFailsTheNextAtOnce) {
    ASSERT_TRUE(OpenAndIdentify());
    server.Stop();
    const auto start = Clock::now();
    EXPECT_EQ(port.TransferRegister(0, 8, image), 0);
    EXPECT_LT(Since(start), milliseconds(2000));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.OpenPort());  // the device is gone
}

// Between two exchanges the progress dialog lets events run: the line that went away meanwhile
// closes itself on its first error instead of signalling on and on.
TEST_F(QtLine, ALineThatGoesAwayWhileEventsRunClosesItself) {
    ASSERT_TRUE(OpenAndIdentify());
    server.Stop();
    const auto deadline = Clock::now() + milliseconds(3000);
    while (port.IsOpen() && Clock::now() < deadline) {
        QTest::qWait(10);
    }
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.ReadHardware());
}

TEST_F(QtLine, ANameThatNamesNoDeviceDoesNotOpen) {
    std::strcpy(port.PortName, "COM3");
    setenv("BROVANE_COM3", "/nonexistent/brovane-card", 1);
    EXPECT_FALSE(port.OpenPort());
    EXPECT_FALSE(port.IsOpen());
    unsetenv("BROVANE_COM3");
}

TEST_F(QtLine, APortOpenOnAnotherLineCannotBeOpened) {
    SerialPortParameter other(MakeSystemSerialLine());
    std::strcpy(other.PortName, "COM1");
    ASSERT_TRUE(port.OpenPort());
    EXPECT_FALSE(other.OpenPort());
    port.ClosePort();
    EXPECT_TRUE(other.OpenPort());
    EXPECT_TRUE(other.Identify());
}

TEST_F(QtLine, APortHeldByAnotherProcessCannotBeOpened) {
    DeviceHolder holder(server.DevicePath());
    ASSERT_TRUE(holder.Holding());
    EXPECT_FALSE(port.OpenPort());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.LastOpenFailure(), OpenFailure::InUse);
    EXPECT_EQ(port.OpenedDevice(), server.DevicePath());
    holder.Release();
    EXPECT_TRUE(OpenAndIdentify());
    EXPECT_EQ(port.LastOpenFailure(), OpenFailure::None);
}

TEST_F(QtLine, TheLineRunsAt1200Baud8DataBitsNoParityOneStopBitRawWithoutFlowControl) {
    DeviceSettings device(server.PtyPath());
    ASSERT_TRUE(device.Valid());
    // Start from settings the card does not use (a pseudo-terminal keeps no parity).
    termios before = device.Read();
    before.c_cflag |= CSTOPB | CRTSCTS;
    before.c_iflag |= IXON | IXOFF | ICRNL;
    before.c_lflag |= ICANON | ECHO | ISIG;
    before.c_oflag |= OPOST;
    ::cfsetspeed(&before, B9600);
    ASSERT_TRUE(device.Write(before));

    ASSERT_TRUE(port.OpenPort());
    const termios applied = device.Read();
    EXPECT_EQ(::cfgetispeed(&applied), static_cast<speed_t>(B1200));
    EXPECT_EQ(::cfgetospeed(&applied), static_cast<speed_t>(B1200));
    EXPECT_EQ(applied.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(applied.c_cflag & PARENB, 0U);
    EXPECT_EQ(applied.c_cflag & CSTOPB, 0U);
    EXPECT_EQ(applied.c_cflag & CRTSCTS, 0U);
    EXPECT_EQ(applied.c_iflag & (IXON | IXOFF | IXANY), 0U);
    // Raw: bytes pass as they are, no line editing, echo, signals or translation.
    EXPECT_EQ(applied.c_lflag & (ICANON | ECHO | ECHONL | ISIG | IEXTEN), 0U);
    EXPECT_EQ(applied.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | BRKINT), 0U);
    EXPECT_EQ(applied.c_oflag & OPOST, 0U);
    EXPECT_NE(applied.c_cflag & CREAD, 0U);
    EXPECT_NE(applied.c_cflag & CLOCAL, 0U);
    EXPECT_TRUE(port.Identify());
}

// Another instance holds the device: it is refused before anything about the line changes.
TEST_F(WatchedLine, AHeldDeviceIsRefusedBeforeItsSettingsChange) {
    const auto lineChanged = [this] { return LineChanged(pty.Master()); };
    ASSERT_FALSE(lineChanged());

    std::unique_ptr<SerialLine> line = MakeSystemSerialLine();
    {
        DeviceHolder holder(pty.Path());
        ASSERT_TRUE(holder.Holding());
        EXPECT_FALSE(line->Open(pty.Path()));
        EXPECT_EQ(line->LastOpenFailure(), OpenFailure::InUse);
    }
    ExpectUntouched();

    // Once the device is free, opening it does switch the line.
    ASSERT_TRUE(line->Open(pty.Path()));
    EXPECT_TRUE(lineChanged());
    line->Close();
}

// "card" and "./card" are the file in the working folder, not a name under /dev.
TEST_F(QtLine, RelativePathsMeanTheWorkingFolder) {
    const std::string name = "brovane-card-" + std::to_string(::getpid());
    PtyCardServer linked(Variant2Card());
    ASSERT_TRUE(linked.Start(name));
    std::strcpy(port.PortName, "COM2");
    for (const std::string& device : {name, "./" + name}) {
        setenv("BROVANE_COM2", device.c_str(), 1);
        EXPECT_TRUE(OpenAndIdentify()) << device;
        EXPECT_EQ(port.ClosePort(), 1);
    }
    unsetenv("BROVANE_COM2");
}

// A read ends 1000 ms after it started when nothing comes, neither much earlier nor much later.
TEST_F(QtLine, AReadWithoutAnswerEndsAfterOneSecond) {
    ASSERT_TRUE(port.OpenPort());
    uint8_t buffer[4];
    const auto start = Clock::now();
    EXPECT_EQ(port.Line().Read(buffer, sizeof buffer), 0);
    EXPECT_GE(Since(start), milliseconds(990));
    EXPECT_LT(Since(start), milliseconds(1300));
}

// Nobody reads the other end: the write gives up after one second, not sooner and not never.
TEST(QtLineWrite, AWriteThatCannotGoOutEndsAfterOneSecond) {
    PseudoTerminal pty;
    ASSERT_FALSE(pty.Path().empty());
    std::unique_ptr<SerialLine> line = MakeSystemSerialLine();
    ASSERT_TRUE(line->Open(pty.Path()));
    const std::vector<uint8_t> flood(1 << 20, 'X');
    const auto start = Clock::now();
    EXPECT_FALSE(line->Write(flood.data(), flood.size()));
    EXPECT_GE(Since(start), milliseconds(990));
    EXPECT_LT(Since(start), milliseconds(1500));
    line->Close();
}

// A driver that overcounts its queue as cdc_acm does (whole USB transfers in flight) costs the
// write nothing, and the one-second read window follows the write.
TEST(QtLineTiming, AWriteReturnsAfterTheRequestsLineTimeAndTheReadWindowFollows) {
    CardConfig config = Variant2Card();
    config.baud = 1200;
    PtyCardServer server(config);
    ASSERT_TRUE(server.Start());
    LinePlatform platform = LinePlatform::System();
    int looks = 0;
    platform.outputQueue = [&looks](intptr_t handle) {
        return looks++ % 2 == 0 ? std::optional<int>(1280) : OutputQueued(handle);
    };
    SerialPortParameter port(MakeSystemSerialLine(platform));
    setenv("BROVANE_COM1", server.DevicePath().c_str(), 1);
    std::strcpy(port.PortName, "COM1");
    ASSERT_TRUE(port.OpenPort());
    unsetenv("BROVANE_COM1");

    uint8_t request[card::kBufferSize];
    port.BuildFrame("XI00", request);
    const size_t length = port.FrameLength();
    const auto requestTime = milliseconds(length * 10'000 / 1200);
    const auto start = Clock::now();
    ASSERT_TRUE(port.Line().Write(request, length));
    const auto written = Since(start);
    EXPECT_LT(written, requestTime + milliseconds(100));
    // The 68-byte answer takes 570 ms: it arrives within the first read.
    uint8_t reply[card::kBufferSize];
    const auto readStart = Clock::now();
    EXPECT_EQ(port.Line().Read(reply, card::kIdentifyReplyLength),
              static_cast<int>(card::kIdentifyReplyLength));
    const auto read = Since(readStart);
    EXPECT_LT(read, milliseconds(900));
    std::printf(
        "request of %zu bytes: write returned after %lld ms (line time %lld ms); reply "
        "read %lld ms after the read window opened\n",
        length, static_cast<long long>(written.count()),
        static_cast<long long>(requestTime.count()), static_cast<long long>(read.count()));
    port.ClosePort();
}

}  // namespace
