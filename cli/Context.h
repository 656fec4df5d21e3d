#pragma once

#include <ostream>

#include "cli/Progress.h"
#include "model/OutputEvents.h"

// What every command works with: where results and messages go, the progress on standard
// error and the event names of the language file.
struct CliContext {
    std::ostream& out;
    std::ostream& err;
    Progress progress;
    EventNames names;
};
