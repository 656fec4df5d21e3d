// A whole card read as the port selection dialog runs it: identification, hardware bits and the
// 46 registers of a KFT018 card, through the Qt serial line against the unpaced virtual card.
#include <cstdlib>
#include <cstring>

#include <benchmark/benchmark.h>

#include "link/QtSerialLine.h"
#include "link/SerialPortParameter.h"
#include "model/RegisterImage.h"
#include "sim/VirtualCard.h"

namespace {

void BM_CardRead(benchmark::State& state) {
    PtyCardServer server{CardConfig{}};
    if (!server.Start()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    SerialPortParameter port(MakeSystemSerialLine());
    std::strcpy(port.PortName, "COM1");
    setenv("BROVANE_COM1", server.DevicePath().c_str(), 1);
    RegisterImage image;
    for (auto _ : state) {
        bool ok = port.OpenPort() && port.Identify() && port.ReadHardware();
        for (int reg = 0; ok && reg < RegisterImage::kRegisterCount; ++reg) {
            if (reg != 5 && reg != 6) {
                ok = port.TransferRegister(0, reg, image) == 1;
            }
        }
        port.ClosePort();
        if (!ok) {
            state.SkipWithError("the card read failed");
            break;
        }
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(BM_CardRead)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
