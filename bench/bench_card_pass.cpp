// A whole card pass as the tool runs it, without the dialogs: the card read of the port
// selection (open, identification, hardware bits, the registers of a KFT018 card, close) and
// the programming (open, the same registers written, close), through SerialPortParameter on the
// Qt serial line against the virtual card on a pseudo-terminal.
//
//   unpaced    the card answers at once: the time is the tool's own work (target: under 200 ms
//              for read and programming together).
//   paced      the card's line runs at 1200 baud: the wall time against the pure line time of
//              the bytes exchanged at 10 bits per byte (target: at most 1.02), and the tool's
//              CPU time against the wall time (target: under 5 %, so no busy waiting).
//   cdc_acm    paced, with the driver's queue reported as the cdc_acm driver reports it: a
//              whole USB transfer of 1280 bytes in flight at the first look after every write,
//              empty at the next (target: at most 1.01 of the line time).
//   trace      paced, with every frame traced to a file (target: at most 1.01).
//
// CPU time is that of the thread that runs the tool; the virtual card serves from a thread of
// its own, which is the card's work, not the tool's.
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/support/BenchCards.h"
#include "link/CardBatch.h"
#include "link/LineTrace.h"
#include "link/OutputDrain.h"
#include "link/QtSerialLine.h"
#include "link/SerialPlatform.h"
#include "link/SerialPortParameter.h"
#include "model/FirmwareVariant.h"
#include "model/RegisterImage.h"
#include "sim/VirtualCard.h"

namespace {

using namespace bench;

constexpr int kCdcAcmTransfer = 1280;

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double WallSeconds() {
    using Clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

// The card read of the port selection dialog.
bool ReadCard(SerialPortParameter& port, RegisterImage& image) {
    return ReadCardRegisters(port, image, {}).Ok();
}

// The programming of the programming dialog.
bool ProgramCard(SerialPortParameter& port, const RegisterImage& image) {
    return ProgramCardRegisters(port, image, {}).Ok();
}

// The system's platform, or one whose output queue overcounts as cdc_acm's does.
LinePlatform Platform(bool cdcAcm) {
    LinePlatform platform = LinePlatform::System();
    if (cdcAcm) {
        platform.outputQueue = [looks = 0](intptr_t handle) mutable {
            return looks++ % 2 == 0 ? std::optional<int>(kCdcAcmTransfer) : OutputQueued(handle);
        };
    }
    return platform;
}

// Args: the card's line rate (0 = unpaced), then what each iteration does: 0 read and
// programming, 1 read only, 2 programming only; then 1 for a queue reported as cdc_acm does;
// then 1 for a trace of every frame.
void BM_CardPass(benchmark::State& state) {
    const int baud = static_cast<int>(state.range(0));
    const auto part = state.range(1);
    const bool cdcAcm = state.range(2) != 0;
    const bool traced = state.range(3) != 0;
    const bool read = part != 2;
    const bool program = part != 1;

    CardConfig card = Kft018Card(baud);
    card.hardwareBits = 2;
    PtyCardServer server(card);
    if (!server.Start()) {
        state.SkipWithError("no pseudo-terminal for the virtual card");
        return;
    }
    setenv("BROVANE_COM1", server.DevicePath().c_str(), 1);
    std::unique_ptr<SerialLine> line = MakeSystemSerialLine(Platform(cdcAcm));
    if (traced) {
        const auto file = std::filesystem::temp_directory_path() / "brovane-bench-trace.txt";
        line = TraceLine(std::move(line), std::make_shared<TraceSink>(file), "COM1");
    }
    SerialPortParameter port(std::move(line));
    std::strcpy(port.PortName, "COM1");
    RegisterImage image;
    // The programming relies on the variant found by a read, as in the tool.
    if (!read && !ReadCard(port, image)) {
        state.SkipWithError("the first card read failed");
        return;
    }

    double wall = 0.0;
    double cpu = 0.0;
    for (auto _ : state) {
        const double wallStart = WallSeconds();
        const double cpuStart = ThreadCpuSeconds();
        const bool ok = (!read || ReadCard(port, image)) && (!program || ProgramCard(port, image));
        cpu += ThreadCpuSeconds() - cpuStart;
        wall += WallSeconds() - wallStart;
        if (!ok) {
            state.SkipWithError("a card command failed");
            return;
        }
        benchmark::DoNotOptimize(image);
    }

    const long exchanged = (read ? ReadBytes(port.FirmwareVariant) : 0) +
                           (program ? ProgrammingBytes(port.FirmwareVariant) : 0);
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["bytes"] = static_cast<double>(exchanged);
    state.counters["wall_ms"] = 1e3 * wall / iterations;
    state.counters["cpu_ms"] = 1e3 * cpu / iterations;
    state.counters["cpu_pct"] = 100.0 * cpu / wall;
    if (baud > 0) {
        const double lineSeconds = static_cast<double>(exchanged) * kLineBitsPerByte / baud;
        state.counters["line_s"] = lineSeconds;
        state.counters["ratio"] = wall / iterations / lineSeconds;
    }
}

BENCHMARK(BM_CardPass)
    ->ArgNames({"baud", "part", "cdc_acm", "trace"})
    ->Args({0, 0, 0, 0})
    ->Args({0, 1, 0, 0})
    ->Args({0, 2, 0, 0})
    ->Args({0, 0, 0, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One paced pass takes about 25.5 s of line time.
BENCHMARK(BM_CardPass)
    ->ArgNames({"baud", "part", "cdc_acm", "trace"})
    ->Args({kPacedBaud, 0, 0, 0})
    ->Args({kPacedBaud, 0, 1, 0})
    ->Args({kPacedBaud, 0, 0, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
