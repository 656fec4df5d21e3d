#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/ShowLayout.h"
#include "model/ConfigFile.h"
#include "model/OutputEvents.h"

// What a technician hands over for each card written with --record: the card as found and as
// left, who wrote it where and when, and whether the card was read back. One record is kept
// as an HTML page that prints on A4 and as the same content in plain text.

struct CommissioningRecord {
    // The card and where it was reached.
    std::string identity;  // the bytes the card sent
    std::string family;
    int hardwareBits = 0;
    std::string port;      // as typed
    std::string device;    // the device opened
    std::string deviceId;  // its persistent name; empty when it has none
    // The work.
    std::string localTime;  // "2026-12-10 04:12:09 +01:00"
    std::string utcTime;    // "2026-12-10 03:12:09 UTC"
    std::string stamp;      // the UTC time in the file's name: "20261210T031209Z"
    std::string operatorName;
    std::string computer;
    std::string version;
    std::string language;
    // The card.
    CardConfiguration found;
    CardConfiguration left;  // read back, or what the card is known to hold
    bool readBack = false;   // `left` was read from the card
    bool verified = false;   // the card read back holds the file
    std::string result;      // "written and verified", "differs at …", "failed at register …"
    std::vector<std::string> notes;  // what a write that stopped part-way left on the card
};

// One row of the fields, as found and as left.
struct ComparedRow {
    ShownRow found;
    ShownRow left;
    bool changed = false;
};
struct ComparedTable {
    std::string title;
    std::vector<std::string> header;
    std::vector<ComparedRow> rows;
};
// The fields of both cards side by side; both are of one family, so their tables match row
// for row.
std::vector<ComparedTable> CompareLayouts(const CardConfiguration& found,
                                          const CardConfiguration& left, const EventNames& names);

// The SHA-256 of the 96 bytes of the register image, high byte first, in lowercase hex.
std::string ImageDigest(const RegisterImage& image);

// "<identity>_<port>_<stamp>": letters, digits, '-' and '.' only, whatever the card sent or the
// port is called ("/dev/pts/3" gives "dev-pts-3").
std::string RecordName(const std::string& identity, const std::string& port,
                       const std::string& stamp);

// The record's headings in the language loaded, English where its file lacks them.
enum class RecordHeading {
    Title,
    Card,
    Family,
    HardwareValue,
    Port,
    Device,
    DeviceId,
    LocalTime,
    UtcTime,
    Operator,
    Computer,
    Program,
    Language,
    AsFound,
    AsLeft,
    Changed,
    Result,
    Digest,
    Signature,
    SignatureName,
    SignatureDate,
    Field,
    NotReadBack,
};
std::string Heading(RecordHeading heading);

// The facts of the record before its fields, heading and value, in the order both forms show.
std::vector<std::pair<std::string, std::string>> RecordFacts(const CommissioningRecord& record);

// The two forms of a record.
std::string RecordText(const CommissioningRecord& record, const EventNames& names);
std::string RecordPage(const CommissioningRecord& record, const EventNames& names);
// Text from outside made safe inside HTML: & < > " ' as entities, control characters as
// "\xHH", bytes that are not UTF-8 as "?".
std::string HtmlEscaped(const std::string& text);
