// The operating-system side of opening a serial device: which path a name opens, and the claim
// that says why a device cannot be had.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "link/SerialPlatform.h"
#include "tests/support/DeviceHolder.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

// A folder of its own, removed with the test.
class Scratch {
  public:
    Scratch() : path_(folder_.Path()) {}
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    fs::path File(const std::string& name) const {
        const fs::path file = path_ / name;
        std::FILE* f = std::fopen(file.c_str(), "w");
        if (f != nullptr) {
            std::fclose(f);
        }
        return file;
    }
    const fs::path& Path() const { return path_; }

  private:
    ScratchFolder folder_{"brovane-platform"};
    fs::path path_;
};

// A folder whose name is not ASCII: the bytes written are the bytes read back; a file that is
// not there opens as nothing, with the system's reason.
TEST(OpenFile, OpensByThePathAsTheSystemSpellsIt) {
    const Scratch scratch;
    const fs::path folder = scratch.Path() / fs::u8path(
                                                 "Pr\xC3\xBC"
                                                 "fstand \xC3\xB8");
    fs::create_directories(folder);
    const fs::path file = folder / "lang_01.ini";
    std::FILE* written = OpenFile(file, "w");
    ASSERT_NE(written, nullptr);
    EXPECT_GE(std::fputs("[Quorix]\n", written), 0);
    EXPECT_EQ(std::fclose(written), 0);
    std::FILE* read = OpenFile(file, "rb");
    ASSERT_NE(read, nullptr);
    char text[16] = {};
    EXPECT_EQ(std::fread(text, 1, sizeof text, read), 9u);
    std::fclose(read);
    EXPECT_STREQ(text, "[Quorix]\n");
    errno = 0;
    EXPECT_EQ(OpenFile(folder / "missing.ini", "rb"), nullptr);
    EXPECT_EQ(errno, ENOENT);
}

TEST(DevicePath, RelativeNamesMeanTheWorkingFolder) {
    const std::string here = fs::current_path().string();
    EXPECT_EQ(DevicePath("card"), here + "/card");
    EXPECT_EQ(DevicePath("./card"), here + "/card");
    EXPECT_EQ(DevicePath("cards/../card"), here + "/card");
    EXPECT_EQ(DevicePath("/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(DevicePath(""), "");
}

TEST(DeviceClaim, NamesWhyADeviceCannotBeHad) {
    Scratch scratch;
    PseudoTerminal pty;
    ASSERT_FALSE(pty.Path().empty());
    struct Case {
        std::string what;
        std::string path;
        OpenFailure failure;
    };
    for (const Case& c :
         {Case{"missing", (scratch.Path() / "missing").string(), OpenFailure::NoSuchDevice},
          Case{"below a file", (scratch.File("file") / "below").string(),
               OpenFailure::NoSuchDevice},
          Case{"regular file", scratch.File("card").string(), OpenFailure::NotSerialDevice},
          Case{"folder", scratch.Path().string(), OpenFailure::NotSerialDevice},
          Case{"not a terminal", "/dev/null", OpenFailure::NotSerialDevice},
          Case{"pseudo-terminal", pty.Path(), OpenFailure::None}}) {
        DeviceClaim claim;
        EXPECT_EQ(claim.Claim(c.path), c.failure) << c.what;
    }
}

TEST(DeviceClaim, AFileTheUserMayNotOpenIsRefused) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may open any file";
    }
    Scratch scratch;
    const fs::path file = scratch.File("locked");
    ASSERT_EQ(::chmod(file.c_str(), 0), 0);
    DeviceClaim claim;
    EXPECT_EQ(claim.Claim(file.string()), OpenFailure::PermissionDenied);
}

TEST(DeviceClaim, ADeviceClaimedOnceIsInUseUntilReleased) {
    PseudoTerminal pty;
    DeviceClaim first;
    DeviceClaim second;
    ASSERT_EQ(first.Claim(pty.Path()), OpenFailure::None);
    EXPECT_EQ(second.Claim(pty.Path()), OpenFailure::InUse);
    first.Release();
    EXPECT_EQ(second.Claim(pty.Path()), OpenFailure::None);
    // Another program is kept out while the claim lasts, and so is this one after it.
    DeviceHolder holder(pty.Path());
    EXPECT_FALSE(holder.Holding());
    second.Release();
}

TEST(DeviceClaim, ADeviceHeldByAnotherProcessIsInUse) {
    PseudoTerminal pty;
    DeviceHolder holder(pty.Path());
    ASSERT_TRUE(holder.Holding());
    DeviceClaim claim;
    EXPECT_EQ(claim.Claim(pty.Path()), OpenFailure::InUse);
    holder.Release();
    EXPECT_EQ(claim.Claim(pty.Path()), OpenFailure::None);
}

TEST(OutputQueued, AnEmptyOutputIsEmptyAndABadHandleCannotBeAsked) {
    PseudoTerminal pty;
    const int fd = ::open(pty.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "XI00", 4), 4);
    EXPECT_EQ(OutputQueued(fd), std::optional<int>(0));
    EXPECT_TRUE(DrainTransmitter(fd));
    // No wire, so no line time to wait for; a file is no pseudo-terminal.
    EXPECT_TRUE(IsPseudoTerminal(fd));
    const int null = ::open("/dev/null", O_RDONLY);
    EXPECT_FALSE(IsPseudoTerminal(null));
    ::close(null);
    ::close(fd);
    EXPECT_EQ(OutputQueued(fd), std::nullopt);
    EXPECT_FALSE(DrainTransmitter(fd));
}

// A /dev/ttyS node the firmware announces without a UART behind it opens, then fails with EIO
// or reports an unknown UART; every USB adapter's driver reports an unknown UART too.
TEST(JudgeSerialNode, OnlyAn8250PortWithoutAUartIsNoSuchDevice) {
    struct Case {
        SerialNode node;
        OpenFailure failure;
    };
    for (const Case& c : {
             Case{{0, "serial8250", false}, OpenFailure::None},
             Case{{0, "serial8250", true}, OpenFailure::NoSuchDevice},
             Case{{0, "serial", true}, OpenFailure::NoSuchDevice},
             Case{{EIO, "serial8250", false}, OpenFailure::NoSuchDevice},
             Case{{0, "ftdi_sio", true}, OpenFailure::None},
             Case{{0, "cdc_acm", true}, OpenFailure::None},
             Case{{0, "ch341-uart", true}, OpenFailure::None},
             Case{{0, "cp210x", true}, OpenFailure::None},
             Case{{0, "pl2303", true}, OpenFailure::None},
             Case{{0, "", true}, OpenFailure::None},
             Case{{ENOTTY, "", false}, OpenFailure::NotSerialDevice},
             Case{{EIO, "ftdi_sio", true}, OpenFailure::NoSuchDevice},
         }) {
        EXPECT_EQ(JudgeSerialNode(c.node), c.failure)
            << c.node.settingsError << " " << c.node.driver << " " << c.node.uartUnknown;
    }
}

// The binary form of a lock is read as binary even where its bytes look like digits, and the
// text forms as text.
TEST(LockFileOwner, TheFormIsToldFromTheLengthAndTheContent) {
    struct Case {
        std::string content;
        std::optional<long> owner;
    };
    for (const Case& c : {
             Case{std::string("\x30\x00\x00\x00", 4), 48},
             Case{std::string("\x31\x01\x00\x00", 4), 305},
             Case{std::string("\x39\x30\x00\x00", 4), 12345},
             Case{std::string("\x20\x00\x00\x00", 4), 32},
             Case{std::string("\x00\x00\x00\x00", 4), std::nullopt},
             Case{"       305\n", 305},
             Case{"305\n", 305},
             Case{"  48", 48},
             Case{"     12345 minicom root\n", 12345},
             Case{"4242\nbrovane\nhost\n", 4242},
             Case{"", std::nullopt},
             Case{"garbage", std::nullopt},
             Case{"0000000000\n", std::nullopt},
         }) {
        EXPECT_EQ(LockFileOwner(c.content), c.owner) << testing::PrintToString(c.content);
    }
}

// Only a process that has ended gives up its lock; one that lives under another user cannot be
// signalled by this one, and lives all the same.
TEST(OwnerLives, OnlyAnEndedProcessHasEnded) {
    EXPECT_TRUE(OwnerLives(0));
    EXPECT_TRUE(OwnerLives(EPERM));
    EXPECT_FALSE(OwnerLives(ESRCH));
}

// Without a device database Qt names no vendor; the kernel's names still tell an adapter.
TEST(IsUsbSerialDevice, TheKernelNameTellsAnAdapter) {
    for (const char* path : {"/dev/ttyUSB0", "/dev/ttyUSB12", "/dev/ttyACM3"}) {
        EXPECT_TRUE(IsUsbSerialDevice(path)) << path;
    }
    for (const char* path : {"/dev/ttyS0", "/dev/ttyAMA0", "/dev/pts/0", "/nonexistent/tty"}) {
        EXPECT_FALSE(IsUsbSerialDevice(path)) << path;
    }
}

TEST(FallbackDevice, ComNIsTheNthOnBoardPort) {
    EXPECT_EQ(PortSystem::Posix().FallbackDevice(1), "/dev/ttyS0");
    EXPECT_EQ(PortSystem::Posix().FallbackDevice(7), "/dev/ttyS6");
    // Windows names its ports itself: COMn is no on-board device of another name.
    EXPECT_EQ(PortSystem::Windows().FallbackDevice(1), "");
    EXPECT_EQ(ShownDeviceName("/dev/ttyUSB0"), "ttyUSB0");
    EXPECT_EQ(ShownDeviceName("/dev/serial/by-id/usb-X"), "serial/by-id/usb-X");
    EXPECT_EQ(ShownDeviceName("/tmp/card"), "/tmp/card");
}

}  // namespace
