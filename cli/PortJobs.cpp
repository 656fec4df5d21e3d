#include "cli/PortJobs.h"

#include "app/NoAnswerTexts.h"
#include "cli/CardLine.h"
#include "cli/CardSession.h"
#include "cli/CommandUnits.h"
#include "cli/ExitCodes.h"
#include "cli/Interrupt.h"
#include "cli/RecordFiles.h"
#include "cli/ShownText.h"
#include "link/OpenFailure.h"
#include "link/SerialPortParameter.h"
#include "model/FirmwareVariant.h"

namespace {

// A table cell names at most this many differing fields.
constexpr size_t kFieldsNamed = 3;

// "differs at COM2 address, input 3" from the differences in words ("COM2 address: 32 in the
// file, 64 in the card").
std::string DiffersAt(const std::vector<std::string>& differences) {
    std::string fields;
    for (size_t i = 0; i < differences.size() && i < kFieldsNamed; ++i) {
        fields += (i == 0 ? "" : ", ") + differences[i].substr(0, differences[i].find(':'));
    }
    if (differences.size() > kFieldsNamed) {
        fields += " and " + std::to_string(differences.size() - kFieldsNamed) + " more";
    }
    return "differs at " + fields;
}

// The words of a batch that did not end well.
std::string FailureWords(const SerialPortParameter& port, const BatchResult& result) {
    switch (result.failure) {
        case BatchFailure::CannotOpen:
            return "cannot open " + OpenFailureWords(port);
        case BatchFailure::Stopped:
            return "interrupted";
        case BatchFailure::NoAnswer:
        case BatchFailure::None:
            break;
    }
    if (result.failedRegister >= 0) {
        return "failed at register " + std::to_string(result.failedRegister);
    }
    return port.AnsweredIdentity().empty() ? "no card"
                                           : "unknown card " + Printable(port.AnsweredIdentity());
}

// Fills in what the port and its card told; the exit code and result stay.
void Describe(PortOutcome& outcome, const SerialPortParameter& port) {
    outcome.device = port.OpenedDevice();
    outcome.identity = Printable(port.Identity);
    outcome.hardwareBits = port.HardwareBits;
}

// Identifies the card and refuses another family than the file's; false with the outcome
// filled in.
bool IdentifyOfFamily(CliContext& context, SerialPortParameter& port, PortOutcome& outcome,
                      const std::string& file, FirmwareFamily family,
                      const std::string& consequence) {
    // The port's progress shows the identification, which a silent card keeps for seconds.
    outcome.exitCode = IdentifyCardOfFamily(context, port, file, family, consequence);
    Describe(outcome, port);
    if (outcome.exitCode == kExitFamilyMismatch) {
        outcome.result =
            "wrong family (" + FamilyName(*FamilyOfVariant(port.FirmwareVariant)) + ")";
    } else if (outcome.exitCode != kExitOk) {
        BatchResult result = NoAnswerOf(port);
        if (outcome.exitCode == kExitInterrupted) {
            result.failure = BatchFailure::Stopped;
        } else if (port.LastOpenFailure() != OpenFailure::None) {
            result.failure = BatchFailure::CannotOpen;
        }
        outcome.result = FailureWords(port, result);
    }
    return outcome.exitCode == kExitOk;
}

// What a programming that failed part-way left on the card, for the table.
std::string PartWayWords(const SerialPortParameter& port, const std::vector<int>& registers,
                         const BatchResult& result) {
    const auto done = registers.begin() + result.registersDone;
    std::string words =
        FailureWords(port, result) + "; on the card: " + RegisterRuns({registers.begin(), done});
    if (done == registers.end()) {
        return words;
    }
    // The card's refusal is an answer: the register is known not to be written.
    if (result.diagnosis.fault == ReplyFault::Refused) {
        words += "; " + std::to_string(*done) + " refused";
    } else if (result.failedRequestSent) {
        words += "; " + std::to_string(*done) + " unknown";
    }
    return words;
}

// The card compared with the file after a read, each difference a result; when it holds the
// file, `same` is the outcome's result and `sameLine` the result line.
void Compare(CliContext& context, PortOutcome& outcome, const CardConfiguration& wanted,
             const CardReading& reading, const std::string& same, const std::string& sameLine) {
    const std::vector<std::string> differences = CardDifferences(context, wanted, *reading.card);
    for (const std::string& difference : differences) {
        context.out << difference << "\n";
    }
    if (differences.empty()) {
        context.out << sameLine << "\n";
    }
    outcome.exitCode = differences.empty() ? kExitOk : kExitDifferent;
    outcome.result = differences.empty() ? same : DiffersAt(differences);
}

// The port of a name checked before the threads began; nothing, with the outcome filled in,
// should the name no longer make one.
std::unique_ptr<SerialPortParameter> PortOf(CliContext& context, const std::string& name,
                                            PortOutcome& outcome) {
    std::unique_ptr<SerialPortParameter> port = MakePort(context, name);
    if (!port) {
        outcome.result = "not a port name";
        outcome.exitCode = kExitBadInput;
    }
    return port;
}

}  // namespace

namespace {

// What the card is known to hold after a write that stopped: the registers that reached it
// from the file, every other one as found. The register sent without an answer counts as
// found; the record's note says its value is unknown.
CardConfiguration KnownAfterStop(const CardConfiguration& found, const CardConfiguration& wanted,
                                 const std::vector<int>& registers, const BatchResult& result) {
    CardConfiguration known = found;
    for (int i = 0; i < result.registersDone && i < static_cast<int>(registers.size()); ++i) {
        const int reg = registers[static_cast<size_t>(i)];
        known.image.SetValue(reg, wanted.image.Value(reg));
    }
    return known;
}

// The card read before it is written, for the record; false, with the outcome filled in and
// nothing written, when it cannot be read.
bool ReadAsFound(CliContext& context, SerialPortParameter& port, PortOutcome& outcome,
                 std::optional<CommissioningRecord>& record) {
    const CardReading reading = ReadCard(context, port, BatchDevice::CardDevice, ReadStop::Quiet);
    Describe(outcome, port);
    if (!reading.card) {
        context.err << "brovane-cli: "
                    << (reading.result.failure == BatchFailure::Stopped ? "interrupted; " : "")
                    << "the card on " << Shown(PortLabel(port))
                    << " could not be read as found; nothing was written and no record kept\n";
        outcome.result =
            "not read as found: " + FailureWords(port, reading.result) + "; nothing written";
        outcome.exitCode = reading.exitCode;
        return false;
    }
    record.emplace();
    record->identity = port.Identity;
    record->family = FamilyName(reading.card->family);
    record->hardwareBits = port.HardwareBits;
    record->port = PortLabel(port);
    record->found = *reading.card;
    return true;
}

// The write; with `recording`, the card is read first and `record` tells what came of it.
PortOutcome Write(CliContext& context, const std::string& name, const std::string& file,
                  const CardConfiguration& wanted, bool verify, bool recording,
                  std::optional<CommissioningRecord>& record) {
    PortOutcome outcome;
    const std::unique_ptr<SerialPortParameter> port = PortOf(context, name, outcome);
    if (!port ||
        !IdentifyOfFamily(context, *port, outcome, file, wanted.family, "; nothing was written") ||
        (recording && !ReadAsFound(context, *port, outcome, record))) {
        return outcome;
    }
    const std::vector<int> registers = ExchangedRegisters(port->FirmwareVariant);
    context.progress.Begin("writing " + name, 1 + static_cast<int>(registers.size()));
    const BatchResult result = ProgramCardRegisters(
        *port, wanted.image, [&](BatchStage) { context.progress.Step(); }, InterruptRequested);
    context.progress.End();
    outcome.device = port->OpenedDevice();
    if (record) {
        record->device = outcome.device;
    }
    if (!result.Ok()) {
        if (result.failure == BatchFailure::Stopped) {
            context.err << "brovane-cli: interrupted\n";
        } else {
            ReportPortFailure(context, *port, result.failure, result.failedRegister);
        }
        const std::string partWay = PartWayLine(registers, result, FinishBy::WriteCommand);
        if (result.failure != BatchFailure::CannotOpen && !partWay.empty()) {
            context.err << partWay << "\n";
        }
        outcome.result = result.failure == BatchFailure::CannotOpen
                             ? FailureWords(*port, result)
                             : PartWayWords(*port, registers, result);
        outcome.exitCode =
            result.failure == BatchFailure::Stopped ? kExitInterrupted : kExitCardFailure;
        // The card holds a mix of old and new settings once a request of the write reached it.
        outcome.partWay = result.registersDone > 0 || result.failedRequestSent;
        if (record) {
            record->left = KnownAfterStop(record->found, wanted, registers, result);
            record->result = outcome.result;
            if (!partWay.empty()) {
                record->notes.push_back(partWay);
            }
        }
        return outcome;
    }
    const std::string what = std::to_string(registers.size()) + " registers of " + file;
    const std::string card = Shown(name) + " (" + Printable(port->Identity) + ")";
    outcome.result = "written";
    if (record) {
        // Every register was acknowledged: the card holds the file, until a read says otherwise.
        record->left = wanted;
        record->result = outcome.result;
    }
    if (!verify) {
        context.out << "wrote " << what << " to " << card << "\n";
        return outcome;
    }
    // Read back from the device that was written, whatever the port name leads to now.
    const CardReading reading = ReadCard(context, *port, BatchDevice::CardDevice, ReadStop::Quiet);
    if (!reading.card) {
        // The write is whole; only its check is missing.
        context.err << "brovane-cli: "
                    << (reading.result.failure == BatchFailure::Stopped
                            ? "interrupted while reading the card back; "
                            : "")
                    << "all " << what << " were written to " << card << ", not verified\n";
        context.out << "wrote " << what << " to " << card << "; not verified\n";
        outcome.result = "written; reading back: " + FailureWords(*port, reading.result);
        outcome.exitCode = reading.exitCode;
        if (record) {
            record->result = outcome.result;
        }
        return outcome;
    }
    Compare(context, outcome, wanted, reading, "written and verified",
            "wrote and verified " + what + " on " + card);
    if (record) {
        record->left = *reading.card;
        record->readBack = true;
        record->verified = outcome.exitCode == kExitOk;
        record->result = outcome.result;
    }
    return outcome;
}

}  // namespace

PortOutcome WriteOnPort(CliContext& context, const std::string& name, const std::string& file,
                        const CardConfiguration& wanted, const WriteOptions& options) {
    const bool recording = !options.recordFolder.empty();
    std::optional<CommissioningRecord> record;
    PortOutcome outcome = Write(context, name, file, wanted, options.verify, recording, record);
    if (record) {
        KeepRecord(context, outcome, std::move(*record), options);
    }
    return outcome;
}

PortOutcome VerifyOnPort(CliContext& context, const std::string& name, const std::string& file,
                         const CardConfiguration& wanted) {
    PortOutcome outcome;
    const std::unique_ptr<SerialPortParameter> port = PortOf(context, name, outcome);
    if (!port ||
        !IdentifyOfFamily(context, *port, outcome, file, wanted.family, "; nothing was read")) {
        return outcome;
    }
    const CardReading reading = ReadCard(context, *port);
    Describe(outcome, *port);
    if (!reading.card) {
        outcome.result = FailureWords(*port, reading.result);
        outcome.exitCode = reading.exitCode;
        return outcome;
    }
    Compare(context, outcome, wanted, reading, "holds the file",
            "the card on " + Shown(name) + " holds the configuration of " + file);
    return outcome;
}

PortOutcome ReadOnPort(CliContext& context, const std::string& name) {
    PortOutcome outcome;
    const std::unique_ptr<SerialPortParameter> port = PortOf(context, name, outcome);
    if (!port) {
        return outcome;
    }
    const CardReading reading = ReadCard(context, *port);
    Describe(outcome, *port);
    outcome.exitCode = reading.exitCode;
    outcome.card = reading.card;
    outcome.result = reading.card ? "read" : FailureWords(*port, reading.result);
    return outcome;
}
