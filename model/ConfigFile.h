#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/FirmwareVariant.h"
#include "model/OutputEvents.h"
#include "model/RegisterImage.h"
#include "model/TextEncoding.h"

// The configuration file of brovane-cli: UTF-8 text, one `key = value` per line under a
// [section], comments from "#" to the end of the line. It names the family in [card], then
// [COM0] to [COM3], and for KFT018 [Input 1] to [Input 8] and [Output 1] to [Output 8]. Values
// are written as the sheet shows them; a code the sheet has no entry for is kept as "raw N".
// The file holds exactly the registers the family exchanges with the card.

struct CardConfiguration {
    FirmwareFamily family = FirmwareFamily::Kft018;
    RegisterImage image;  // registers the family does not exchange are zero
    bool operator==(const CardConfiguration&) const = default;
};

// One line of a section: its value as the file writes it, and a comment that explains it
// (event names, the meaning of a raw code).
struct ConfigEntry {
    std::string key;
    std::string value;
    std::string comment;
};

struct ConfigSection {
    std::string name;  // without brackets: "card", "COM0", "Input 1", "Output 8"
    std::vector<ConfigEntry> entries;
};

// The sections and lines of a configuration, in file order. Events are written as their numbers
// 1-32, whatever their names; the names (empty: unnamed) fill the comments of the outputs only.
std::vector<ConfigSection> DescribeConfiguration(const CardConfiguration& configuration,
                                                 const EventNames& eventNames);

// The configuration as a read of the card gives it back: the card's ports COM1 to COM3 cannot
// show a parity code 0, which comes back as 1 (None). Compare a file with a card through it.
CardConfiguration AsReadFromTheCard(const CardConfiguration& configuration);

// The text of the file: the heading lines as comments, then the sections.
std::string FormatConfigFile(const std::vector<ConfigSection>& sections,
                             const std::vector<std::string>& heading);

// A fault of the file: the line (1 from the top; for a missing section the last line), the
// field ("COM1 baud", "Input 3 delay"), the value found, and what is allowed there.
struct ConfigError {
    int line = 0;
    std::string field;
    std::string value;
    std::string problem;
    std::string allowed;
    bool operator==(const ConfigError&) const = default;
};

struct ConfigReading {
    std::optional<CardConfiguration> configuration;  // only when there is no error at all
    std::vector<ConfigError> errors;                 // every error of the file, in line order
    // Windows-1252 when a line was not UTF-8 and was read as Windows-1252; UTF-16 text is not
    // read at all (one error, for line 1).
    TextEncoding encoding = TextEncoding::Utf8;
};

// Reads and checks the whole file by the sheet's rules. Event numbers 1-32 (also as "raw N") are
// valid whatever the language file names them: a file reads the same with every language.
// Lines end with LF, CR LF or CR.
ConfigReading ReadConfigFile(std::string_view text);

// "FILE:LINE: FIELD "VALUE" PROBLEM; allowed: ALLOWED"; control characters of the file show
// as "?", so that no value can act on the terminal.
std::string FormatConfigError(const std::string& fileName, const ConfigError& error);

// The differences between two configurations, field by field in file order, in words:
// "COM1 baud: 19200 in A, 9600 in B"; events name what one output has that the other lacks.
// `first` and `second` name the two sides ("the file", "the card").
std::vector<std::string> DescribeDifferences(const CardConfiguration& a, const CardConfiguration& b,
                                             const EventNames& eventNames, const std::string& first,
                                             const std::string& second);
