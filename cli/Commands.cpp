#include "cli/Commands.h"

#include "link/SerialPlatform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "app/LanguageTable.h"
#include "app/ProgramDirectory.h"
#include "app/TextDecoding.h"
#include "cli/CardLine.h"
#include "cli/CommandTable.h"
#include "cli/Help.h"
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

int Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
        const ErrorScreen& screen) {
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
    const CommandRow* command = FindCommand(request->command);
    if (command == nullptr) {
        err << "brovane-cli: unknown command " << request->command
            << " (brovane-cli --help lists the commands)\n";
        return kExitBadInput;
    }
    if (request->help) {
        out << command->help;
        return kExitOk;
    }
    // A manifest names the ports: write and verify then take the file alone.
    const size_t wanted = command->operands - (request->manifest.empty() ? 0 : 1);
    const bool anyCount = command->anyOperandsWhenProbing && request->probe;
    if (!anyCount && request->operands.size() != wanted) {
        err << "brovane-cli: " << request->command << " takes " << wanted << " argument"
            << (wanted == 1 ? "" : "s") << "\n\n"
            << command->help;
        return kExitBadInput;
    }
    // What the environment sets for COM1 to COM7 is read once, for the whole command.
    CliContext context{out,
                       err,
                       Progress(err,
                                request->quiet    ? ProgressStyle::Quiet
                                : screen.terminal ? ProgressStyle::Bar
                                                  : ProgressStyle::Lines,
                                screen),
                       {},
                       {},
                       ReadPortOverrides()};
    if (!request->traceFile.empty()) {
        std::optional<std::shared_ptr<TraceSink>> trace = OpenTrace(request->traceFile, err);
        if (!trace) {
            return kExitCannotWrite;
        }
        context.trace = std::move(*trace);
    }
    if (command->needsLanguage && !LoadEventNames(context, request->language)) {
        return kExitNoLanguage;
    }
    const int code = command->run(context, *request);
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
    return RunCli(arguments, out, err, ErrorScreen{errIsTerminal});
}

int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           const ErrorScreen& screen) {
    const int code = Run(arguments, out, err, screen);
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
