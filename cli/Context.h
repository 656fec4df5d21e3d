#pragma once

#include <memory>
#include <ostream>

#include "cli/Progress.h"
#include "link/LineTrace.h"
#include "model/OutputEvents.h"

// What every command works with: where results and messages go, the progress on standard
// error, the event names of the language file and the trace of the frames (none: untraced).
struct CliContext {
    std::ostream& out;
    std::ostream& err;
    Progress progress;
    EventNames names;
    std::shared_ptr<TraceSink> trace = {};
};
