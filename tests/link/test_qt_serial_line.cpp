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
#include "tests/support/FakeDrainClock.h"
#include "tests/support/LineWatch.h"
#include "tests/support/PortEnvironment.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/ScratchFolder.h"

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

// The system's line, counting the reads that ended with fewer bytes than asked for: each of
// them waited out the one-second read window.
class CountingLine final : public SerialLine {
  public:
    bool Open(const std::string& device) override { return line_->Open(device); }
    OpenFailure LastOpenFailure() const override { return line_->LastOpenFailure(); }
    DeviceList PresentDevices() const override { return line_->PresentDevices(); }
    bool Write(const uint8_t* data, size_t count) override { return line_->Write(data, count); }
    int Read(uint8_t* buffer, size_t count) override {
        const int got = line_->Read(buffer, count);
        if (got >= 0 && static_cast<size_t>(got) < count) {
            ++timedOut;
        }
        return got;
    }
    void Close() override { line_->Close(); }
    bool IsOpen() const override { return line_->IsOpen(); }

    int timedOut = 0;

  private:
    std::unique_ptr<SerialLine> line_ = MakeSystemSerialLine();
};

class QtLine : public PortEnvironment {
  protected:
    void SetUp() override {
        PortEnvironment::SetUp();
        ASSERT_TRUE(server.Start());
        SetCom(1, server.DevicePath());
        std::strcpy(port.PortName, "COM1");
    }

    // Sets $BROVANE_COMn and hands the port what start-up would read of it.
    void SetCom(int number, const std::string& device) {
        SetPortVariable(number, device);
        port.UsePortOverrides(ReadPortOverrides());
    }

    bool OpenAndIdentify() { return port.OpenPort() && port.Identify(); }

    PtyCardServer server{Variant2Card()};
    SerialPortParameter port{std::make_unique<CountingLine>()};
    CountingLine& line = static_cast<CountingLine&>(port.Line());
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

// A refused DTR/RTS and an earlier timeout leave no error that fails the next exchange.
TEST_F(QtLine, StaleErrorsDoNotFailTheNextExchange) {
    ASSERT_TRUE(port.OpenPort());
    uint8_t buffer[16];
    EXPECT_EQ(port.Line().Read(buffer, sizeof buffer), 0);  // nothing was asked
    ASSERT_TRUE(port.Identify());
    EXPECT_EQ(line.timedOut, 1);
}

TEST_F(QtLine, OpensThroughASymlink) {
    const ScratchFolder scratch("brovane-card");
    const auto link = scratch / "card";
    PtyCardServer linked(Variant2Card());
    ASSERT_TRUE(linked.Start(link.string()));
    EXPECT_EQ(linked.DevicePath(), link.string());
    std::strcpy(port.PortName, "COM2");
    SetCom(2, link);
    EXPECT_TRUE(OpenAndIdentify());
    port.ClosePort();
    linked.Stop();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
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
    const int waitedBefore = line.timedOut;
    EXPECT_EQ(port.TransferRegister(0, 8, image), 0);
    EXPECT_EQ(line.timedOut - waitedBefore, 5);
    EXPECT_FALSE(port.IsOpen());
    ASSERT_TRUE(OpenAndIdentify());
}

// The other end of the pseudo-terminal goes away mid-batch: the command fails at once (not
// after five timeouts) and the line is closed.
TEST_F(QtLine, ALineThatGoesAwayMidBatchFailsAtOnce) {
    ASSERT_TRUE(OpenAndIdentify());
    server.InjectFault(CardFault::HangUp);
    EXPECT_FALSE(port.ReadHardware());
    EXPECT_EQ(line.timedOut, 0);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(server.Running());
}

TEST_F(QtLine, ALineThatWentAwayBetweenTwoCommandsFailsTheNextAtOnce) {
    ASSERT_TRUE(OpenAndIdentify());
    server.Stop();
    EXPECT_EQ(port.TransferRegister(0, 8, image), 0);
    EXPECT_EQ(line.timedOut, 0);
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
    SetCom(3, "/nonexistent/brovane-card");
    EXPECT_FALSE(port.OpenPort());
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(QtLine, APortOpenOnAnotherLineCannotBeOpened) {
    SerialPortParameter other(MakeSystemSerialLine());
    other.UsePortOverrides(ReadPortOverrides());
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

// The working folder for one test only, given back also when the test fails.
class WorkingFolder {
  public:
    explicit WorkingFolder(const std::filesystem::path& folder)
        : before_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~WorkingFolder() { std::filesystem::current_path(before_); }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

  private:
    std::filesystem::path before_;
};

// "card" and "./card" are the file in the working folder, not a name under /dev.
TEST_F(QtLine, RelativePathsMeanTheWorkingFolder) {
    const ScratchFolder scratch("brovane-card");
    const WorkingFolder working(scratch.Path());
    const std::string name = "card";
    PtyCardServer linked(Variant2Card());
    ASSERT_TRUE(linked.Start(name));
    std::strcpy(port.PortName, "COM2");
    for (const std::string& device : {name, "./" + name}) {
        SetCom(2, device);
        EXPECT_TRUE(OpenAndIdentify()) << device;
        EXPECT_EQ(port.ClosePort(), 1);
    }
    linked.Stop();
}

// Nobody reads the other end: the write fails rather than waiting for ever.
TEST(QtLineWrite, AWriteThatCannotGoOutFails) {
    PseudoTerminal pty;
    ASSERT_FALSE(pty.Path().empty());
    std::unique_ptr<SerialLine> line = MakeSystemSerialLine();
    ASSERT_TRUE(line->Open(pty.Path()));
    const std::vector<uint8_t> flood(1 << 20, 'X');
    EXPECT_FALSE(line->Write(flood.data(), flood.size()));
    line->Close();
}

// How the driver's queue goes down after a 12-byte request, by the time since the write.
using QueueAfterWrite = std::function<std::optional<int>(milliseconds sinceWrite)>;

struct DrainCase {
    const char* name;
    std::function<bool(intptr_t handle)> pseudoTerminal;  // the system's answer for the device
    QueueAfterWrite queue;
    bool sent;
    milliseconds waited;  // by the wait's own clock
};

void PrintTo(const DrainCase& drain, std::ostream* out) {
    *out << drain.name;
}

// The wait for the request to leave the port, timed by a clock of the test's own: a wire takes
// the request's line time (12 bytes at 1200 baud: 100 ms), a pseudo-terminal none, and no
// driver keeps the write past one second.
class DrainOfLine : public testing::TestWithParam<DrainCase> {};

TEST_P(DrainOfLine, TheWriteWaitsForTheLineTimeOfAWireAndAtMostOneSecond) {
    PseudoTerminal pty;
    ASSERT_FALSE(pty.Path().empty());
    FakeDrainClock clock;
    LinePlatform platform = LinePlatform::System();
    platform.pseudoTerminal = GetParam().pseudoTerminal;
    const QueueAfterWrite queue = GetParam().queue;
    platform.outputQueue = [&clock, queue](intptr_t) { return queue(clock.Elapsed()); };
    platform.drainClock = clock.Clock();
    std::unique_ptr<SerialLine> line = MakeSystemSerialLine(platform);
    ASSERT_TRUE(line->Open(pty.Path()));
    const std::vector<uint8_t> request(12, 'X');
    EXPECT_EQ(line->Write(request.data(), request.size()), GetParam().sent);
    EXPECT_EQ(clock.Elapsed(), GetParam().waited);
    line->Close();
}

const auto kAWire = [](intptr_t) { return false; };

INSTANTIATE_TEST_SUITE_P(
    Drivers, DrainOfLine,
    testing::Values(DrainCase{"APseudoTerminalTakesNoLineTime", IsPseudoTerminal,
                              [](milliseconds) { return 0; }, true, milliseconds(0)},
                    DrainCase{"AWireTakesTheRequestsLineTime", kAWire,
                              [](milliseconds) { return 0; }, true, milliseconds(100)},
                    // cdc_acm counts whole USB transfers in flight.
                    DrainCase{"AnOvercountedQueueCostsNoMoreThanTheLineTime", kAWire,
                              [](milliseconds since) { return since.count() == 0 ? 1280 : 0; },
                              true, milliseconds(100)},
                    DrainCase{"AQueueEmptyJustBeforeTheBound", IsPseudoTerminal,
                              [](milliseconds since) { return since < milliseconds(998) ? 3 : 0; },
                              true, milliseconds(998)},
                    DrainCase{"AQueueThatNeverEmptiesEndsTheWriteAfterOneSecond", IsPseudoTerminal,
                              [](milliseconds) { return 3; }, false, milliseconds(1000)}),
    [](const testing::TestParamInfo<DrainCase>& info) { return std::string(info.param.name); });

}  // namespace
