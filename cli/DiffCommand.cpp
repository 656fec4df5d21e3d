// diff: the differences between two configuration files.
#include "cli/CommandUnits.h"
#include "cli/ExitCodes.h"
#include "cli/InputFile.h"

int ReportDifferences(CliContext& context, const std::vector<std::string>& differences,
                      const std::string& same) {
    for (const std::string& difference : differences) {
        context.out << difference << "\n";
    }
    if (differences.empty()) {
        context.out << same << "\n";
        return kExitOk;
    }
    return kExitDifferent;
}

int DiffCommand(CliContext& context, const std::string& a, const std::string& b) {
    const std::optional<CardConfiguration> first = LoadConfigFile(context, a, FileUse::FilesOnly);
    const std::optional<CardConfiguration> second = LoadConfigFile(context, b, FileUse::FilesOnly);
    if (!first || !second) {
        return kExitBadInput;
    }
    const std::vector<std::string> differences =
        DescribeDifferences(*first, *second, context.names, "A", "B");
    // Each path once, however many lines then name its side.
    if (!differences.empty()) {
        context.out << "A: " << a << "\nB: " << b << "\n";
    }
    return ReportDifferences(context, differences,
                             a + " and " + b + " hold the same configuration");
}
