#pragma once

#include <memory>
#include <ostream>

#include "cli/Progress.h"
#include "link/LineTrace.h"
#include "link/SerialPlatform.h"
#include "model/OutputEvents.h"

// What every command works with: where results and messages go, the progress on standard
// error, the event names of the language file and the trace of the frames (none: untraced).
struct CliContext {
    std::ostream& out;
    std::ostream& err;
    Progress progress;
    EventNames names;
    std::shared_ptr<TraceSink> trace;
    // The devices set by hand for COM1 to COM7, read once as the command starts. No default:
    // a context made without them would map COMn to the PC's own ports.
    PortOverrides overrides;
};
