// brovane-cli against a KFT018 virtual card on a pseudo-terminal: `read` and `write --verify`
// as a technician runs them, in process, without progress output.
//
//   unpaced    the card answers at once: the time is the program's own work.
//   paced      the card's line runs at 1200 baud: the wall time against the pure line time of
//              the bytes exchanged at 10 bits per byte (target: at most 1.01 for each command).
//   probe      `ports --probe` over two silent cards and one that answers: the silent ones are
//              probed side by side, so the whole takes one identification timeout (five reads
//              of one second), not two.
#include <unistd.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include <benchmark/benchmark.h>

#include "app/ProgramDirectory.h"
#include "bench/support/BenchCards.h"
#include "cli/Commands.h"
#include "link/OutputDrain.h"
#include "sim/VirtualCard.h"

namespace {

using namespace bench;

constexpr double kLimitRatio = 1.01;

// Args: the card's line rate (0 = unpaced), then the command: 0 read, 1 write --verify.
void BM_Cli(benchmark::State& state) {
    const int baud = static_cast<int>(state.range(0));
    const bool write = state.range(1) == 1;
    ProgramDirectory = ExecutableDirectory();
    PtyCardServer server(Kft018Card(baud));
    if (!server.Start()) {
        state.SkipWithError("no pseudo-terminal for the virtual card");
        return;
    }
    setenv("BROVANE_COM1", server.DevicePath().c_str(), 1);
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("brovane-cli-bench-" + std::to_string(::getpid()) + ".cfg"))
                                 .string();
    if (write && RunCliQuietly({"read", "COM1", "-o", file, "-q"}) != kExitOk) {
        state.SkipWithError("the first read failed");
        return;
    }
    double wall = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int code = write ? RunCliQuietly({"write", "COM1", file, "--verify", "-q"})
                               : RunCliQuietly({"read", "COM1", "-o", file, "-q"});
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (code != kExitOk) {
            state.SkipWithError("the command failed");
            break;
        }
    }
    std::filesystem::remove(file);
    const long bytes = write ? WriteVerifyBytes(Kft018Variant()) : ReadBytes(Kft018Variant());
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["wall_ms"] = 1e3 * wall / iterations;
    if (baud > 0) {
        const double ratio =
            wall / iterations / (static_cast<double>(bytes) * kLineBitsPerByte / baud);
        state.counters["ratio"] = ratio;
        if (ratio > kLimitRatio) {
            state.SkipWithError("slower than 1.01 x the line time of its bytes");
        }
    }
}

BENCHMARK(BM_Cli)
    ->ArgNames({"baud", "write"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// About 13 s (read) and 26 s (write --verify) of line time.
BENCHMARK(BM_Cli)
    ->ArgNames({"baud", "write"})
    ->Args({kPacedBaud, 0})
    ->Args({kPacedBaud, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_ProbeSilentPorts(benchmark::State& state) {
    ProgramDirectory = ExecutableDirectory();
    PtyCardServer silent1(Kft018Card(0));
    PtyCardServer answering(Kft018Card(0));
    PtyCardServer silent3(Kft018Card(0));
    int number = 1;
    for (PtyCardServer* card : {&silent1, &answering, &silent3}) {
        if (!card->Start()) {
            state.SkipWithError("no pseudo-terminal for the virtual card");
            return;
        }
        setenv(("BROVANE_COM" + std::to_string(number++)).c_str(), card->DevicePath().c_str(), 1);
    }
    silent1.StopAnsweringAfter(0);
    silent3.StopAnsweringAfter(0);
    for (; number <= 7; ++number) {
        setenv(("BROVANE_COM" + std::to_string(number)).c_str(), "/nonexistent/brovane-card", 1);
    }
    for (auto _ : state) {
        if (RunCliQuietly({"ports", "--probe"}) != kExitOk) {
            state.SkipWithError("the probe failed");
            break;
        }
    }
}
BENCHMARK(BM_ProbeSilentPorts)
    ->Name("probe")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
