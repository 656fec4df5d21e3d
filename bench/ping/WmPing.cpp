// wm-ping: asks a window whether its program's event loop runs, as a window manager does, and
// says how long each answer took.
//
//   wm-ping WINDOW-ID [INTERVAL-MS]
//
// Every INTERVAL-MS (default 20) it sends the window the window manager's liveness ping: a
// ClientMessage WM_PROTOCOLS with _NET_WM_PING, the ping's number in place of the timestamp and
// the window. The toolkit answers it from the event loop of the GUI thread by sending the same
// message to the root window with the masks SubstructureNotify and SubstructureRedirect. The
// window manager holds SubstructureRedirect on the root, but SubstructureNotify may be selected
// by any number of clients, and an event sent with several masks reaches every client that
// selected any of them: so this program selects SubstructureNotify on the root and sees each
// answer arrive. A ping's time is from its sending until its answer arrives.
//
// It pings until SIGTERM or SIGINT, then waits up to a second for the answers still out and
// prints one line:
//   pings=N answered=A longest_ms=X p99_ms=Y over_100ms=K
// A ping without an answer counts with the time it has waited. Exit code 0; 2 when the window
// does not exist or does not take the ping.
#include <poll.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) {
    stopRequested = 1;
}

constexpr double kSlowMs = 100.0;
constexpr auto kGrace = std::chrono::seconds(1);

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// True when the window lists the ping among the protocols it takes part in.
bool TakesPing(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t protocols,
               xcb_atom_t ping) {
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, protocols, XCB_ATOM_ATOM, 0, 64),
        nullptr));
    if (!reply || reply->format != 32) {
        return false;
    }
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    return std::find(atoms, atoms + count, ping) != atoms + count;
}

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

class Pinger {
  public:
    Pinger(xcb_connection_t* connection, xcb_window_t window, xcb_window_t root,
           xcb_atom_t protocols, xcb_atom_t ping)
        : connection_(connection),
          window_(window),
          root_(root),
          protocols_(protocols),
          ping_(ping) {}

    void Send() {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window_;
        event.type = protocols_;
        event.data.data32[0] = ping_;
        event.data.data32[1] = next_;
        event.data.data32[2] = window_;
        xcb_send_event(connection_, 0, window_, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(connection_);
        out_[next_++] = Clock::now();
    }

    // Takes the events that have arrived; false when the connection broke.
    bool Receive() {
        while (xcb_generic_event_t* raw = xcb_poll_for_event(connection_)) {
            const std::unique_ptr<xcb_generic_event_t, FreeDeleter> event(raw);
            if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) {
                continue;
            }
            const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(raw);
            if (message->window != root_ || message->type != protocols_ ||
                message->data.data32[0] != ping_ || message->data.data32[2] != window_) {
                continue;
            }
            const auto sent = out_.find(message->data.data32[1]);
            if (sent != out_.end()) {
                times_.push_back(Ms(Clock::now() - sent->second));
                out_.erase(sent);
            }
        }
        return xcb_connection_has_error(connection_) == 0;
    }

    bool AllAnswered() const { return out_.empty(); }

    void Report() {
        const auto now = Clock::now();
        std::vector<double> times = times_;
        for (const auto& [number, sent] : out_) {
            times.push_back(Ms(now - sent));
        }
        std::sort(times.begin(), times.end());
        const double longest = times.empty() ? 0.0 : times.back();
        const double p99 =
            times.empty() ? 0.0 : times[std::min(times.size() - 1, (times.size() * 99) / 100)];
        const auto slow =
            std::count_if(times.begin(), times.end(), [](double t) { return t >= kSlowMs; });
        std::printf("pings=%u answered=%zu longest_ms=%.1f p99_ms=%.1f over_100ms=%td\n", next_ - 1,
                    times_.size(), longest, p99, slow);
        std::fflush(stdout);
    }

  private:
    xcb_connection_t* connection_;
    xcb_window_t window_;
    xcb_window_t root_;
    xcb_atom_t protocols_;
    xcb_atom_t ping_;
    uint32_t next_ = 1;
    std::map<uint32_t, Clock::time_point> out_;
    std::vector<double> times_;
};

int Run(xcb_connection_t* connection, xcb_window_t window, int intervalMs) {
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    if (!geometry) {
        std::fprintf(stderr, "wm-ping: no window 0x%x\n", window);
        return 2;
    }
    const xcb_atom_t protocols = Atom(connection, "WM_PROTOCOLS");
    const xcb_atom_t ping = Atom(connection, "_NET_WM_PING");
    if (!TakesPing(connection, window, protocols, ping)) {
        std::fprintf(stderr, "wm-ping: window 0x%x has no _NET_WM_PING in WM_PROTOCOLS\n", window);
        return 2;
    }
    const xcb_window_t root = geometry->root;
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    Pinger pinger(connection, window, root, protocols, ping);
    const auto interval = std::chrono::milliseconds(intervalMs);
    auto nextPing = Clock::now();
    Clock::time_point stopAt{};
    pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (true) {
        const auto now = Clock::now();
        if (stopRequested && stopAt == Clock::time_point{}) {
            stopAt = now + kGrace;
        }
        if (stopAt != Clock::time_point{} && (pinger.AllAnswered() || now >= stopAt)) {
            break;
        }
        if (stopAt == Clock::time_point{} && now >= nextPing) {
            pinger.Send();
            nextPing += interval;
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
            (stopAt != Clock::time_point{} ? stopAt : nextPing) - Clock::now());
        poll(&descriptor, 1, static_cast<int>(std::clamp<long>(wait.count(), 0, intervalMs)));
        if (!pinger.Receive()) {
            std::fprintf(stderr, "wm-ping: the connection to the display broke\n");
            break;
        }
    }
    pinger.Report();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: wm-ping WINDOW-ID [INTERVAL-MS]\n");
        return 2;
    }
    const auto window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
    const int intervalMs = argc == 3 ? std::max(1, std::atoi(argv[2])) : 20;
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        std::fprintf(stderr, "wm-ping: cannot open the display\n");
        xcb_disconnect(connection);
        return 2;
    }
    const int code = Run(connection, window, intervalMs);
    xcb_disconnect(connection);
    return code;
}
