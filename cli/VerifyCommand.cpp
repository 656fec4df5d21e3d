// verify: whether a card holds a file's configuration.
#include "cli/CardSession.h"
#include "cli/CommandUnits.h"
#include "cli/ExitCodes.h"

int VerifyCommand(CliContext& context, const std::string& portName, const std::string& file) {
    // A card of another family is refused after its identification, as write refuses it.
    const CardForFile found = IdentifyCardForFile(context, portName, file, "; nothing was read");
    if (found.exitCode != kExitOk) {
        return found.exitCode;
    }
    const CardReading reading = ReadCard(context, *found.port);
    if (!reading.card) {
        return reading.exitCode;
    }
    return ReportDifferences(context, CardDifferences(context, *found.wanted, *reading.card),
                             "the card on " + portName + " holds the configuration of " + file);
}
