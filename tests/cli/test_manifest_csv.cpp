// The comma-separated text of a manifest as spreadsheets save it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/ManifestCsv.h"

namespace {

struct CsvCase {
    const char* name;
    std::string text;
    std::vector<CsvRecord> records;
    std::vector<std::string> errors;  // "ROW:COLUMN:CELL:PROBLEM"
};

std::vector<std::string> Errors(const CsvReading& reading) {
    std::vector<std::string> errors;
    for (const CsvError& error : reading.errors) {
        errors.push_back(std::to_string(error.row) + ":" + std::to_string(error.column) + ":" +
                         error.cell + ":" + error.problem);
    }
    return errors;
}

TEST(ManifestCsv, ReadsWhatSpreadsheetsSaveAndTellsEachMisquotedCell) {
    const CsvCase cases[] = {
        {"plain",
         "port,COM2 address\nCOM1,12\n",
         {{1, {"port", "COM2 address"}}, {2, {"COM1", "12"}}},
         {}},
        {"byte order mark, CR LF, no last line end",
         "\xEF\xBB\xBFport,a\r\nCOM1,12",
         {{1, {"port", "a"}}, {2, {"COM1", "12"}}},
         {}},
        {"a CR alone ends a line", "a\rb\r", {{1, {"a"}}, {2, {"b"}}}, {}},
        {"quotes: comma, doubled quote and line break inside",
         "\"a,b\",\"say \"\"x\"\"\",\"two\r\nlines\"\nnext\n",
         {{1, {"a,b", "say \"x\"", "two\r\nlines"}}, {2, {"next"}}},
         {}},
        {"blank rows count but are left out", "a\n\n,,\nb\n", {{1, {"a"}}, {4, {"b"}}}, {}},
        {"empty cells stay", "a,,c,\n", {{1, {"a", "", "c", ""}}}, {}},
        {"a quote inside a plain cell",
         "a,1\"2\n",
         {{1, {"a", "1\"2"}}},
         {"1:1:1\"2:holds a quote but does not begin with one"}},
        {"text after the closing quote",
         "\"7\" x,b\n",
         {{1, {"7 x", "b"}}},
         {"1:0:7 x:has text after the quote that closes it"}},
        {"a quote never closed",
         "a\n\"12\nb\n",
         {{1, {"a"}}, {2, {"12\nb\n"}}},
         {"2:0:12\nb\n:opens with a quote that no quote closes"}},
        {"nothing", "", {}, {}},
        {"a byte order mark alone", "\xEF\xBB\xBF", {}, {}},
    };
    for (const CsvCase& c : cases) {
        SCOPED_TRACE(c.name);
        const CsvReading reading = ReadCsv(c.text);
        EXPECT_EQ(reading.records, c.records);
        EXPECT_EQ(Errors(reading), c.errors);
    }
}

}  // namespace
