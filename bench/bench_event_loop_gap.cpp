// How long the event loop of the thread that runs a batch stays away, as the dialogs run their
// batches: a silent card, a read and a programming of a KFT018 on a line paced at 1200 baud, a
// programming whose card stops answering part-way. A timer ticks every kTickMs in the same
// thread; the longest gap between two ticks is what a window would wait before it could repaint
// or answer the window manager's ping. The windows' line waits in the event loop (responsive 1);
// brovane-cli's blocks (responsive 0), for comparison. What a window manager sees of the real
// program, its liveness ping, is measured by bench/ping-bench.sh.
//
//   scene  0 silent card, 1 paced read, 2 paced programming, 3 card silent from register 12
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <benchmark/benchmark.h>

#include "bench/support/BenchCards.h"
#include "link/CardBatch.h"
#include "link/QtSerialLine.h"
#include "link/SerialPlatform.h"
#include "link/SerialPortParameter.h"
#include "model/RegisterImage.h"
#include "sim/VirtualCard.h"

namespace {

constexpr int kTickMs = 5;

enum Scene { kSilent, kPacedRead, kPacedProgramming, kStopsPartWay };

// The longest time between two ticks of a timer while `batch` runs, in milliseconds.
template <typename Batch>
double LongestGap(const Batch& batch) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    ticker.start(kTickMs);
    batch();
    longest = std::max(longest, clock.elapsed() - last);
    return static_cast<double>(longest);
}

void BM_EventLoopGap(benchmark::State& state) {
    const auto scene = static_cast<Scene>(state.range(0));
    const bool responsive = state.range(1) != 0;
    PtyCardServer server(bench::Kft018Card(bench::kPacedBaud));
    if (!server.Start()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    for (int com = 1; com <= 7; ++com) {
        const std::string name = "BROVANE_COM" + std::to_string(com);
        setenv(name.c_str(), com == 1 ? server.DevicePath().c_str() : "/nonexistent", 1);
    }
    SerialPortParameter port(
        MakeSystemSerialLine(responsive ? LinePlatform::Responsive() : LinePlatform::System()));
    std::strcpy(port.PortName, "COM1");
    port.UsePortOverrides(ReadPortOverrides());
    RegisterImage image;
    double longest = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (scene == kPacedProgramming || scene == kStopsPartWay) {
            if (!ReadCardRegisters(port, image, {}).Ok()) {
                state.SkipWithError("the card read before the programming failed");
                break;
            }
        }
        if (scene == kSilent) {
            server.StopAnsweringAfter(0);
        } else if (scene == kStopsPartWay) {
            server.StopAnsweringAfter(10);
        }
        state.ResumeTiming();
        longest = std::max(longest, LongestGap([&] {
                               if (scene == kSilent || scene == kPacedRead) {
                                   ReadCardRegisters(port, image, {});
                               } else {
                                   ProgramCardRegisters(port, image, {});
                               }
                           }));
        state.PauseTiming();
        // A new card for the next round: the silent one answers again.
        server.Stop();
        if (!server.Start()) {
            state.SkipWithError("no pseudo-terminal");
            break;
        }
        setenv("BROVANE_COM1", server.DevicePath().c_str(), 1);
        port.UsePortOverrides(ReadPortOverrides());
        state.ResumeTiming();
    }
    state.counters["longest_gap_ms"] = longest;
}
BENCHMARK(BM_EventLoopGap)
    ->ArgsProduct({{kSilent, kPacedRead, kPacedProgramming, kStopsPartWay}, {1, 0}})
    ->ArgNames({"scene", "responsive"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
