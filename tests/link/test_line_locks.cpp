// Programs such as minicom and cu announce their use of a device with a UUCP lock file. A lock
// whose owner lives keeps Brovane off the line: nothing on it changes and the lock stays.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/QtSerialLine.h"
#include "tests/support/LineWatch.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

std::string Hdb(pid_t pid) {
    char text[16];
    std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
    return text;
}
std::string Minicom(pid_t pid) {
    char text[40];
    std::snprintf(text, sizeof text, "%10d minicom root\n", static_cast<int>(pid));
    return text;
}
std::string Binary(pid_t pid) {
    const auto value = static_cast<int32_t>(pid);
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

// A lock file, removed with the test.
class LockFile {
  public:
    LockFile(fs::path path, const std::string& content) : path_(std::move(path)) {
        std::ofstream(path_, std::ios::binary) << content;
    }
    ~LockFile() {
        std::error_code error;
        fs::remove(path_, error);
    }
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;
    std::string Content() const { return Read(path_); }
    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

  private:
    fs::path path_;
};

// The probe's answer for the owner: it lives, lives under another user, or has ended. Fixed
// process numbers whose bytes look like digits in the binary form (48 is '0', 305 is '1', 12345
// is "90"), asked of an injected probe rather than of whatever process has the number now.
struct LockCase {
    const char* name;
    std::function<std::string(pid_t)> format;
    pid_t owner;
    int probe;  // what kill(owner, 0) says: 0, EPERM or ESRCH
    bool ownerLives;
};

// The name Qt and lockdev give a device's lock: its path below /dev with '/' as '_'.
std::string QtLockName(const std::string& device) {
    std::string name = device.substr(5);
    std::replace(name.begin(), name.end(), '/', '_');
    return "LCK.." + name;
}

class LockOf : public WatchedLine, public testing::WithParamInterface<LockCase> {};

TEST_P(LockOf, ALivingOwnerKeepsTheLineAndTheLockAndAnEndedOneDoesNot) {
    const ScratchFolder scratch("brovane-locks");
    const fs::path& folder = scratch.Path();
    const std::string content = GetParam().format(GetParam().owner);
    for (const std::string& name :
         {"LCK.." + fs::path(pty.Path()).filename().string(), QtLockName(pty.Path())}) {
        LockFile lock(folder / name, content);
        LinePlatform platform = LinePlatform::System();
        platform.lockDirectories = {folder};
        std::vector<long> asked;
        platform.processProbe = [&asked](long pid) {
            asked.push_back(pid);
            return GetParam().probe;
        };
        std::unique_ptr<SerialLine> line = MakeSystemSerialLine(platform);
        if (GetParam().ownerLives) {
            EXPECT_FALSE(line->Open(pty.Path())) << name;
            EXPECT_EQ(line->LastOpenFailure(), OpenFailure::InUse) << name;
            ExpectUntouched();
            EXPECT_EQ(lock.Content(), content) << name;
        } else {
            EXPECT_TRUE(line->Open(pty.Path())) << name;
            line->Close();
        }
        EXPECT_EQ(asked.empty() ? 0L : asked.front(), static_cast<long>(GetParam().owner)) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, LockOf,
    testing::Values(LockCase{"HdbLiving", Hdb, 305, 0, true},
                    LockCase{"HdbOtherUser", Hdb, 305, EPERM, true},
                    LockCase{"HdbEnded", Hdb, 305, ESRCH, false},
                    LockCase{"MinicomLiving", Minicom, 12345, 0, true},
                    LockCase{"MinicomOtherUser", Minicom, 12345, EPERM, true},
                    LockCase{"MinicomEnded", Minicom, 12345, ESRCH, false},
                    LockCase{"Binary48Living", Binary, 48, 0, true},
                    LockCase{"Binary48Ended", Binary, 48, ESRCH, false},
                    LockCase{"Binary305Living", Binary, 305, 0, true},
                    LockCase{"Binary305Ended", Binary, 305, ESRCH, false},
                    LockCase{"Binary12345OtherUser", Binary, 12345, EPERM, true},
                    LockCase{"Binary12345Ended", Binary, 12345, ESRCH, false}),
    [](const testing::TestParamInfo<LockCase>& info) { return std::string(info.param.name); });

// Being written by its owner this very moment: it names no process yet, and is respected.
TEST_F(WatchedLine, ALockThatNamesNoProcessIsRespected) {
    const ScratchFolder scratch("brovane-locks");
    const fs::path& folder = scratch.Path();
    LockFile lock(folder / QtLockName(pty.Path()), "");
    LinePlatform platform = LinePlatform::System();
    platform.lockDirectories = {folder};
    EXPECT_FALSE(MakeSystemSerialLine(platform)->Open(pty.Path()));
    ExpectUntouched();
}

// The line's own lock is in place before the device is opened: a program that comes while
// Brovane opens or uses the line finds it, in the form minicom and cu read, and it goes with
// the line.
TEST_F(WatchedLine, TheLinesOwnLockKeepsOthersOutUntilItCloses) {
    const ScratchFolder scratch("brovane-locks");
    const fs::path& folder = scratch.Path();
    LinePlatform platform = LinePlatform::System();
    platform.lockDirectories = {folder};
    std::unique_ptr<SerialLine> line = MakeSystemSerialLine(platform);
    ASSERT_TRUE(line->Open(pty.Path()));
    const fs::path lock = folder / QtLockName(pty.Path());
    EXPECT_EQ(LockFile::Read(lock), Hdb(::getpid()));
    // minicom's own way of taking it: an exclusive create.
    const int fd = ::open(lock.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    EXPECT_LT(fd, 0);
    EXPECT_EQ(errno, EEXIST);
    // Another line of this program is refused too.
    std::unique_ptr<SerialLine> second = MakeSystemSerialLine(platform);
    EXPECT_FALSE(second->Open(pty.Path()));
    EXPECT_EQ(second->LastOpenFailure(), OpenFailure::InUse);
    line->Close();
    EXPECT_FALSE(fs::exists(lock));
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder)) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>());
}

// Qt takes a lock in the ten-digit HDB format for stale and deletes it: the lock is looked at
// before Qt opens the device, in the folder where Qt itself would look.
TEST_F(WatchedLine, QtNeverDeletesALivingProgramsLockInTheSystemsFolder) {
    const fs::path folder = "/var/lock";
    if (::access(folder.c_str(), W_OK) != 0) {
        GTEST_SKIP() << "no lock folder to write to";
    }
    LockFile lock(folder / QtLockName(pty.Path()), Hdb(::getppid()));
    std::unique_ptr<SerialLine> line = MakeSystemSerialLine();
    EXPECT_FALSE(line->Open(pty.Path()));
    EXPECT_EQ(line->LastOpenFailure(), OpenFailure::InUse);
    ExpectUntouched();
    EXPECT_EQ(lock.Content(), Hdb(::getppid()));
}

// A lock whose owner has ended is taken over however fresh it is, in the system's folder too,
// and the line's own lock is gone again after it.
TEST_F(WatchedLine, AFreshLockOfAnEndedOwnerIsTakenOver) {
    const fs::path folder = "/var/lock";
    if (::access(folder.c_str(), W_OK) != 0) {
        GTEST_SKIP() << "no lock folder to write to";
    }
    constexpr pid_t kEnded = 305;
    LockFile lock(folder / QtLockName(pty.Path()), Hdb(kEnded));
    LinePlatform platform = LinePlatform::System();
    platform.processProbe = [](long pid) { return pid == kEnded ? ESRCH : 0; };
    std::unique_ptr<SerialLine> line = MakeSystemSerialLine(platform);
    ASSERT_TRUE(line->Open(pty.Path()));
    EXPECT_EQ(lock.Content(), Hdb(::getpid()));
    line->Close();
    EXPECT_FALSE(fs::exists(folder / QtLockName(pty.Path())));
}

}  // namespace
