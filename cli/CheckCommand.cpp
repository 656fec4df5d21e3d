// check: whether a card answers on a port, and why not; when it does, what it is and how each
// exchange compares with its bytes' time on the line.
#include <chrono>
#include <cstdio>

#include "cli/CardSession.h"
#include "cli/CommandUnits.h"
#include "cli/ExitCodes.h"
#include "link/CardFrame.h"
#include "link/OutputDrain.h"
#include "model/FirmwareVariant.h"

namespace {

struct TimedExchange {
    bool ok = false;
    std::chrono::microseconds time{0};
    size_t requestBytes = 0;
};

// One command of the port, timed; the request's length is that of the frame it sent.
template <typename Command>
TimedExchange Timed(SerialPortParameter& port, Command command) {
    const auto start = std::chrono::steady_clock::now();
    const bool ok = command();
    return {ok,
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                  start),
            port.FrameLength()};
}

// "identification: 12 bytes out, 68 back in 668 ms; line time 667 ms (1.00)"
std::string ExchangeLine(const char* name, const TimedExchange& exchange, size_t replyBytes) {
    const auto line = LineTime(exchange.requestBytes + replyBytes, kLineBaud);
    char text[160] = {};
    std::snprintf(
        text, sizeof text, "%s: %zu bytes out, %zu back in %.0f ms; line time %.0f ms (%.2f)", name,
        exchange.requestBytes, replyBytes, static_cast<double>(exchange.time.count()) / 1000.0,
        static_cast<double>(line.count()) / 1000.0,
        static_cast<double>(exchange.time.count()) / static_cast<double>(line.count()));
    return text;
}

}  // namespace

int CheckCommand(CliContext& context, const std::string& portName) {
    const std::unique_ptr<SerialPortParameter> port = MakePort(context, portName);
    if (!port) {
        return kExitBadInput;
    }
    if (!port->OpenPort()) {
        ReportPortFailure(context, *port, BatchFailure::CannotOpen);
        return kExitCardFailure;
    }
    const TimedExchange identify = Timed(*port, [&] { return port->Identify(); });
    const TimedExchange hardware =
        identify.ok ? Timed(*port, [&] { return port->ReadHardware(); }) : TimedExchange{};
    if (!hardware.ok) {
        ReportPortFailure(context, *port, BatchFailure::NoAnswer);
        return kExitCardFailure;
    }
    port->ClosePort();
    context.out << portName << " (" << port->OpenedDevice() << "): Quorix card "
                << Printable(port->Identity) << ", family "
                << FamilyName(*FamilyOfVariant(port->FirmwareVariant)) << ", hardware value "
                << port->HardwareBits << "\n"
                << ExchangeLine("identification", identify, card::kIdentifyReplyLength) << "\n"
                << ExchangeLine("hardware value", hardware, card::kHardwareReplyLength) << "\n";
    return kExitOk;
}
