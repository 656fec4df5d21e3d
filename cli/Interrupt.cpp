#include "cli/Interrupt.h"

#include <atomic>
#include <csignal>

#include "cli/ExitCodes.h"

#ifdef _WIN32
#include <windows.h>
#include <cstdlib>
#else
#include <unistd.h>
#endif

namespace {

// The one process-wide flag: a signal handler can reach nothing else. Atomic, because the
// threads of several ports read it while the handler may set it on any of them.
std::atomic<int> interrupted{0};
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler needs a lock-free flag");

#ifdef _WIN32
BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        return FALSE;
    }
    if (interrupted != 0) {
        std::_Exit(kExitInterrupted);
    }
    interrupted = 1;
    return TRUE;
}
#else
void OnSignal(int) {
    if (interrupted != 0) {
        ::_exit(kExitInterrupted);
    }
    interrupted = 1;
}
#endif

}  // namespace

void CatchInterrupts() {
#ifdef _WIN32
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
#else
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // The exchange in flight goes on: its reads and writes restart after the handler.
    action.sa_flags = SA_RESTART;
    // A dropped ssh session (SIGHUP) ends a write as a termination request does: with a report.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
    // Beyond the file size limit a write then fails with EFBIG, which is reported and whose
    // file is cleaned up, instead of ending the process.
    ::signal(SIGXFSZ, SIG_IGN);
#endif
}

bool InterruptRequested() {
    return interrupted != 0;
}
