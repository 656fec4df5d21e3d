// write: a checked file to a card of the same family, with a part-way report when the card
// stops answering or the user interrupts.
#include "app/NoAnswerTexts.h"
#include "cli/CardSession.h"
#include "cli/CommandUnits.h"
#include "cli/ExitCodes.h"
#include "cli/Interrupt.h"
#include "model/FirmwareVariant.h"

namespace {

// What reached the card, what may have (a request sent without an answer) and what did not.
void ReportPartWrite(CliContext& context, const std::vector<int>& registers,
                     const BatchResult& result) {
    const auto done = registers.begin() + result.registersDone;
    const bool unknown = result.failedRequestSent && done != registers.end();
    context.err << "brovane-cli: "
                << (result.failure == BatchFailure::Stopped ? "interrupted; " : "")
                << "registers written to the card: " << RegisterRuns({registers.begin(), done});
    if (unknown) {
        context.err << "; sent, no answer: " << *done << " (its value on the card is unknown)";
    }
    context.err << "; not written: " << RegisterRuns({done + (unknown ? 1 : 0), registers.end()})
                << ". The card holds a mix of old and new settings: write the file again.\n";
}

}  // namespace

int WriteCommand(CliContext& context, const std::string& portName, const std::string& file,
                 bool verify) {
    const CardForFile found = IdentifyCardForFile(context, portName, file, "; nothing was written");
    if (found.exitCode != kExitOk) {
        return found.exitCode;
    }
    SerialPortParameter& port = *found.port;
    const CardConfiguration& wanted = *found.wanted;

    const std::vector<int> registers = ExchangedRegisters(port.FirmwareVariant);
    context.progress.Begin("writing " + portName, 1 + static_cast<int>(registers.size()));
    const BatchResult result = ProgramCardRegisters(
        port, wanted.image, [&](BatchStage) { context.progress.Step(); }, InterruptRequested);
    context.progress.End();
    if (result.failure == BatchFailure::CannotOpen) {
        ReportPortFailure(context, port, result.failure);
        return kExitCardFailure;
    }
    if (!result.Ok()) {
        if (result.failure == BatchFailure::NoAnswer) {
            ReportPortFailure(context, port, result.failure, result.failedRegister);
        }
        ReportPartWrite(context, registers, result);
        return result.failure == BatchFailure::Stopped ? kExitInterrupted : kExitCardFailure;
    }
    const std::string what = std::to_string(registers.size()) + " registers of " + file;
    const std::string card = portName + " (" + Printable(port.Identity) + ")";
    if (!verify) {
        context.out << "wrote " << what << " to " << card << "\n";
        return kExitOk;
    }
    // Read back from the device that was written, whatever the port name leads to now.
    const CardReading reading = ReadCard(context, port, BatchDevice::CardDevice);
    if (!reading.card) {
        return reading.exitCode;
    }
    return ReportDifferences(context, CardDifferences(context, wanted, *reading.card),
                             "wrote and verified " + what + " on " + card);
}
