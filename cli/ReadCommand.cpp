// read: the card's configuration into a file, which keeps its old content until the new one
// is whole.
#include <ctime>
#include <optional>

#include "cli/CardSession.h"
#include "cli/CommandUnits.h"
#include "cli/ExitCodes.h"
#include "cli/SafeFile.h"

namespace {

// "2026-12-09 at 10:01:32": when the card was read, in local time.
std::string Now() {
    const std::time_t now = std::time(nullptr);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d at %H:%M:%S", std::localtime(&now));
    return text;
}

}  // namespace

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
    const std::string text = FormatConfigFile(
        DescribeConfiguration(*reading.card, context.names),
        {"Quorix card configuration, read by brovane-cli from " + portName + " on " + Now() + ".",
         "Identity " + Printable(port->Identity) + ", hardware value " +
             std::to_string(port->HardwareBits) + ".",
         "Events are numbered 1 to 32; their names follow as comments.",
         "\"raw N\" keeps a code for which Brovane's sheet has no entry."});
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
