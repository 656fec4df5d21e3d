#include "cli/CardSession.h"

#include <cstring>

#include "app/NoAnswerTexts.h"
#include "cli/CardLine.h"
#include "cli/ExitCodes.h"
#include "cli/Interrupt.h"
#include "link/CardIdentity.h"
#include "link/OpenFailure.h"
#include "link/QtSerialLine.h"
#include "model/FirmwareVariant.h"

namespace {

// PortName holds at most this many characters.
constexpr size_t kLongestPortName = sizeof SerialPortParameter::PortName - 1;

std::string Where(const SerialPortParameter& port) {
    return std::string(port.PortName) + " (" + port.OpenedDevice() + ")";
}

}  // namespace

std::string Printable(const std::string& identity) {
    std::string text = identity;
    for (char& c : text) {
        if (c < ' ' || c > '~') {
            c = '?';
        }
    }
    return text;
}

std::unique_ptr<SerialPortParameter> MakePort(CliContext& context, const std::string& name) {
    if (name.empty() || name.size() > kLongestPortName) {
        context.err << "brovane-cli: the port name \"" << Printable(name)
                    << "\" is not COM1 to COM7 or a name of at most " << kLongestPortName
                    << " characters\n";
        return nullptr;
    }
    auto port = std::make_unique<SerialPortParameter>(CardLine(context, name));
    std::strncpy(port->PortName, name.c_str(), kLongestPortName);
    return port;
}

void ReportPortFailure(CliContext& context, const SerialPortParameter& port, BatchFailure failure,
                       int failedRegister) {
    context.err << "brovane-cli: ";
    if (failure == BatchFailure::CannotOpen) {
        // The same device and reason as Brovane's message.
        context.err << "cannot open " << port.PortName << ": " << port.OpenFailureText() << "\n";
    } else if (!port.AnsweredIdentity().empty() &&
               !card::VariantOfIdentity(port.AnsweredIdentity().c_str())) {
        context.err << "the card on " << Where(port) << " answered with the identity \""
                    << Printable(port.AnsweredIdentity()) << "\", which this tool does not know\n";
    } else {
        context.err << Where(port) << ": " << NoAnswerLine(NoAnswerOf(port, failedRegister))
                    << "\n";
    }
}

BatchFailure OpenAndIdentify(SerialPortParameter& port) {
    if (!port.OpenPort()) {
        return BatchFailure::CannotOpen;
    }
    if (!port.Identify()) {
        return BatchFailure::NoAnswer;
    }
    port.ClosePort();
    return BatchFailure::None;
}

bool IdentifyCard(CliContext& context, SerialPortParameter& port) {
    const BatchFailure failure = OpenAndIdentify(port);
    if (failure != BatchFailure::None) {
        ReportPortFailure(context, port, failure);
    }
    return failure == BatchFailure::None;
}

CardReading ReadCard(CliContext& context, SerialPortParameter& port, BatchDevice device) {
    RegisterImage image;
    // Opening, identification and hardware value, then the registers of the family; until the
    // identification tells the family, the bar counts with the longest.
    constexpr int kSetupSteps = 3;
    context.progress.Begin(std::string("reading ") + port.PortName,
                           kSetupSteps + MostExchangedRegisters());
    const BatchResult result = ReadCardRegisters(
        port, image,
        [&](BatchStage stage) {
            if (stage == BatchStage::HardwareRead) {
                context.progress.SetTotal(
                    kSetupSteps +
                    static_cast<int>(ExchangedRegisters(port.FirmwareVariant).size()));
            }
            context.progress.Step();
        },
        InterruptRequested, device);
    context.progress.End();
    if (result.failure == BatchFailure::Stopped) {
        context.err
            << "brovane-cli: interrupted; the card was read in part and nothing was saved\n";
        return {std::nullopt, kExitInterrupted, result};
    }
    if (!result.Ok()) {
        ReportPortFailure(context, port, result.failure, result.failedRegister);
        return {std::nullopt, kExitCardFailure, result};
    }
    // A successful identification knows the family.
    return {CardConfiguration{*FamilyOfVariant(port.FirmwareVariant), image}, kExitOk, result};
}

int ReportFamilyMismatch(CliContext& context, const SerialPortParameter& port,
                         const std::string& file, FirmwareFamily fileFamily,
                         const std::string& consequence) {
    context.err << "brovane-cli: the card on " << port.PortName << " is "
                << Printable(port.Identity) << " (family "
                << FamilyName(*FamilyOfVariant(port.FirmwareVariant)) << "), but " << file
                << " is for " << FamilyName(fileFamily) << consequence << "\n";
    return kExitFamilyMismatch;
}
