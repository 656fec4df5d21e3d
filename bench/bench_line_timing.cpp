// The Qt serial line's own waits, in wall time, against the virtual card on a pseudo-terminal:
//
//   silent_read     a read that gets no answer: about 1000 ms, sleeping (CPU time near zero).
//   blocked_write   a write nobody takes off the line: about 1000 ms.
//   split_reply     an exchange whose reply pauses longer than a read window: five windows.
//   identify_1200   the identification at 1200 baud: request, then the 68-byte reply
//                   (about 660 ms of line time).
//   hang_up         a card that goes away when the command arrives: the command fails at once.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/support/BenchCards.h"
#include "link/OutputDrain.h"
#include "link/QtSerialLine.h"
#include "link/SerialPortParameter.h"
#include "model/RegisterImage.h"
#include "sim/VirtualCard.h"

namespace {

using namespace bench;

// The port's line to a started card on COM1; false when no pseudo-terminal could be made.
bool OpenCard(PtyCardServer& server, SerialPortParameter& port) {
    if (!server.Start()) {
        return false;
    }
    setenv("BROVANE_COM1", server.DevicePath().c_str(), 1);
    std::strcpy(port.PortName, "COM1");
    return port.OpenPort();
}

void BM_SilentRead(benchmark::State& state) {
    PtyCardServer server(Kft018Card(0));
    SerialPortParameter port(MakeSystemSerialLine());
    if (!OpenCard(server, port)) {
        state.SkipWithError("no pseudo-terminal for the virtual card");
        return;
    }
    uint8_t buffer[16];
    for (auto _ : state) {
        if (port.Line().Read(buffer, sizeof buffer) != 0) {
            state.SkipWithError("something arrived unasked");
            break;
        }
    }
    port.ClosePort();
}
BENCHMARK(BM_SilentRead)->Name("silent_read")->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_BlockedWrite(benchmark::State& state) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    const std::string device = ::ptsname(master);
    std::unique_ptr<SerialLine> line = MakeSystemSerialLine();
    const std::vector<uint8_t> flood(1 << 20, 'X');
    for (auto _ : state) {
        if (!line->Open(device) || line->Write(flood.data(), flood.size())) {
            state.SkipWithError("the write did not fail");
            break;
        }
        line->Close();
    }
    ::close(master);
}
BENCHMARK(BM_BlockedWrite)
    ->Name("blocked_write")
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_SplitReply(benchmark::State& state) {
    PtyCardServer server(Kft018Card(0));
    SerialPortParameter port(MakeSystemSerialLine());
    if (!OpenCard(server, port) || !port.Identify()) {
        state.SkipWithError("no card");
        return;
    }
    RegisterImage image;
    for (auto _ : state) {
        server.InjectFault(CardFault::SplitReply);
        if (port.TransferRegister(0, 8, image) != 0) {
            state.SkipWithError("a split reply was taken");
            break;
        }
        state.PauseTiming();
        const bool again = port.OpenPort() && port.Identify();
        state.ResumeTiming();
        if (!again) {
            state.SkipWithError("the line did not open again");
            break;
        }
    }
    port.ClosePort();
}
BENCHMARK(BM_SplitReply)
    ->Name("split_reply")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_Identify(benchmark::State& state) {
    PtyCardServer server(Kft018Card(kPacedBaud));
    SerialPortParameter port(MakeSystemSerialLine());
    if (!OpenCard(server, port)) {
        state.SkipWithError("no pseudo-terminal for the virtual card");
        return;
    }
    for (auto _ : state) {
        if (!port.Identify()) {
            state.SkipWithError("the card did not answer");
            break;
        }
    }
    port.ClosePort();
    state.counters["line_ms"] =
        1e3 * static_cast<double>(kIdentifyBytes) * kLineBitsPerByte / kPacedBaud;
}
BENCHMARK(BM_Identify)
    ->Name("identify_1200")
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_HangUp(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        PtyCardServer server(Kft018Card(0));
        SerialPortParameter port(MakeSystemSerialLine());
        const bool ready = OpenCard(server, port) && port.Identify();
        server.InjectFault(CardFault::HangUp);
        state.ResumeTiming();
        if (!ready || port.ReadHardware()) {
            state.SkipWithError("the card did not go away");
            break;
        }
    }
}
BENCHMARK(BM_HangUp)->Name("hang_up")->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
