// verify: whether a card holds a file's configuration.
#include "cli/CardSession.h"
#include "cli/CommandUnits.h"
#include "cli/ExitCodes.h"
#include "cli/InputFile.h"
#include "cli/Interrupt.h"
#include "model/FirmwareVariant.h"

int VerifyCommand(CliContext& context, const std::string& portName, const std::string& file) {
    const std::optional<CardConfiguration> wanted =
        LoadConfigFile(context, file, FileUse::BeforeSending);
    if (!wanted) {
        return kExitBadInput;
    }
    const std::unique_ptr<SerialPortParameter> port = MakePort(context, portName);
    if (!port) {
        return kExitBadInput;
    }
    // A card of another family is refused after its identification, as write refuses it.
    if (!IdentifyCard(context, *port)) {
        // An interrupt can end the identification's wait: it is the interrupt that ended it.
        return InterruptRequested() ? kExitInterrupted : kExitCardFailure;
    }
    if (FamilyOfVariant(port->FirmwareVariant) != wanted->family) {
        return ReportFamilyMismatch(context, *port, file, wanted->family, "; nothing was read");
    }
    const CardReading reading = ReadCard(context, *port);
    if (!reading.card) {
        return reading.exitCode;
    }
    return ReportDifferences(context,
                             DescribeDifferences(AsReadFromTheCard(*wanted), *reading.card,
                                                 context.names, "the file", "the card"),
                             "the card on " + portName + " holds the configuration of " + file);
}
