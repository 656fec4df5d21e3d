#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/Context.h"
#include "link/CardBatch.h"
#include "link/SerialPortParameter.h"
#include "model/ConfigFile.h"

// What the commands that talk to a card share: the port, its identification, the read, and
// the words for what went wrong.

// The card's identity as text: a byte that is not a printable character shows as "?", so that
// it can neither break a line of the file nor make the file other than UTF-8.
std::string Printable(const std::string& identity);

// The port of a name as typed: COM1 to COM7 through PortName, mapped as Brovane maps them; any
// other name as a device named directly (KindOfTypedPort).
std::unique_ptr<SerialPortParameter> NamePort(const std::string& name,
                                              std::unique_ptr<SerialLine> line,
                                              const PortOverrides& overrides);
// The same, or nothing after a message for a name that cannot be a port.
std::unique_ptr<SerialPortParameter> MakePort(CliContext& context, const std::string& name);
// The port as the technician typed it: "COM1", "/dev/ttyUSB0", "./card".
std::string PortLabel(const SerialPortParameter& port);
// Why the port did not open, in the language's words: "/dev/ttyUSB0: no such device".
std::string OpenFailureWords(const SerialPortParameter& port);
// Says why a batch failed: the device that cannot be opened and why, a card that answers with
// an identity of no known family, or a card that does not answer correctly and why (at
// `failedRegister`, -1 for the identification or the hardware read).
void ReportPortFailure(CliContext& context, const SerialPortParameter& port, BatchFailure failure,
                       int failedRegister = -1);
// Opens the port, identifies the card and closes the port: BatchFailure::None, or what failed
// (a failed command has closed the port). Safe on a thread of its own: it prints nothing.
BatchFailure OpenAndIdentify(SerialPortParameter& port);
// The same, with the failure reported; false after the report.
bool IdentifyCard(CliContext& context, SerialPortParameter& port);

struct CardReading {
    std::optional<CardConfiguration> card;
    int exitCode = 0;  // kExitOk when there is a card
    BatchResult result = {};
};
// What a read that an interrupt stopped says: that nothing was saved, or nothing (the caller
// says what the read was for).
enum class ReadStop { Report, Quiet };
// The card's configuration, read as the port dialog reads it, with progress; an interrupt
// stops it between two registers. `device` says whether the port name is mapped afresh or the
// device of the last identification is read again.
CardReading ReadCard(CliContext& context, SerialPortParameter& port,
                     BatchDevice device = BatchDevice::MapPortName,
                     ReadStop stop = ReadStop::Report);

// The identified card's family differs from the file's: says so and gives the exit code.
int ReportFamilyMismatch(CliContext& context, const SerialPortParameter& port,
                         const std::string& file, FirmwareFamily fileFamily,
                         const std::string& consequence);
// Identifies the card and refuses a card of another family than the file's, before anything
// is sent (`consequence` says what was not done): kExitOk, or the exit code after the report.
int IdentifyCardOfFamily(CliContext& context, SerialPortParameter& port, const std::string& file,
                         FirmwareFamily fileFamily, const std::string& consequence);

// How the card differs from the file, a line each ("COM2 address: 32 in the file, 64 in the
// card"); none when it holds the file's configuration.
std::vector<std::string> CardDifferences(const CliContext& context, const CardConfiguration& wanted,
                                         const CardConfiguration& card);
