// The quorix-sim program as make run starts it: a child process ended by its PID.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/ScratchFolder.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

fs::path SimProgram() {
    return fs::read_symlink("/proc/self/exe").parent_path() / "quorix-sim";
}

std::string ReadAll(int fd, milliseconds within, size_t stopAtLines = 0) {
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd wait{fd, POLLIN, 0};
        if (::poll(&wait, 1, 50) <= 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        text.append(buffer, static_cast<size_t>(n));
        if (stopAtLines > 0 &&
            static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) >= stopAtLines) {
            break;
        }
    }
    return text;
}

// quorix-sim with its standard output and error on pipes; killed and reaped on every path out.
class SimProcess {
  public:
    explicit SimProcess(std::vector<std::string> args) {
        int out[2];
        int err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        const std::string program = SimProgram().string();
        args.insert(args.begin(), program);
        std::vector<char*> argv;
        for (auto& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        if (::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }
    ~SimProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            Wait();
        }
        ::close(out_);
        ::close(err_);
    }
    bool Signal(int number) const { return pid_ > 0 && ::kill(pid_, number) == 0; }
    // The exit status, or -1 when it did not end normally.
    int Wait() {
        int status = 0;
        const pid_t ended = pid_ > 0 ? ::waitpid(pid_, &status, 0) : -1;
        pid_ = -1;
        return ended > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string FirstLine() { return ReadAll(out_, milliseconds(5000), 1); }
    std::string Errors(milliseconds within) { return ReadAll(err_, within); }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
};

TEST(QuorixSim, ServesUntilSignalledAndDumpsItsRegisters) {
    const ScratchFolder scratch("quorix-cli");
    const fs::path& dir = scratch.Path();
    {
        std::ofstream registers(dir / "card.txt");
        registers << "# test card\n1 0125\n24-26 0203\n";
    }
    SimProcess sim({"--registers", (dir / "card.txt").string(), "--link", (dir / "tty").string(),
                    "--dump", (dir / "dump.txt").string()});
    const std::string line = sim.FirstLine();
    ASSERT_EQ(line.rfind("/dev/pts/", 0), 0u) << line;
    EXPECT_EQ(fs::read_symlink(dir / "tty").string() + "\n", line);

    ASSERT_TRUE(sim.Signal(SIGUSR1));
    const auto deadline = std::chrono::steady_clock::now() + milliseconds(5000);
    while (!fs::exists(dir / "dump.txt") && std::chrono::steady_clock::now() < deadline) {
        ::poll(nullptr, 0, 10);
    }
    ASSERT_TRUE(sim.Signal(SIGTERM));
    EXPECT_EQ(sim.Wait(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "tty")));
    std::ifstream dumpFile(dir / "dump.txt");
    std::stringstream dump;
    dump << dumpFile.rdbuf();
    EXPECT_NE(dump.str().find(" 1 0125"), std::string::npos) << dump.str();
    EXPECT_NE(dump.str().find("26 0203"), std::string::npos);
}

TEST(QuorixSim, ExplainsItsOptionsAndRefusesWrongOnes) {
    SimProcess help({"--help"});
    EXPECT_EQ(help.FirstLine().rfind("Usage: quorix-sim", 0), 0u);
    EXPECT_EQ(help.Wait(), 0);

    SimProcess wrong({"--fault", "loud"});
    EXPECT_NE(wrong.Errors(milliseconds(5000)).find("--fault loud"), std::string::npos);
    EXPECT_EQ(wrong.Wait(), 2);
}

}  // namespace
