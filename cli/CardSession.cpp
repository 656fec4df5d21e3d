#include "cli/CardSession.h"

#include <cstring>

#include "app/NoAnswerTexts.h"
#include "app/OpenFailureTexts.h"
#include "cli/CardLine.h"
#include "cli/ExitCodes.h"
#include "cli/InputFile.h"
#include "cli/Interrupt.h"
#include "cli/ShownText.h"
#include "link/CardIdentity.h"
#include "link/OpenFailure.h"
#include "link/PortMapping.h"
#include "link/QtSerialLine.h"
#include "link/SerialPlatform.h"
#include "model/FirmwareVariant.h"

namespace {

// What a silent card keeps the progress at: its identification runs for seconds.
constexpr const char* kIdentifying = "identifying the card";

// "COM1 (/dev/ttyUSB0)"; a device named directly is named once.
std::string Where(const SerialPortParameter& port) {
    const std::string label = PortLabel(port);
    const std::string device = Shown(port.OpenedDevice());
    return device.empty() || device == label ? label : label + " (" + device + ")";
}

}  // namespace

std::string PortLabel(const SerialPortParameter& port) {
    return Shown(port.NamedDevice().empty() ? std::string(port.PortName) : port.NamedDevice());
}

std::string Printable(const std::string& identity) {
    std::string text = identity;
    for (char& c : text) {
        if (c < ' ' || c > '~') {
            c = '?';
        }
    }
    return text;
}

std::unique_ptr<SerialPortParameter> NamePort(const std::string& name,
                                              std::unique_ptr<SerialLine> line,
                                              const PortOverrides& overrides) {
    auto port = std::make_unique<SerialPortParameter>(std::move(line));
    port->UsePortOverrides(overrides);
    if (KindOfTypedPort(name) == TypedPortKind::ListName) {
        std::strncpy(port->PortName, name.c_str(), sizeof port->PortName - 1);
    } else {
        port->NameDevice(name);
    }
    return port;
}

std::unique_ptr<SerialPortParameter> MakePort(CliContext& context, const std::string& name) {
    if (KindOfTypedPort(name) == TypedPortKind::NoPort) {
        context.err << "brovane-cli: \"" << Printable(name)
                    << "\" is no port: give COM1 to COM7 or a device path (./" << Printable(name)
                    << " for a file of that name)\n";
        return nullptr;
    }
    return NamePort(name, CardLine(context, name), context.overrides);
}

std::string OpenFailureWords(const SerialPortParameter& port) {
    const std::string device =
        port.OpenedDevice().empty() ? PortLabel(port) : Shown(port.OpenedDevice());
    return device + ": " + OpenFailureReasonText(port.LastOpenFailure());
}

void ReportPortFailure(CliContext& context, const SerialPortParameter& port, BatchFailure failure,
                       int failedRegister) {
    context.err << "brovane-cli: ";
    if (failure == BatchFailure::CannotOpen) {
        // The same words as Brovane's message, in the language of the language file.
        context.err << "cannot open "
                    << OpenFailureDetail(PortLabel(port), Shown(port.OpenedDevice()),
                                         port.LastOpenFailure())
                    << "\n";
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
    context.progress.Begin("checking " + PortLabel(port), 1);
    context.progress.Activity(kIdentifying);
    const BatchFailure failure = OpenAndIdentify(port);
    if (failure == BatchFailure::None) {
        context.progress.Step();
    }
    context.progress.End();
    if (failure != BatchFailure::None) {
        ReportPortFailure(context, port, failure);
    }
    return failure == BatchFailure::None;
}

CardReading ReadCard(CliContext& context, SerialPortParameter& port, BatchDevice device,
                     ReadStop stop) {
    RegisterImage image;
    // Opening, identification and hardware value, then the registers of the family; until the
    // identification tells the family, the bar counts with the longest.
    constexpr int kSetupSteps = 3;
    context.progress.Begin("reading " + PortLabel(port), kSetupSteps + MostExchangedRegisters());
    const BatchResult result = ReadCardRegisters(
        port, image,
        [&](BatchStage stage) {
            if (stage == BatchStage::Opened) {
                context.progress.Step();
                context.progress.Activity(kIdentifying);
                return;
            }
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
        if (stop == ReadStop::Report) {
            context.err
                << "brovane-cli: interrupted; the card was read in part and nothing was saved\n";
        }
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
    context.err << "brovane-cli: the card on " << PortLabel(port) << " is "
                << Printable(port.Identity) << " (family "
                << FamilyName(*FamilyOfVariant(port.FirmwareVariant)) << "), but " << file
                << " is for " << FamilyName(fileFamily) << consequence << "\n";
    return kExitFamilyMismatch;
}

int IdentifyCardOfFamily(CliContext& context, SerialPortParameter& port, const std::string& file,
                         FirmwareFamily fileFamily, const std::string& consequence) {
    if (!IdentifyCard(context, port)) {
        // An interrupt can end the identification's wait: it is the interrupt that ended it.
        return InterruptRequested() ? kExitInterrupted : kExitCardFailure;
    }
    if (FamilyOfVariant(port.FirmwareVariant) != fileFamily) {
        return ReportFamilyMismatch(context, port, file, fileFamily, consequence);
    }
    return kExitOk;
}

std::vector<std::string> CardDifferences(const CliContext& context, const CardConfiguration& wanted,
                                         const CardConfiguration& card) {
    return DescribeDifferences(AsReadFromTheCard(wanted), card, context.names, "the file",
                               "the card");
}
