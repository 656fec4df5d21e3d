#include "cli/Commands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "app/LanguageTable.h"
#include "app/ProgramDirectory.h"
#include "app/TextDecoding.h"
#include "cli/CardLine.h"
#include "cli/CommandUnits.h"
#include "cli/Help.h"
#include "cli/ManyPorts.h"
#include "cli/Request.h"

namespace {

bool LoadEventNames(CliContext& context, int language) {
    if (ProgramDirectory.empty()) {
        ProgramDirectory = ExecutableDirectory();
    }
    if (LanguageEntry(0)[0] == '\0' && CreateLanguageTable() != 0) {
        context.err << "brovane-cli: low memory for strings\n";
        return false;
    }
    if (LoadLanguageTable(static_cast<int8_t>(language)) != 0) {
        context.err << "brovane-cli: cannot load the event names from "
                    << LanguageFilePath(language) << "\n";
        return false;
    }
    for (size_t event = 0; event < context.names.size(); ++event) {
        context.names[event] =
            DecodeLanguageBytes(LanguageEntry(kFirstEventText + static_cast<int>(event)))
                .toStdString();
    }
    return true;
}

size_t OperandCount(const std::string& command) {
    if (command == "ports") {
        return 0;
    }
    return command == "read" || command == "show" || command == "check" ? 1 : 2;
}

int RunCommand(CliContext& context, const Request& request) {
    const std::string& command = request.command;
    const std::vector<std::string>& operands = request.operands;
    if (command == "ports") {
        return PortsCommand(context, request.probe, operands);
    }
    if (!LoadEventNames(context, request.language)) {
        return kExitNoLanguage;
    }
    if (command == "check") {
        return CheckCommand(context, operands[0]);
    }
    if (IsPortList(operands[0]) && command == "read") {
        return ReadOnPorts(context, operands[0], request.outputFile);
    }
    if (IsPortList(operands[0]) && command == "write") {
        return WriteOnPorts(context, operands[0], operands[1], request.verify);
    }
    if (IsPortList(operands[0]) && command == "verify") {
        return VerifyOnPorts(context, operands[0], operands[1]);
    }
    if (command == "read") {
        return ReadCommand(context, operands[0], request.outputFile);
    }
    if (command == "write") {
        return WriteCommand(context, operands[0], operands[1], request.verify);
    }
    if (command == "verify") {
        return VerifyCommand(context, operands[0], operands[1]);
    }
    if (command == "diff") {
        return DiffCommand(context, operands[0], operands[1]);
    }
    return ShowCommand(context, operands[0]);
}

int Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
        bool errIsTerminal) {
    std::optional<Request> request = ParseRequest(arguments, err);
    if (!request) {
        return kExitBadInput;
    }
    if (request->version) {
        out << "brovane-cli " << BROVANE_VERSION << "\n";
        return kExitOk;
    }
    if (request->command == "help" && request->operands.size() <= 1) {
        request->help = true;
        request->command = request->operands.empty() ? "" : request->operands[0];
        request->operands.clear();
    }
    if (request->command.empty()) {
        (request->help ? out : err) << kProgramHelp;
        return request->help ? kExitOk : kExitBadInput;
    }
    const CommandHelp* help = FindCommandHelp(request->command);
    if (help == nullptr) {
        err << "brovane-cli: unknown command " << request->command
            << " (brovane-cli --help lists the commands)\n";
        return kExitBadInput;
    }
    if (request->help) {
        out << help->text;
        return kExitOk;
    }
    const size_t wanted = OperandCount(request->command);
    // ports --probe takes the ports to ask, any number of them.
    const bool anyCount = request->command == "ports" && request->probe;
    if (!anyCount && request->operands.size() != wanted) {
        err << "brovane-cli: " << request->command << " takes " << wanted << " argument"
            << (wanted == 1 ? "" : "s") << "\n\n"
            << help->text;
        return kExitBadInput;
    }
    CliContext context{out,
                       err,
                       Progress(err, request->quiet  ? ProgressStyle::Quiet
                                     : errIsTerminal ? ProgressStyle::Bar
                                                     : ProgressStyle::Lines),
                       {}};
    if (!request->traceFile.empty()) {
        std::optional<std::shared_ptr<TraceSink>> trace = OpenTrace(request->traceFile, err);
        if (!trace) {
            return kExitCannotWrite;
        }
        context.trace = std::move(*trace);
    }
    const int code = RunCommand(context, *request);
    if (const std::optional<std::string> failure =
            context.trace ? context.trace->TakeFailure() : std::nullopt) {
        err << "brovane-cli: " << *failure << "\n";
    }
    return code;
}

}  // namespace

namespace {

int CannotWriteStandardOutput(std::ostream& err, int reason) {
    err << "brovane-cli: cannot write standard output: "
        << (reason != 0 ? std::strerror(reason) : "the stream refused the bytes") << "\n";
    return kExitCannotWrite;
}

}  // namespace

int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           bool errIsTerminal) {
    const int code = Run(arguments, out, err, errIsTerminal);
    // Standard output is a file too: success only when it took every byte.
    errno = 0;
    out.flush();
    return out ? code : CannotWriteStandardOutput(err, errno);
}

int WriteStandardOutput(const std::string& results, std::ostream& err, int code) {
    errno = 0;
    const bool written = std::fwrite(results.data(), 1, results.size(), stdout) == results.size();
    if (!written || std::fflush(stdout) != 0) {
        return CannotWriteStandardOutput(err, errno);
    }
    return code;
}
