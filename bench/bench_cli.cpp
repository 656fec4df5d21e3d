// brovane-cli against a KFT018 virtual card on a pseudo-terminal: `read` and `write --verify`
// as a technician runs them, in process, without progress output.
//
//   unpaced    the card answers at once: the time is the program's own work.
//   paced      the card's line runs at 1200 baud: the wall time against the pure line time of
//              the bytes exchanged at 10 bits per byte (target: at most 1.01 for each command).
#include <unistd.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include <benchmark/benchmark.h>

#include "app/ProgramDirectory.h"
#include "cli/Commands.h"
#include "model/FirmwareVariant.h"
#include "sim/VirtualCard.h"

namespace {

constexpr int kKft018Variant = 2;
constexpr int kPacedBaud = 1200;
constexpr double kBitsPerByte = 10.0;
constexpr double kLimitRatio = 1.01;

// Bytes on the wire, request and reply: identification, hardware value, one register read and
// one register write.
constexpr long kIdentifyBytes = 12 + 68;
constexpr long kHardwareBytes = 12 + 28;
constexpr long kRegisterReadBytes = 16 + 16;
constexpr long kRegisterWriteBytes = 20 + 12;

long ReadBytes() {
    const auto registers = static_cast<long>(ExchangedRegisters(kKft018Variant).size());
    return kIdentifyBytes + kHardwareBytes + registers * kRegisterReadBytes;
}

// The identification before the write, the writes, then a whole read back.
long WriteVerifyBytes() {
    const auto registers = static_cast<long>(ExchangedRegisters(kKft018Variant).size());
    return kIdentifyBytes + registers * kRegisterWriteBytes + ReadBytes();
}

CardConfig Kft018Card(int baud) {
    CardConfig config;
    config.baud = baud;
    for (int reg = 0; reg < RegisterImage::kRegisterCount; ++reg) {
        config.registers.SetValue(reg, static_cast<uint16_t>(0x0101 * reg + 0x21));
    }
    return config;
}

int Run(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    return RunCli(arguments, out, err, false);
}

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
    if (write && Run({"read", "COM1", "-o", file, "-q"}) != kExitOk) {
        state.SkipWithError("the first read failed");
        return;
    }
    double wall = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int code = write ? Run({"write", "COM1", file, "--verify", "-q"})
                               : Run({"read", "COM1", "-o", file, "-q"});
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (code != kExitOk) {
            state.SkipWithError("the command failed");
            break;
        }
    }
    std::filesystem::remove(file);
    const long bytes = write ? WriteVerifyBytes() : ReadBytes();
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["wall_ms"] = 1e3 * wall / iterations;
    if (baud > 0) {
        const double ratio = wall / iterations / (static_cast<double>(bytes) * kBitsPerByte / baud);
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

}  // namespace
