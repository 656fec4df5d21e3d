#include "cli/Request.h"

#include "cli/CommandTable.h"

namespace {

bool IsLanguageNumber(const std::string& text) {
    return !text.empty() && text.size() <= 2 &&
           text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

std::optional<Request> ParseRequest(const std::vector<std::string>& arguments, std::ostream& err) {
    Request request;
    std::vector<std::string> options;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            (request.command.empty() ? request.command : request.operands.emplace_back()) =
                argument;
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        std::optional<std::string> value;
        if (const size_t equals = argument.find('=');
            argument.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = argument.substr(equals + 1);
            argument.resize(equals);
        }
        const bool takesValue = argument == "-o" || argument == "--output" ||
                                argument == "--language" || argument == "--trace" ||
                                argument == "--set" || argument == "--manifest" ||
                                argument == "--record" || argument == "--operator";
        if (takesValue && !value) {
            if (i + 1 == arguments.size()) {
                err << "brovane-cli: " << argument << " needs a value\n";
                return std::nullopt;
            }
            value = arguments[++i];
        }
        if (argument == "-h" || argument == "--help") {
            request.help = true;
        } else if (argument == "--version") {
            request.version = true;
        } else if (argument == "-q" || argument == "--quiet") {
            request.quiet = true;
        } else if (argument == "--probe") {
            request.probe = true;
        } else if (argument == "--verify") {
            request.verify = true;
        } else if (argument == "-o" || argument == "--output") {
            request.outputFile = *value;
        } else if (argument == "--record") {
            request.recordFolder = *value;
        } else if (argument == "--operator") {
            request.operatorName = *value;
        } else if (argument == "--trace") {
            request.traceFile = *value;
        } else if (argument == "--set") {
            request.sets.push_back(*value);
        } else if (argument == "--manifest") {
            request.manifest = *value;
        } else if (argument == "--language" && IsLanguageNumber(*value)) {
            request.language = std::stoi(*value);
        } else if (argument == "--language") {
            err << "brovane-cli: --language needs a number 00 to 99\n";
            return std::nullopt;
        } else {
            err << "brovane-cli: unknown option " << argument
                << " (brovane-cli --help lists the options)\n";
            return std::nullopt;
        }
        if (value && !takesValue) {
            err << "brovane-cli: " << argument << " takes no value\n";
            return std::nullopt;
        }
        options.push_back(argument);
    }
    for (const std::string& option : options) {
        if (!request.command.empty() && !TakesOption(request.command, option)) {
            err << "brovane-cli: " << option << " is an option of " << CommandsOfOption(option)
                << ", not of " << request.command << "\n";
            return std::nullopt;
        }
    }
    return request;
}
