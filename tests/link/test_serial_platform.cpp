// The operating-system side of opening a serial device: which path a name opens, and the claim
// that says why a device cannot be had.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "link/SerialPlatform.h"
#include "tests/support/DeviceHolder.h"
#include "tests/support/PseudoTerminal.h"

namespace {

namespace fs = std::filesystem;

// A folder of its own, removed with the test.
class Scratch {
  public:
    Scratch()
        : path_(fs::path(::testing::TempDir()) /
                ("brovane-platform-" + std::to_string(::getpid()))) {
        fs::create_directories(path_);
    }
    ~Scratch() {
        std::error_code error;
        fs::remove_all(path_, error);
    }
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
    fs::path path_;
};

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

TEST(DrainOutput, AnEmptyOutputDrainsAtOnceAndABadHandleFails) {
    PseudoTerminal pty;
    const int fd = ::open(pty.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "XI00", 4), 4);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(DrainOutput(fd, 1200, std::chrono::milliseconds(1000)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    ::close(fd);
    EXPECT_FALSE(DrainOutput(fd, 1200, std::chrono::milliseconds(1000)));
}

}  // namespace
