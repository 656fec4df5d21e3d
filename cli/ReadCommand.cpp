// read: the card's configuration into a file, which keeps its old content until the new one
// is whole.
#include <optional>

#include "cli/CardFileText.h"
#include "cli/CardSession.h"
#include "cli/CommandUnits.h"
#include "cli/ExitCodes.h"
#include "cli/SafeFile.h"

int ReadCommand(CliContext& context, const std::string& portName, const std::string& outputFile) {
    const std::unique_ptr<SerialPortParameter> port = MakePort(context, portName);
    if (!port) {
        return kExitBadInput;
    }
    std::string reason;
    const bool toFile = !outputFile.empty() && outputFile != "-";
    // Before the card is asked: a file that cannot be written is known at once.
    std::optional<SafeFile> target =
        toFile ? SafeFile::Create(outputFile, reason) : std::optional<SafeFile>();
    if (toFile && !target) {
        context.err << "brovane-cli: cannot write " << outputFile << ": " << reason
                    << "; the card was not asked\n";
        return kExitCannotWrite;
    }
    const CardReading reading = ReadCard(context, *port);
    if (!reading.card) {
        return reading.exitCode;
    }
    const std::string text = CardFileText(*reading.card, context.names, portName,
                                          Printable(port->Identity), port->HardwareBits);
    if (!target) {
        context.out << text;
        return kExitOk;
    }
    if (!target->Commit(text, reason)) {
        context.err << "brovane-cli: cannot write " << outputFile << ": " << reason
                    << "; an old file of that name is unchanged\n";
        return kExitCannotWrite;
    }
    return kExitOk;
}
