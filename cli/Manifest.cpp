#include "cli/Manifest.h"

#include <algorithm>
#include <map>
#include <set>

#include "cli/InputFile.h"
#include "cli/ManifestCsv.h"
#include "cli/PortProbe.h"
#include "cli/ShownText.h"
#include "link/PortMapping.h"
#include "link/SystemDevices.h"
#include "model/ConfigFileText.h"

namespace {

constexpr const char* kPortColumn = "port";
constexpr int kHeaderRow = 1;
const std::string kPortAllowed = "COM1 to COM7 or a device path (./NAME for a file of that name)";
const std::string kOneRow = "one row for each card";

// The columns of the header: the port's and each field's, canonical; empty for one in error.
struct Columns {
    std::vector<std::string> names;
    std::optional<size_t> port;
};

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

class ManifestCheck {
  public:
    ManifestCheck(CliContext& context, const CardConfiguration& base)
        : context_(context), base_(base) {}

    std::vector<ManifestCard> Check(const CsvReading& csv) {
        for (const CsvError& error : csv.errors) {
            misquoted_.emplace(error.row, error.column);
            Error(error.row, NameOfColumn(csv, error.column), error.cell, error.problem,
                  "a cell either plain or wholly in double quotes, with \"\" for each quote in "
                  "it");
        }
        if (csv.records.empty() || csv.records.front().row != kHeaderRow) {
            Error(kHeaderRow, "column", kPortColumn, "is missing",
                  "a first row naming the columns: " + std::string(kPortColumn) +
                      " and the fields that differ");
            return {};
        }
        ReadHeader(csv.records.front());
        std::vector<ManifestCard> cards;
        for (size_t i = 1; i < csv.records.size(); ++i) {
            if (std::optional<ManifestCard> card = ReadRow(csv.records[i])) {
                cards.push_back(std::move(*card));
            }
        }
        if (csv.records.size() == 1) {
            Error(kHeaderRow + 1, kPortColumn, "", "is missing", kOneRow);
        }
        return cards;
    }

    std::vector<ConfigError> TakeErrors() {
        std::stable_sort(
            errors_.begin(), errors_.end(),
            [](const ConfigError& a, const ConfigError& b) { return a.line < b.line; });
        return std::move(errors_);
    }

  private:
    void Error(int row, std::string column, std::string value, std::string problem,
               std::string allowed) {
        errors_.push_back(
            {row, std::move(column), std::move(value), std::move(problem), std::move(allowed)});
    }

    // A column by its header's name, or "column N" where the header names none.
    static std::string NameOfColumn(const CsvReading& csv, size_t column) {
        const bool named = !csv.records.empty() && csv.records.front().row == kHeaderRow &&
                           column < csv.records.front().cells.size() &&
                           !csv.records.front().cells[column].empty();
        return named ? csv.records.front().cells[column] : "column " + std::to_string(column + 1);
    }

    void ReadHeader(const CsvRecord& header) {
        const std::vector<std::string> ofFamily = FieldNamesOfFamily(base_.family);
        const std::string allowed = std::string(kPortColumn) + ", " + Joined(ofFamily);
        for (size_t i = 0; i < header.cells.size(); ++i) {
            const std::string& cell = header.cells[i];
            std::string name = config_file::SameText(config_file::Trim(cell), kPortColumn)
                                   ? kPortColumn
                                   : CanonicalFieldName(cell);
            if (name.empty()) {
                Error(kHeaderRow, "column", cell, "is not a field", allowed);
            } else if (name != kPortColumn &&
                       std::find(ofFamily.begin(), ofFamily.end(), name) == ofFamily.end()) {
                Error(kHeaderRow, "column", cell, "is not a field of " + FamilyName(base_.family),
                      allowed);
                name.clear();
            } else if (std::find(columns_.names.begin(), columns_.names.end(), name) !=
                       columns_.names.end()) {
                Error(kHeaderRow, "column", cell, "stands twice", "each column once");
                name.clear();
            } else if (name == kPortColumn) {
                columns_.port = i;
            }
            columns_.names.push_back(name);
        }
        if (!columns_.port) {
            Error(kHeaderRow, "column", kPortColumn, "is missing", allowed);
        }
    }

    std::optional<ManifestCard> ReadRow(const CsvRecord& record) {
        ManifestCard card;
        card.row = record.row;
        const size_t errorsBefore = errors_.size();
        for (size_t i = 0; i < record.cells.size(); ++i) {
            const std::string& cell = record.cells[i];
            if (i >= columns_.names.size()) {
                if (!cell.empty()) {
                    Error(record.row, "column " + std::to_string(i + 1), cell,
                          "stands where the first row names no column",
                          std::to_string(columns_.names.size()) + " columns");
                }
            } else if (misquoted_.contains({record.row, i})) {
                continue;
            } else if (i == columns_.port) {
                card.port = cell;
            } else if (!columns_.names[i].empty() && !config_file::Trim(cell).empty()) {
                card.fields.push_back({columns_.names[i], std::string(config_file::Trim(cell))});
            }
        }
        if (columns_.port && !misquoted_.contains({record.row, *columns_.port})) {
            CheckPort(record.row, card.port);
        }
        FieldSetting setting = SetFields(base_, card.fields);
        for (ConfigError& error : setting.errors) {
            error.line = record.row;
            errors_.push_back(std::move(error));
        }
        if (errors_.size() != errorsBefore || !setting.configuration) {
            return std::nullopt;
        }
        card.wanted = *setting.configuration;
        return card;
    }

    // A port that can be one, and neither it nor its device in an earlier row.
    void CheckPort(int row, const std::string& port) {
        if (port.empty()) {
            Error(row, kPortColumn, "", "is missing", kPortAllowed);
            return;
        }
        if (KindOfTypedPort(port) == TypedPortKind::NoPort) {
            Error(row, kPortColumn, port, "is no port", kPortAllowed);
            return;
        }
        const std::string device = DeviceOfName(devices_, port, context_.overrides);
        const auto [first, isNew] =
            rowOfDevice_.emplace(device.empty() ? port : device, std::make_pair(row, port));
        if (isNew) {
            return;
        }
        const auto& [firstRow, firstPort] = first->second;
        Error(row, kPortColumn, port,
              firstPort == port ? "stands in row " + std::to_string(firstRow) + " too"
                                : "is " + Shown(device) + ", as " + Shown(firstPort) + " in row " +
                                      std::to_string(firstRow) + " is",
              kOneRow);
    }

    CliContext& context_;
    const CardConfiguration& base_;
    const DeviceList devices_ = ListSerialDevices();
    Columns columns_;
    std::set<std::pair<int, size_t>> misquoted_;  // row, column of cells told as misquoted
    std::map<std::string, std::pair<int, std::string>> rowOfDevice_;  // device -> row, port
    std::vector<ConfigError> errors_;
};

}  // namespace

std::optional<std::vector<ManifestCard>> LoadManifest(CliContext& context,
                                                      const std::string& manifest,
                                                      const CardConfiguration& base) {
    const std::optional<std::string> text = ReadInputText(context, manifest, "a manifest");
    if (!text) {
        return std::nullopt;
    }
    ManifestCheck check(context, base);
    std::vector<ManifestCard> cards = check.Check(ReadCsv(*text));
    const std::vector<ConfigError> errors = check.TakeErrors();
    for (const ConfigError& error : errors) {
        context.err << FormatConfigError(manifest, error) << "\n";
    }
    if (!errors.empty()) {
        context.err << manifest << ": " << errors.size() << " error"
                    << (errors.size() == 1 ? "" : "s") << "; nothing was sent\n";
        return std::nullopt;
    }
    return cards;
}

std::string SetFieldsText(const std::vector<FieldValue>& fields) {
    std::string text;
    for (const FieldValue& field : fields) {
        text += (text.empty() ? "" : ", ") + field.name + "=" + field.value;
    }
    return text;
}
