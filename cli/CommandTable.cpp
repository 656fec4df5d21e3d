#include "cli/CommandTable.h"

#include <algorithm>

#include "cli/CommandUnits.h"
#include "cli/ExitCodes.h"
#include "cli/InputFile.h"
#include "cli/ManyPorts.h"
#include "cli/PortJobs.h"
#include "cli/RecordFiles.h"

namespace {

int RunPorts(CliContext& context, const Request& request) {
    return PortsCommand(context, request.probe, request.operands);
}

int RunCheck(CliContext& context, const Request& request) {
    return CheckCommand(context, request.operands[0]);
}

int RunRead(CliContext& context, const Request& request) {
    const std::string& port = request.operands[0];
    return IsPortList(port) ? ReadOnPorts(context, port, request.outputFile)
                            : ReadCommand(context, port, request.outputFile);
}

// The options of a write, or nothing after a message: a record tells that the card was read
// back, so it needs --verify, and its folder is checked before anything is sent.
std::optional<WriteOptions> OptionsOfWrite(CliContext& context, const Request& request) {
    WriteOptions options{request.verify, request.recordFolder, request.operatorName,
                         request.language};
    if (!request.operatorName.empty() && request.recordFolder.empty()) {
        context.err << "brovane-cli: --operator names who signs a record: give --record FOLDER "
                       "too; nothing was sent\n";
        return std::nullopt;
    }
    if (!request.recordFolder.empty() && !request.verify) {
        context.err << "brovane-cli: --record needs --verify: a record tells what the card holds "
                       "as read back; nothing was sent\n";
        return std::nullopt;
    }
    return options;
}

// One port is a list of one: the same job as on each of several ports, in the same words.
// A manifest names the ports itself: FILE is the only operand.
int RunWrite(CliContext& context, const Request& request) {
    const std::optional<WriteOptions> options = OptionsOfWrite(context, request);
    if (!options) {
        return kExitBadInput;
    }
    if (!options->recordFolder.empty() && !RecordFolderUsable(context, options->recordFolder)) {
        return kExitCannotWrite;
    }
    if (!request.manifest.empty()) {
        return WriteManifest(context, request.manifest, request.operands[0], request.sets,
                             *options);
    }
    const std::string& port = request.operands[0];
    const std::string& file = request.operands[1];
    if (IsPortList(port)) {
        return WriteOnPorts(context, port, file, request.sets, *options);
    }
    const std::optional<CardConfiguration> wanted = LoadTemplate(context, file, request.sets);
    return wanted ? WriteOnPort(context, port, file, *wanted, *options).exitCode : kExitBadInput;
}

int RunVerify(CliContext& context, const Request& request) {
    if (!request.manifest.empty()) {
        return VerifyManifest(context, request.manifest, request.operands[0], request.sets);
    }
    const std::string& port = request.operands[0];
    const std::string& file = request.operands[1];
    if (IsPortList(port)) {
        return VerifyOnPorts(context, port, file, request.sets);
    }
    const std::optional<CardConfiguration> wanted = LoadTemplate(context, file, request.sets);
    return wanted ? VerifyOnPort(context, port, file, *wanted).exitCode : kExitBadInput;
}

int RunDiff(CliContext& context, const Request& request) {
    return DiffCommand(context, request.operands[0], request.operands[1]);
}

int RunShow(CliContext& context, const Request& request) {
    return ShowCommand(context, request.operands[0]);
}

const std::vector<CommandRow>& Table() {
    static const std::vector<CommandRow> table = {
        {"ports",
         {"--probe"},
         0,
         true,
         true,
         R"(Usage: brovane-cli ports [--probe [PORT...]]

Lists COM1 to COM7, the device each one opens and what that device is, as Brovane's
port list does. With --probe the ports named (any PORT form), or every present port when
none is named, are asked, all at the same time, whether a Quorix card answers: the card's
identification frame is SENT to each, with the modem lines (DTR, RTS) raised, which other
equipment on those ports may act on. The card's identity, family and hardware value are
shown; a port that cannot be opened says why. The system console is never probed, and a
device reached under two names is probed once (the second name says which it shares).
Exit code 1 when a port named has no card that answers.
)",
         RunPorts},
        {"check",
         {},
         1,
         false,
         true,
         R"(Usage: brovane-cli check PORT

Identifies the card on PORT and reads its hardware value. When the card does not answer
correctly, says what came back instead: nothing, the request itself (a loopback), bytes of
another device or speed, a reply cut short, or a reply to another command (exit code 1).
When it answers, shows its identity, family and hardware value, and the time of each
exchange against the time its bytes take on the line at 1200 baud.
)",
         RunCheck},
        {"read",
         {"-o", "--output"},
         1,
         false,
         true,
         R"(Usage: brovane-cli read PORT [-o FILE]

Identifies the card on PORT (COM1 to COM7, mapped as Brovane maps them, or a device path
such as /dev/ttyUSB0, /dev/serial/by-id/... or ./card; on Windows any COMn),
reads its hardware value and the registers of its family, as Brovane's port dialog does,
and writes the configuration file to FILE or to standard output ("-o -"). FILE is checked
before the card is asked (a file this user may not write is refused, as cp refuses it),
written beside itself and renamed over the old file only when it is whole: a failed or
interrupted read keeps the old file, and no temporary file is left behind. A symbolic link
stays a link: the file it leads to is replaced, with its permissions and owner kept.

With several ports (COM1,COM2,COM3) all cards are read at once, each into a file of its
own in the folder that -o names (required), named after the port: COM1.cfg, ttyUSB0.cfg.
Every file is checked before any card is asked; a port name with control characters makes
no file name and is refused. A table ends the output: port, device, card, result and time.
)",
         RunRead},
        {"write",
         {"--verify", "--set", "--manifest", "--record", "--operator"},
         2,
         false,
         true,
         R"(Usage: brovane-cli write PORT FILE [--verify [--record FOLDER [--operator NAME]]]
                         [--set FIELD=VALUE]...
       brovane-cli write --manifest CARDS.csv FILE [--verify [--record FOLDER]]
                         [--set FIELD=VALUE]...

Checks the whole file first; if anything in it is wrong, every error is shown and
nothing is sent (exit code 2). Then identifies the card and refuses a card whose family
differs from the file's (exit code 3). Writes the registers in the order of Brovane's
programming dialog. With --verify, reads the card back and reports any difference; a
read-back that is interrupted or fails says that the registers were written and not verified.
A write that fails part-way, or is interrupted with Ctrl-C, SIGTERM or SIGHUP (which finish
the exchange in flight), names the registers that reached the card, the one sent without an
answer, whose value on the card is unknown, and those not written.

With several ports (COM1,COM2,/dev/ttyUSB0) the file is checked once, then every card is
written at once, each on its own line: one that fails neither stops nor slows the others,
and Ctrl-C stops all of them with a report per port. One device named twice (COM1 and the
device it maps to) is refused before anything is sent. Progress is one line per port on a
terminal, lines that name their port in a log or on a terminal with fewer rows than ports.
A table ends the output: port, device, card, result (written, written and verified, differs
at ..., wrong family, no card, failed at register N with the registers on the card) and time
taken. The exit code ranks the ports by harm, as the program's help lists.

--set FIELD=VALUE sets a field of FILE for this run (the file is not changed), as often as
needed. Fields are named as show names them: "COM2 address", "COM1 baud", "COM0 protocol",
"COM3 parity", "COM1 stop"; "Input 3 type", "Input 3 lower", "Input 3 upper", "Input 3
delay"; "Output 2 logic" and "Output 2 events" (the events that drive output 2: "1, 17" or
"none"). Values are written as show and the file write them: "9600", "None", "MODBUS RTU",
"250 ms" or "250", "Normal OFF". A new input type other than Digital needs its thresholds.
Example: --set "COM2 address=12".

--manifest CARDS.csv writes a batch from FILE as a template, each card with a few fields of
its own; the manifest names the ports, so PORT is not given. Its first row names the columns:
"port" and the fields that differ, named as for --set; each further row is a card: its port
and its values (an empty cell keeps the template's). Quoting as spreadsheets save it (RFC
4180), a UTF-8 byte order mark and CR LF line ends are fine. The whole manifest is checked
before any card is touched: an unknown column, a field the file's family does not have, a
value out of range, a port or a device in two rows. Every error is shown, as
"CARDS.csv:ROW: COLUMN "VALUE" problem; allowed: ...", with rows counted as a spreadsheet
shows them (the column names are row 1), and nothing is sent (exit code 2). Then every
card is written at once, --verify checks each against its own configuration, and the table
shows what was set on each. --set applies to the template, before the rows.

--record FOLDER (with --verify) keeps a commissioning record of each card in FOLDER: an
HTML page that prints on A4 and the same in plain text, named IDENTITY_PORT_UTCTIME.html
and .txt. It holds the card's identity, family and hardware value, the port and device,
the date and time (local and UTC), the operator (--operator NAME, else the login name),
the computer, the program's version and language, every field as show lays it out as
found and as left with each change marked, the verify result, the SHA-256 of the 96
register bytes as left and a place for a signature. The card is read before it is
written: one more read per card, 13.3 s at 1200 baud; a card that cannot be read is not
written. A write that stops part-way still leaves a record of what the card is known to
hold. A record that cannot be written is reported and the card's result still told; the
exit code is the worse of the card's and 5.
)",
         RunWrite},
        {"verify",
         {"--set", "--manifest"},
         2,
         false,
         true,
         R"(Usage: brovane-cli verify PORT FILE [--set FIELD=VALUE]...
       brovane-cli verify --manifest CARDS.csv FILE [--set FIELD=VALUE]...

Identifies the card on PORT, refuses a card whose family differs from the file's (exit code
3, nothing read), reads the card and reports every field where it differs from FILE (exit
code 4 when it differs, 0 when it holds the file's configuration). With several ports
every card is compared at once, and a table ends the output, as write does. --set and
--manifest work as for write (brovane-cli write --help): each card of the manifest is
compared with the template and the fields of its row.
)",
         RunVerify},
        {"diff",
         {},
         2,
         false,
         true,
         R"(Usage: brovane-cli diff A B

Compares two configuration files field by field and reports the differences in words
(exit code 4 when they differ).
)",
         RunDiff},
        {"show",
         {},
         1,
         false,
         true,
         R"(Usage: brovane-cli show FILE

Shows the configuration of FILE laid out as Brovane's pages lay it out: the four
ports, the inputs and the outputs with the names of their events.
)",
         RunShow},
    };
    return table;
}

}  // namespace

const CommandRow* FindCommand(const std::string& name) {
    for (const CommandRow& row : Table()) {
        if (name == row.name) {
            return &row;
        }
    }
    return nullptr;
}

std::string CommandsOfOption(const std::string& option) {
    std::string names;
    for (const CommandRow& row : Table()) {
        if (std::find(row.options.begin(), row.options.end(), option) != row.options.end()) {
            names += (names.empty() ? "" : " and ") + std::string(row.name);
        }
    }
    return names;
}

bool TakesOption(const std::string& command, const std::string& option) {
    const CommandRow* row = FindCommand(command);
    const std::string owners = CommandsOfOption(option);
    return owners.empty() || (row != nullptr && std::find(row->options.begin(), row->options.end(),
                                                          option) != row->options.end());
}
