#pragma once

#include <string>
#include <vector>

#include "model/ConfigFile.h"
#include "model/OutputEvents.h"

// A configuration laid out as the pages lay it out: the four ports, the inputs and the outputs
// with the names of their events. show prints it; a commissioning record sets the card as found
// beside the card as left, row by row.

// One row: a field's name and its values; `below` holds the lines under it (an output's events).
struct ShownRow {
    std::string label;
    std::vector<std::string> cells;
    std::vector<std::string> below;

    bool operator==(const ShownRow&) const = default;
};

// A block of rows under a header row ("", "COM0", … or "Inputs", "type", …), or under a title
// alone when the header is empty ("Outputs").
struct ShownTable {
    std::string title;
    std::vector<std::string> header;
    std::vector<ShownRow> rows;
};

// The tables of the configuration's family; the same tables, row for row, for every
// configuration of one family.
std::vector<ShownTable> LayOut(const CardConfiguration& configuration, const EventNames& names);

// The tables as show prints them.
std::string LayoutText(const std::vector<ShownTable>& tables);
// One line of a table: every cell but the last padded to a column of 14 characters.
std::string LayoutLine(const std::vector<std::string>& cells);
