#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>

#include "sim/VirtualCard.h"

namespace {

using Clock = std::chrono::steady_clock;

// A byte on the line takes 10 bit times: start bit, 8 data bits, stop bit.
Clock::duration ByteTime(int baud) {
    if (baud <= 0) {
        return Clock::duration::zero();
    }
    return std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(10'000'000'000LL) /
                                                       baud);
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

}  // namespace

struct PtyCardServer::State {
    explicit State(CardConfig config) : byteTime(ByteTime(config.baud)), card(std::move(config)) {}

    void Serve();
    // Hands the bytes that have crossed the line by `now` to the card and schedules its reply.
    void DeliverArrived(Clock::time_point now);
    // Writes what is due by `now`; false when the pseudo-terminal failed.
    bool SendDue(Clock::time_point now);
    void HangUp();

    const Clock::duration byteTime;

    mutable std::mutex mutex;  // guards card and the flags below
    mutable std::condition_variable changed;
    Card card;
    bool running = false;

    int master = -1;
    int slave = -1;  // kept open so that the PC side may close and reopen the line
    int wake[2] = {-1, -1};
    std::string ptyPath;
    std::string linkPath;
    std::thread thread;

    // Used by the serving thread only.
    std::deque<std::pair<Clock::time_point, uint8_t>> incoming;  // bytes still on the line
    std::deque<std::pair<Clock::time_point, std::vector<uint8_t>>> outgoing;
    std::vector<uint8_t> unsent;  // due, but the pseudo-terminal took no more yet
    Clock::time_point inputFreeAt{};
    Clock::time_point outputFreeAt{};
};

void PtyCardServer::State::DeliverArrived(Clock::time_point now) {
    std::vector<uint8_t> arrived;
    while (!incoming.empty() && incoming.front().first <= now) {
        arrived.push_back(incoming.front().second);
        incoming.pop_front();
    }
    if (arrived.empty()) {
        return;
    }
    std::vector<CardReplyPiece> pieces;
    {
        std::lock_guard lock(mutex);
        pieces = card.Receive(arrived.data(), arrived.size());
    }
    changed.notify_all();
    // A reply starts when the request has arrived and the line is free.
    Clock::time_point at = std::max(now, outputFreeAt);
    for (auto& piece : pieces) {
        at += std::chrono::milliseconds(piece.pauseBeforeMs);
        if (byteTime == Clock::duration::zero()) {
            outgoing.emplace_back(at, std::move(piece.bytes));
            continue;
        }
        for (uint8_t byte : piece.bytes) {
            at += byteTime;
            outgoing.emplace_back(at, std::vector<uint8_t>{byte});
        }
    }
    outputFreeAt = at;
}

bool PtyCardServer::State::SendDue(Clock::time_point now) {
    while (!outgoing.empty() && outgoing.front().first <= now) {
        auto& bytes = outgoing.front().second;
        unsent.insert(unsent.end(), bytes.begin(), bytes.end());
        outgoing.pop_front();
    }
    while (!unsent.empty()) {
        const ssize_t n = ::write(master, unsent.data(), unsent.size());
        if (n < 0) {
            return errno == EAGAIN || errno == EINTR;
        }
        unsent.erase(unsent.begin(), unsent.begin() + n);
    }
    return true;
}

void PtyCardServer::State::HangUp() {
    // Stop counting as running before the PC side can see the hang-up.
    {
        std::lock_guard lock(mutex);
        running = false;
    }
    CloseFd(master);
    CloseFd(slave);
    changed.notify_all();
}

void PtyCardServer::State::Serve() {
    uint8_t buffer[256];
    for (;;) {
        const auto now = Clock::now();
        DeliverArrived(now);
        bool hungUp;
        {
            std::lock_guard lock(mutex);
            hungUp = card.HungUp();
        }
        if (hungUp || !SendDue(now)) {
            HangUp();
            return;
        }

        // Sleep until the next byte crosses the line, the next reply byte is due, or the PC
        // sends something.
        auto next = Clock::time_point::max();
        if (!incoming.empty()) {
            next = std::min(next, incoming.front().first);
        }
        if (!outgoing.empty()) {
            next = std::min(next, outgoing.front().first);
        }
        timespec timeout{};
        timespec* timeoutPointer = nullptr;
        if (next != Clock::time_point::max()) {
            const auto wait = std::max(next - Clock::now(), Clock::duration::zero());
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
            timeout.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
            timeout.tv_nsec = static_cast<long>(ns % 1'000'000'000);
            timeoutPointer = &timeout;
        }
        pollfd fds[2] = {{master, static_cast<short>(POLLIN | (unsent.empty() ? 0 : POLLOUT)), 0},
                         {wake[0], POLLIN, 0}};
        if (::ppoll(fds, 2, timeoutPointer, nullptr) < 0 && errno != EINTR) {
            HangUp();
            return;
        }
        if (fds[1].revents != 0) {
            return;  // Stop
        }
        if ((fds[0].revents & POLLIN) == 0 && (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL))) {
            HangUp();
            return;
        }
        if (fds[0].revents & POLLIN) {
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            const auto arrival = Clock::now();
            for (ssize_t i = 0; i < n; ++i) {
                inputFreeAt = std::max(inputFreeAt, arrival) + byteTime;
                incoming.emplace_back(inputFreeAt, buffer[i]);
            }
        }
    }
}

PtyCardServer::PtyCardServer(CardConfig config)
    : state_(std::make_unique<State>(std::move(config))) {}

PtyCardServer::~PtyCardServer() {
    Stop();
}

bool PtyCardServer::Start(const std::string& symlinkPath) {
    State& s = *state_;
    if (s.thread.joinable() || s.master >= 0) {
        return false;
    }
    s.master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128];
    if (s.master < 0 || ::grantpt(s.master) != 0 || ::unlockpt(s.master) != 0 ||
        ::ptsname_r(s.master, name, sizeof name) != 0) {
        CloseFd(s.master);
        return false;
    }
    s.ptyPath = name;
    s.slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    if (s.slave < 0 || ::tcgetattr(s.slave, &raw) != 0) {
        CloseFd(s.slave);
        CloseFd(s.master);
        return false;
    }
    // Raw from the start: no echo and no translation, even before the PC side configures it.
    ::cfmakeraw(&raw);
    ::tcsetattr(s.slave, TCSANOW, &raw);
    ::fcntl(s.master, F_SETFL, ::fcntl(s.master, F_GETFL) | O_NONBLOCK);
    if (::pipe2(s.wake, O_CLOEXEC) != 0) {
        CloseFd(s.slave);
        CloseFd(s.master);
        return false;
    }
    if (!symlinkPath.empty()) {
        s.linkPath = AbsolutePath(symlinkPath);
        std::error_code error;
        if (std::filesystem::is_symlink(s.linkPath, error)) {
            std::filesystem::remove(s.linkPath, error);  // left behind by an earlier run
        }
        if (::symlink(s.ptyPath.c_str(), s.linkPath.c_str()) != 0) {
            s.linkPath.clear();
            Stop();
            return false;
        }
    }
    {
        std::lock_guard lock(s.mutex);
        s.running = true;
    }
    s.thread = std::thread([&s] { s.Serve(); });
    return true;
}

void PtyCardServer::Stop() {
    State& s = *state_;
    if (s.thread.joinable()) {
        const char stop = 1;
        [[maybe_unused]] const ssize_t n = ::write(s.wake[1], &stop, 1);
        s.thread.join();
    }
    CloseFd(s.master);
    CloseFd(s.slave);
    CloseFd(s.wake[0]);
    CloseFd(s.wake[1]);
    if (!s.linkPath.empty()) {
        // Only our own link: another card may have taken the path since.
        std::error_code error;
        if (std::filesystem::read_symlink(s.linkPath, error) == s.ptyPath) {
            std::filesystem::remove(s.linkPath, error);
        }
        s.linkPath.clear();
    }
    {
        std::lock_guard lock(s.mutex);
        s.running = false;
    }
    s.changed.notify_all();
}

std::string PtyCardServer::DevicePath() const {
    return state_->linkPath.empty() ? state_->ptyPath : state_->linkPath;
}

std::string PtyCardServer::PtyPath() const {
    return state_->ptyPath;
}

bool PtyCardServer::Running() const {
    std::lock_guard lock(state_->mutex);
    return state_->running;
}

void PtyCardServer::InjectFault(CardFault fault, int commandsFromNow, int count) {
    std::lock_guard lock(state_->mutex);
    state_->card.InjectFault(fault, commandsFromNow, count);
}

void PtyCardServer::StopAnsweringAfter(int commands) {
    std::lock_guard lock(state_->mutex);
    state_->card.StopAnsweringAfter(commands);
}

RegisterImage PtyCardServer::Registers() const {
    std::lock_guard lock(state_->mutex);
    return state_->card.Registers();
}

std::vector<int> PtyCardServer::RegistersRead() const {
    std::lock_guard lock(state_->mutex);
    return state_->card.RegistersRead();
}

std::vector<int> PtyCardServer::RegistersWritten() const {
    std::lock_guard lock(state_->mutex);
    return state_->card.RegistersWritten();
}

int PtyCardServer::CommandCount() const {
    std::lock_guard lock(state_->mutex);
    return state_->card.CommandCount();
}

void PtyCardServer::ClearHistory() {
    std::lock_guard lock(state_->mutex);
    state_->card.ClearHistory();
}

bool PtyCardServer::WaitForCommands(int commands, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(state_->mutex);
    state_->changed.wait_for(
        lock, timeout, [&] { return state_->card.CommandCount() >= commands || !state_->running; });
    return state_->card.CommandCount() >= commands;
}
