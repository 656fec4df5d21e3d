#pragma once

// A manifest: the cards of a batch written from one template, one row each. The first row
// names the columns: "port" and the fields that differ from card to card, named as `show` names
// them ("COM2 address", "Input 3 delay"); each further row gives a card's port and its values, an
// empty cell keeping the template's. Rows count as a spreadsheet shows them: the header is row 1.

#include <optional>
#include <string>
#include <vector>

#include "cli/Context.h"
#include "model/ConfigFile.h"
#include "model/FieldSettings.h"

struct ManifestCard {
    int row = 0;
    std::string port;
    std::vector<FieldValue> fields;  // the cells that hold a value, in column order
    CardConfiguration wanted;        // the template with the row's fields
};

// The manifest read and checked whole against `base` before any card is touched: its quoting,
// its columns, each value by the file's rules, one row for each port and each device. Every
// error is shown as "FILE:ROW: COLUMN "VALUE" PROBLEM; allowed: ...", then nothing is returned.
std::optional<std::vector<ManifestCard>> LoadManifest(CliContext& context,
                                                      const std::string& manifest,
                                                      const CardConfiguration& base);

// "COM2 address=12, Input 3 delay=250 ms": what the row sets, for the table of all ports.
std::string SetFieldsText(const std::vector<FieldValue>& fields);
