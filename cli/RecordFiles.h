#pragma once

#include <string>

#include "cli/CommissioningRecord.h"
#include "cli/Context.h"
#include "cli/PortJobs.h"

// Where the records of a write go, and how each is kept.

// Whether `folder` can take records; false after a message saying that nothing was sent.
bool RecordFolderUsable(CliContext& context, const std::string& folder);

// Completes the record with the facts of the work (the time, the operator, the computer, the
// program and its language, the device's persistent name) and writes its page and its text into
// the folder, each as every file of brovane-cli is written. A record that cannot be written is
// reported; the card's result stays told, and the outcome's exit code becomes the worse of the
// card's and that of an output that cannot be written.
void KeepRecord(CliContext& context, PortOutcome& outcome, CommissioningRecord record,
                const WriteOptions& options);
