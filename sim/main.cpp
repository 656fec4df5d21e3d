// quorix-sim: the virtual Quorix card on a pseudo-terminal (see --help).
#include <signal.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "sim/RegisterFile.h"
#include "sim/SimOptions.h"
#include "sim/VirtualCard.h"

namespace {

void WriteDump(const PtyCardServer& server, const std::string& path) {
    const std::string dump = FormatRegisterDump(server.Registers());
    if (path.empty()) {
        std::fputs(dump.c_str(), stderr);
        return;
    }
    std::ofstream file(path, std::ios::trunc);
    file << dump;
    if (!file) {
        std::fprintf(stderr, "quorix-sim: cannot write the dump to %s\n", path.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    SimOptions options;
    std::string error;
    if (!ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "quorix-sim: %s\nTry quorix-sim --help.\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(SimUsage().c_str(), stdout);
        return 0;
    }

    // The signals are taken by sigtimedwait below; blocked before the serving thread starts,
    // so that it inherits the mask.
    sigset_t signals;
    sigemptyset(&signals);
    for (int number : {SIGTERM, SIGINT, SIGUSR1, SIGHUP}) {
        sigaddset(&signals, number);
    }
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    PtyCardServer server(options.config);
    for (const auto& fault : options.faults) {
        server.InjectFault(fault.fault, fault.command - 1, fault.count);
    }
    if (options.stopAfter >= 0) {
        server.StopAnsweringAfter(options.stopAfter);
    }
    if (!server.Start(options.linkPath)) {
        std::fprintf(stderr, "quorix-sim: cannot create the pseudo-terminal%s\n",
                     options.linkPath.empty() ? "" : " or its symlink");
        return 1;
    }
    std::printf("%s\n", server.PtyPath().c_str());
    std::fflush(stdout);

    const timespec tick{0, 200'000'000};
    while (server.Running()) {
        const int number = sigtimedwait(&signals, nullptr, &tick);
        if (number == SIGUSR1) {
            WriteDump(server, options.dumpPath);
        } else if (number > 0) {
            break;
        }
    }
    server.Stop();
    WriteDump(server, options.dumpPath);
    return 0;
}
