// The virtual card on a real pseudo-terminal, driven by a plain POSIX client.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/VirtualCard.h"
#include "tests/sim/frame_helpers.h"
#include "tests/support/ScratchFolder.h"

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;
using std::chrono::milliseconds;

// A raw client end of the pseudo-terminal, closed on every path out of a test.
class Client {
  public:
    explicit Client(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY)) {
        termios raw{};
        if (fd_ >= 0 && ::tcgetattr(fd_, &raw) == 0) {
            ::cfmakeraw(&raw);
            ::tcsetattr(fd_, TCSANOW, &raw);
        }
    }
    ~Client() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    bool Ok() const { return fd_ >= 0; }
    bool Send(const Bytes& bytes) {
        return ::write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    // Reads until `count` bytes came, the line ended, or the deadline passed.
    Bytes Receive(size_t count, milliseconds within, bool* ended = nullptr) {
        Bytes got;
        const auto deadline = Clock::now() + within;
        while (got.size() < count && Clock::now() < deadline) {
            pollfd wait{fd_, POLLIN, 0};
            const auto left =
                std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
            if (::poll(&wait, 1, static_cast<int>(std::max<long>(left, 0))) <= 0) {
                break;
            }
            uint8_t buffer[256];
            const ssize_t n = ::read(fd_, buffer, std::min(sizeof buffer, count - got.size()));
            if (n <= 0) {
                if (ended != nullptr) {
                    *ended = true;
                }
                break;
            }
            got.insert(got.end(), buffer, buffer + n);
        }
        return got;
    }

  private:
    int fd_;
};

TEST(PtyCardServer, AnswersOnThePseudoTerminalAndCleansUp) {
    const ScratchFolder scratch("quorix-test");
    const auto link = scratch / "card";
    PtyCardServer server(CardConfig{});
    ASSERT_TRUE(server.Start(link.string()));
    EXPECT_EQ(server.DevicePath(), link.string());
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), server.PtyPath());
    EXPECT_TRUE(server.Running());
    {
        Client client(server.DevicePath());
        ASSERT_TRUE(client.Ok());
        ASSERT_TRUE(client.Send(RequestFrame("XI00")));
        EXPECT_EQ(client.Receive(68, milliseconds(2000)).size(), 68u);
        ASSERT_TRUE(client.Send(RequestFrame("XS081002=>?0")));
        EXPECT_EQ(client.Receive(12, milliseconds(2000)).size(), 12u);
    }
    EXPECT_TRUE(server.WaitForCommands(2, milliseconds(2000)));
    EXPECT_EQ(server.Registers().Value(2), 0xDEF0);
    EXPECT_EQ(server.RegistersWritten(), std::vector<int>{2});
    server.ClearHistory();
    EXPECT_TRUE(server.RegistersWritten().empty());

    // The PC side may close and open the line again.
    {
        Client again(server.DevicePath());
        ASSERT_TRUE(again.Send(RequestFrame("XG041002")));
        EXPECT_EQ(again.Receive(16, milliseconds(2000)).size(), 16u);
    }
    server.Stop();
    EXPECT_FALSE(server.Running());
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

// At 1200 baud a byte takes 10/1200 s: the 12-byte request and the 68-byte reply of the
// identification take at least 80 byte times, the reply arriving bit by bit.
TEST(PtyCardServer, PacesTheLineLikeARealOne) {
    CardConfig config;
    config.baud = 1200;
    PtyCardServer server(config);
    ASSERT_TRUE(server.Start());
    Client client(server.DevicePath());
    ASSERT_TRUE(client.Ok());
    const auto start = Clock::now();
    ASSERT_TRUE(client.Send(RequestFrame("XI00")));
    const Bytes first = client.Receive(1, milliseconds(3000));
    const auto firstByte = Clock::now() - start;
    const Bytes rest = client.Receive(67, milliseconds(3000));
    const auto whole = Clock::now() - start;
    ASSERT_EQ(first.size() + rest.size(), 68u);
    EXPECT_GE(firstByte, milliseconds(13 * 10 * 1000 / 1200));
    EXPECT_GE(whole, milliseconds(80 * 10 * 1000 / 1200));
}

TEST(PtyCardServer, AHangUpClosesThePseudoTerminal) {
    PtyCardServer server(CardConfig{});
    ASSERT_TRUE(server.Start());
    Client client(server.DevicePath());
    server.InjectFault(CardFault::HangUp);
    ASSERT_TRUE(client.Send(RequestFrame("XD00")));
    bool ended = false;
    EXPECT_TRUE(client.Receive(28, milliseconds(3000), &ended).empty());
    EXPECT_TRUE(ended);
    EXPECT_FALSE(server.Running());
}

TEST(PtyCardServer, ASplitReplyPausesLongerThanASecond) {
    PtyCardServer server(CardConfig{});
    ASSERT_TRUE(server.Start());
    Client client(server.DevicePath());
    server.InjectFault(CardFault::SplitReply, 1);
    server.StopAnsweringAfter(3);
    ASSERT_TRUE(client.Send(RequestFrame("XD00")));
    EXPECT_EQ(client.Receive(28, milliseconds(2000)).size(), 28u);
    const auto start = Clock::now();
    ASSERT_TRUE(client.Send(RequestFrame("XD00")));
    EXPECT_EQ(client.Receive(28, milliseconds(1000)).size(), 14u);
    EXPECT_EQ(client.Receive(14, milliseconds(2000)).size(), 14u);
    EXPECT_GE(Clock::now() - start, milliseconds(1500));
    EXPECT_EQ(server.CommandCount(), 2);
}

}  // namespace
