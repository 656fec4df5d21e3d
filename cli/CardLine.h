#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "cli/Context.h"
#include "link/CardBatch.h"
#include "link/SerialLine.h"

class SerialPortParameter;

// The serial line a command opens to the card on `port`: the system's serial port, traced
// under the port's name when the command line asked for a trace. Made on the thread that uses
// it: the Qt serial port belongs to the thread that creates it.
std::unique_ptr<SerialLine> CardLine(const CliContext& context, const std::string& port);

// The port's last failed command as a batch result, for the words of NoAnswerLine: the
// diagnosis of its reply, at `failedRegister` (-1: the identification or the hardware read).
BatchResult NoAnswerOf(const SerialPortParameter& port, int failedRegister = -1);

// The trace that `file` names ("-": standard error); nothing after a message on `err` when the
// file cannot be created.
std::optional<std::shared_ptr<TraceSink>> OpenTrace(const std::string& file, std::ostream& err);
