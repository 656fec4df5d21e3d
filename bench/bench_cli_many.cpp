// brovane-cli writing with --verify to several KFT018 virtual cards at once, each paced at
// 1200 baud on a pseudo-terminal of its own, in process, without progress output. The wall
// time of the whole command against the pure line time of one card's bytes at 10 bits per
// byte: with every card on its own line and thread, n cards take the time of one (target: 4
// cards at most 1.05 x the time of one).
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/ProgramDirectory.h"
#include "bench/support/BenchCards.h"
#include "cli/Commands.h"
#include "link/OutputDrain.h"
#include "sim/VirtualCard.h"

namespace {

using namespace bench;

// Args: the number of cards.
void BM_ManyCards(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    ProgramDirectory = ExecutableDirectory();
    // The file comes from an unpaced card, so that making it costs no line time.
    PtyCardServer source(Kft018Card(0));
    if (!source.Start()) {
        state.SkipWithError("no pseudo-terminal for the virtual card");
        return;
    }
    setenv("BROVANE_COM1", source.DevicePath().c_str(), 1);
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("brovane-cli-many-" + std::to_string(::getpid()) + ".cfg"))
                                 .string();
    if (RunCliQuietly({"read", "COM1", "-o", file, "-q"}) != 0) {
        state.SkipWithError("the first read failed");
        return;
    }
    std::vector<std::unique_ptr<PtyCardServer>> cards;
    std::string ports;
    for (int n = 1; n <= count; ++n) {
        cards.push_back(std::make_unique<PtyCardServer>(Kft018Card(kPacedBaud, n)));
        if (!cards.back()->Start()) {
            state.SkipWithError("no pseudo-terminal for a virtual card");
            return;
        }
        // Each card by its device path: the port list names seven ports, a batch may hold more.
        ports += (n == 1 ? "" : ",") + cards.back()->DevicePath();
    }
    double wall = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int code = RunCliQuietly({"write", ports, file, "--verify", "-q"});
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (code != 0) {
            state.SkipWithError("the command failed");
            break;
        }
    }
    std::filesystem::remove(file);
    const double lineSeconds =
        static_cast<double>(WriteVerifyBytes(Kft018Variant())) * kLineBitsPerByte / kPacedBaud;
    state.counters["cards"] = count;
    state.counters["wall_s"] = wall / static_cast<double>(state.iterations());
    state.counters["line_s"] = lineSeconds;
    state.counters["ratio"] = wall / static_cast<double>(state.iterations()) / lineSeconds;
}

// About 25 s of line time per card; the cards' lines run side by side.
BENCHMARK(BM_ManyCards)
    ->ArgNames({"cards"})
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
