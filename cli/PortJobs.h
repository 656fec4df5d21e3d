#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "cli/Context.h"
#include "model/ConfigFile.h"

// The whole exchange of one command with the card on one port: the command on one port is this
// job, and on several ports each runs it on a thread of its own, so that one port and many are
// told in the same words. A job prints nothing itself: its results and reports go to the
// context it is given, which on several ports is the port's own.

// How one port's exchange ended, for the table of all ports.
struct PortOutcome {
    std::string port;
    std::string device;    // the device last opened; empty when the name led to none
    std::string identity;  // the card's identity; empty when no card of a known family answered
    int hardwareBits = 0;
    std::string result;    // "written and verified", "differs at …", "no card", …
    int exitCode = 0;      // as the command on this port alone would end
    bool partWay = false;  // a write stopped after a request of it reached the card
    std::chrono::milliseconds time{0};
    std::string results;  // the port's results, as the command on it alone gives them
    std::string report;   // the port's messages, as the command on it alone gives them
    std::optional<CardConfiguration> card;  // read: what the card holds
    std::string set;  // the fields set on this card alone ("COM2 address=12"); empty: none
};

// How a write goes beyond the registers themselves.
struct WriteOptions {
    bool verify = false;       // read the card back and compare it with what was written
    std::string recordFolder;  // not empty: read the card first and keep a record there
    std::string operatorName;  // who the record names; empty: the login name
    int language = 0;          // the language of the record's headings
};

// Identifies, refuses a card of another family, writes `wanted` and, with `verify`, reads the
// card back from the device it was written on. With a record folder the card is read before it
// is written (a card that cannot be read is not written), and the record tells what it held,
// what it holds and how the write ended, also when the write stopped part-way.
PortOutcome WriteOnPort(CliContext& context, const std::string& port, const std::string& file,
                        const CardConfiguration& wanted, const WriteOptions& options);
// Identifies, refuses a card of another family and compares the card with `wanted`.
PortOutcome VerifyOnPort(CliContext& context, const std::string& port, const std::string& file,
                         const CardConfiguration& wanted);
// Reads the card into the outcome's `card`.
PortOutcome ReadOnPort(CliContext& context, const std::string& port);
