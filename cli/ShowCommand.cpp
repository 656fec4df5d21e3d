// show: a configuration laid out as the pages lay it out.
#include "cli/CommandUnits.h"
#include "cli/ExitCodes.h"
#include "cli/InputFile.h"
#include "cli/ShowLayout.h"
#include "model/Fields.h"

int ShowCommand(CliContext& context, const std::string& file) {
    const std::optional<CardConfiguration> configuration =
        LoadConfigFile(context, file, FileUse::FilesOnly);
    if (!configuration) {
        return kExitBadInput;
    }
    context.out << "Quorix " << FamilyName(configuration->family) << " (" << file << ")\n\n"
                << LayoutText(LayOut(*configuration, context.names));
    return kExitOk;
}
