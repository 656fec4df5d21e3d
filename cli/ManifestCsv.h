#pragma once

// Comma-separated text as spreadsheets save it: cells split at commas, a cell in double quotes
// may hold commas, line breaks and doubled quotes (""). A UTF-8 byte order mark at the start is
// skipped; lines end with CR LF, LF or a CR alone. Reading never throws and never stops early:
// every fault is reported and the text read on.

#include <string>
#include <string_view>
#include <vector>

struct CsvRecord {
    int row = 0;  // as a spreadsheet numbers it: the first record is row 1, a blank line a row
    std::vector<std::string> cells;
    bool operator==(const CsvRecord&) const = default;
};

struct CsvError {
    int row = 0;
    size_t column = 0;  // 0 for the first cell
    std::string cell;   // as far as it was read
    std::string problem;
};

struct CsvReading {
    std::vector<CsvRecord> records;  // blank rows (no cell holds anything) left out
    std::vector<CsvError> errors;
};

CsvReading ReadCsv(std::string_view text);
