// The two forms of a commissioning record: plain text and an HTML page for A4.
#include <QString>

#include "cli/CardSession.h"
#include "cli/CommissioningRecord.h"
#include "cli/ShownText.h"

namespace {

// Where the values start on a line of the text: after the field's name and its state.
constexpr size_t kValueColumn = 28;

// The digest of the card as left; only an image read back from the card has one.
std::string DigestOf(const CommissioningRecord& record) {
    return record.readBack ? ImageDigest(record.left.image) : "---";
}

// The heading of the fields' names: the table's own ("Inputs"), else "Field".
std::string FirstHeading(const ComparedTable& table) {
    return table.header.empty() || table.header.front().empty() ? Heading(RecordHeading::Field)
                                                                : table.header.front();
}

// The cells of a row for the table: an output's events stand under its logic.
std::vector<std::string> TextCells(const std::string& label, const std::string& state,
                                   const ShownRow& row, bool changed) {
    std::vector<std::string> cells = {label, state};
    cells.insert(cells.end(), row.cells.begin(), row.cells.end());
    if (changed) {
        cells.push_back(Heading(RecordHeading::Changed));
    }
    return cells;
}

std::string TextTable(const ComparedTable& table) {
    std::string text;
    if (table.header.empty()) {
        text += table.title + "\n";
    } else {
        std::vector<std::string> header = {FirstHeading(table), ""};
        header.insert(header.end(), table.header.begin() + 1, table.header.end());
        text += LayoutLine(header);
    }
    for (const ComparedRow& row : table.rows) {
        // A changed field says so in words on both of its lines.
        for (const bool isFound : {true, false}) {
            const ShownRow& shown = isFound ? row.found : row.left;
            text += LayoutLine(
                TextCells(isFound ? row.found.label : "",
                          Heading(isFound ? RecordHeading::AsFound : RecordHeading::AsLeft), shown,
                          row.changed));
            // An output's events stand in the column of its logic.
            for (const std::string& line : shown.below) {
                text += std::string(kValueColumn, ' ') + line + "\n";
            }
        }
    }
    return text;
}

std::string Cell(const char* tag, const std::string& text, const std::string& attributes = "") {
    return std::string("<") + tag + attributes + ">" + HtmlEscaped(text) + "</" + tag + ">";
}

// The values of a row, an output's events under its logic.
std::string PageCells(const ShownRow& row) {
    std::string cells;
    for (size_t i = 0; i < row.cells.size(); ++i) {
        std::string cell = HtmlEscaped(row.cells[i]);
        if (i + 1 == row.cells.size()) {
            for (const std::string& line : row.below) {
                cell += "<br>" + HtmlEscaped(line);
            }
        }
        cells += "<td>" + cell + "</td>";
    }
    return cells;
}

std::string PageTable(const ComparedTable& table) {
    std::string page = "<h2>" + HtmlEscaped(table.title) + "</h2>\n<table class=\"fields\">\n";
    // A header that chromium repeats on every page the table runs onto.
    page += "<thead><tr>" + Cell("th", FirstHeading(table)) + "<th></th>";
    if (table.header.empty()) {
        page += "<th></th>";
    } else {
        for (size_t i = 1; i < table.header.size(); ++i) {
            page += Cell("th", table.header[i]);
        }
    }
    page += "<th></th></tr></thead>\n";
    for (const ComparedRow& row : table.rows) {
        const std::string changed = row.changed ? " class=\"changed\"" : "";
        page += "<tbody" + changed + "><tr>" + Cell("th", row.found.label, " rowspan=\"2\"") +
                Cell("td", Heading(RecordHeading::AsFound)) + PageCells(row.found) +
                Cell("td", row.changed ? Heading(RecordHeading::Changed) : "",
                     " rowspan=\"2\" class=\"mark\"") +
                "</tr>\n<tr>" + Cell("td", Heading(RecordHeading::AsLeft)) + PageCells(row.left) +
                "</tr></tbody>\n";
    }
    return page + "</table>\n";
}

constexpr const char* kStyle = R"(@page { size: A4; margin: 14mm; }
body { font-family: sans-serif; font-size: 9pt; margin: 0; }
h1 { font-size: 15pt; margin: 0 0 3mm; }
h2 { font-size: 11pt; margin: 4mm 0 1mm; break-after: avoid; }
table { border-collapse: collapse; width: 100%; table-layout: fixed; }
th, td { border: 0.3mm solid #777; padding: 0.5mm 1.5mm; text-align: left; vertical-align: top;
  overflow-wrap: anywhere; }
tbody { break-inside: avoid; }
.facts th { width: 30%; }
.digest { font-family: monospace; font-size: 8pt; white-space: nowrap; }
.fields th:first-child { width: 12%; }
.fields td.mark { width: 12%; }
tbody.changed td, tbody.changed th { background: #ffe9a8; font-weight: bold; }
.sign td { height: 14mm; }
)";

}  // namespace

std::string HtmlEscaped(const std::string& text) {
    // Control characters shown as \xHH, and bytes that are not UTF-8 as the replacement mark.
    const std::string valid = QString::fromUtf8(Shown(text)).toStdString();
    std::string escaped;
    for (const char c : valid) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\'':
                escaped += "&#39;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string RecordText(const CommissioningRecord& record, const EventNames& names) {
    std::string text = Heading(RecordHeading::Title) + "\n\n";
    const auto fact = [](const std::string& heading, const std::string& value) {
        std::string line = Shown(heading) + ":";
        return line +
               std::string(line.size() < kValueColumn ? kValueColumn - line.size() : 1, ' ') +
               Shown(value) + "\n";
    };
    for (const auto& [heading, value] : RecordFacts(record)) {
        text += fact(heading, value);
    }
    text += "\n" + fact(Heading(RecordHeading::Result), record.result);
    for (const std::string& note : record.notes) {
        text += Shown(note) + "\n";
    }
    if (!record.readBack) {
        text += Heading(RecordHeading::AsLeft) + ": " + Heading(RecordHeading::NotReadBack) + "\n";
    }
    text += Heading(RecordHeading::Digest) + ":\n" + DigestOf(record) + "\n";
    for (const ComparedTable& table : CompareLayouts(record.found, record.left, names)) {
        text += "\n" + TextTable(table);
    }
    text += "\n";
    for (const RecordHeading line :
         {RecordHeading::SignatureName, RecordHeading::SignatureDate, RecordHeading::Signature}) {
        text += Shown(Heading(line)) + ":\n\n";
    }
    return text;
}

std::string RecordPage(const CommissioningRecord& record, const EventNames& names) {
    const std::string title = Heading(RecordHeading::Title);
    std::string page = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" +
                       HtmlEscaped(title + " " + Printable(record.identity) + " " + record.port) +
                       "</title>\n<style>\n" + kStyle + "</style>\n</head>\n<body>\n<h1>" +
                       HtmlEscaped(title) + "</h1>\n<table class=\"facts\">\n";
    for (const auto& [heading, value] : RecordFacts(record)) {
        page += "<tr>" + Cell("th", heading) + Cell("td", value) + "</tr>\n";
    }
    page +=
        "<tr>" + Cell("th", Heading(RecordHeading::Result)) + "<td>" + HtmlEscaped(record.result);
    for (const std::string& note : record.notes) {
        page += "<br>" + HtmlEscaped(note);
    }
    if (!record.readBack) {
        page += "<br>" + HtmlEscaped(Heading(RecordHeading::AsLeft) + ": " +
                                     Heading(RecordHeading::NotReadBack));
    }
    page += "</td></tr>\n<tr>" + Cell("th", Heading(RecordHeading::Digest)) +
            Cell("td", DigestOf(record), " class=\"digest\"") + "</tr>\n</table>\n";
    for (const ComparedTable& table : CompareLayouts(record.found, record.left, names)) {
        page += PageTable(table);
    }
    page += "<h2>" + HtmlEscaped(Heading(RecordHeading::Signature)) +
            "</h2>\n<table class=\"facts sign\">\n";
    for (const RecordHeading line :
         {RecordHeading::SignatureName, RecordHeading::SignatureDate, RecordHeading::Signature}) {
        page += "<tr>" + Cell("th", Heading(line)) + "<td></td></tr>\n";
    }
    return page + "</table>\n</body>\n</html>\n";
}
