// Programs such as minicom and cu announce their use of a device with a UUCP lock file. A lock
// whose owner lives keeps Brovane off the line: nothing on it changes and the lock stays.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "link/QtSerialLine.h"
#include "tests/support/LineWatch.h"
#include "tests/support/PseudoTerminal.h"

namespace {

namespace fs = std::filesystem;

// A process that has ended: its number names no living process.
pid_t EndedProcess() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

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
    std::string Content() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

  private:
    fs::path path_;
};

struct LockCase {
    const char* name;
    std::function<std::string(pid_t)> format;
    bool ownerLives;
};

class LockOf : public WatchedLine, public testing::WithParamInterface<LockCase> {};

TEST_P(LockOf, ALivingOwnerKeepsTheLineAndTheLockAndAnEndedOneDoesNot) {
    const fs::path folder =
        fs::path(::testing::TempDir()) / ("brovane-locks-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string content =
        GetParam().format(GetParam().ownerLives ? ::getppid() : EndedProcess());
    {
        LockFile lock(folder / ("LCK.." + fs::path(pty.Path()).filename().string()), content);
        LinePlatform platform = LinePlatform::System();
        platform.lockDirectories = {folder};
        std::unique_ptr<SerialLine> line = MakeSystemSerialLine(platform);
        if (GetParam().ownerLives) {
            EXPECT_FALSE(line->Open(pty.Path()));
            EXPECT_EQ(line->LastOpenFailure(), OpenFailure::InUse);
            ExpectUntouched();
            EXPECT_EQ(lock.Content(), content);
        } else {
            EXPECT_TRUE(line->Open(pty.Path()));
            line->Close();
        }
    }
    fs::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, LockOf,
    testing::Values(LockCase{"HdbLiving", Hdb, true}, LockCase{"HdbEnded", Hdb, false},
                    LockCase{"MinicomLiving", Minicom, true},
                    LockCase{"MinicomEnded", Minicom, false},
                    LockCase{"BinaryLiving", Binary, true}, LockCase{"BinaryEnded", Binary, false},
                    // Being written by its owner this very moment.
                    LockCase{"Empty", [](pid_t) { return std::string(); }, true}),
    [](const testing::TestParamInfo<LockCase>& info) { return std::string(info.param.name); });

// Qt takes a lock in the ten-digit HDB format for stale and deletes it: the lock is looked at
// before Qt opens the device, in the folder where Qt itself would look.
TEST_F(WatchedLine, QtNeverDeletesALivingProgramsLockInTheSystemsFolder) {
    const fs::path folder = "/var/lock";
    if (::access(folder.c_str(), W_OK) != 0) {
        GTEST_SKIP() << "no lock folder to write to";
    }
    // Qt's name for /dev/pts/N below /dev.
    const std::string name =
        "LCK.." + pty.Path().substr(5).replace(pty.Path().find('/', 5) - 5, 1, "_");
    LockFile lock(folder / name, Hdb(::getppid()));
    std::unique_ptr<SerialLine> line = MakeSystemSerialLine();
    EXPECT_FALSE(line->Open(pty.Path()));
    EXPECT_EQ(line->LastOpenFailure(), OpenFailure::InUse);
    ExpectUntouched();
    EXPECT_EQ(lock.Content(), Hdb(::getppid()));
}

}  // namespace
