// Any manifest text: reading never crashes, rows rise, every fault names a cell of its row, a
// text read without fault reads the same once written back with every cell quoted, and its
// cells set as fields on a template either give a configuration or say why not.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cli/ManifestCsv.h"
#include "model/FieldSettings.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::string Quoted(const std::string& cell) {
    std::string quoted = "\"";
    for (const char c : cell) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

// Every cell quoted, every record on a line of its own.
std::string Written(const CsvReading& reading) {
    std::string text;
    for (const CsvRecord& record : reading.records) {
        for (size_t i = 0; i < record.cells.size(); ++i) {
            text += (i == 0 ? "" : ",") + Quoted(record.cells[i]);
        }
        text += "\r\n";
    }
    return text;
}

// The first row's cells as field names, every other row's as their values, on a KFT018
// configuration.
void SetRows(const CsvReading& reading) {
    if (reading.records.empty()) {
        return;
    }
    const CardConfiguration base;
    const std::vector<std::string>& names = reading.records.front().cells;
    for (size_t row = 1; row < reading.records.size(); ++row) {
        std::vector<FieldValue> values;
        const std::vector<std::string>& cells = reading.records[row].cells;
        for (size_t i = 0; i < cells.size() && i < names.size(); ++i) {
            values.push_back({names[i], cells[i]});
        }
        const FieldSetting setting = SetFields(base, values);
        Require(setting.configuration.has_value() == setting.errors.empty());
        for (const ConfigError& error : setting.errors) {
            Require(error.line >= 0 && error.line <= static_cast<int>(values.size()));
            Require(!error.problem.empty() && !error.allowed.empty());
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const CsvReading reading = ReadCsv(text);
    int row = 0;
    for (const CsvRecord& record : reading.records) {
        Require(record.row > row && !record.cells.empty());
        row = record.row;
    }
    for (const CsvError& error : reading.errors) {
        Require(error.row >= 1 && !error.problem.empty());
    }
    if (reading.errors.empty()) {
        const CsvReading again = ReadCsv(Written(reading));
        Require(again.errors.empty() && again.records.size() == reading.records.size());
        for (size_t i = 0; i < again.records.size(); ++i) {
            Require(again.records[i].cells == reading.records[i].cells);
        }
    }
    SetRows(reading);
    return 0;
}
