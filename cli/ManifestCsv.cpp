#include "cli/ManifestCsv.h"

#include <algorithm>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr char kQuote = '"';
constexpr char kComma = ',';

bool IsLineEnd(char c) {
    return c == '\n' || c == '\r';
}

class CsvReader {
  public:
    explicit CsvReader(std::string_view text) : text_(text) {
        if (text_.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
            at_ = kByteOrderMark.size();
        }
    }

    CsvReading Read() {
        while (at_ < text_.size()) {
            ReadRecord();
        }
        return std::move(reading_);
    }

  private:
    // A fault of the cell being read, told once the cell is whole.
    void Fault(std::string problem) {
        if (fault_.empty()) {
            fault_ = std::move(problem);
        }
    }

    // One record, up to and with its line end.
    void ReadRecord() {
        CsvRecord record{row_, {}};
        for (;;) {
            record.cells.push_back(ReadCell());
            if (!fault_.empty()) {
                reading_.errors.push_back(
                    {record.row, record.cells.size() - 1, record.cells.back(), std::move(fault_)});
                fault_.clear();
            }
            if (at_ < text_.size() && text_[at_] == kComma) {
                ++at_;
                continue;
            }
            break;
        }
        SkipLineEnd();
        ++row_;
        const bool blank = std::all_of(record.cells.begin(), record.cells.end(),
                                       [](const std::string& cell) { return cell.empty(); });
        if (!blank) {
            reading_.records.push_back(std::move(record));
        }
    }

    void SkipLineEnd() {
        if (at_ < text_.size() && text_[at_] == '\r') {
            ++at_;
        }
        if (at_ < text_.size() && text_[at_] == '\n') {
            ++at_;
        }
    }

    std::string ReadCell() {
        if (at_ < text_.size() && text_[at_] == kQuote) {
            return ReadQuotedCell();
        }
        std::string cell;
        while (at_ < text_.size() && text_[at_] != kComma && !IsLineEnd(text_[at_])) {
            if (text_[at_] == kQuote) {
                Fault("holds a quote but does not begin with one");
            }
            cell += text_[at_++];
        }
        return cell;
    }

    // A cell in quotes: its line breaks stay in the cell, and the record stays one row.
    std::string ReadQuotedCell() {
        ++at_;
        std::string cell;
        for (;;) {
            if (at_ >= text_.size()) {
                Fault("opens with a quote that no quote closes");
                return cell;
            }
            const char c = text_[at_++];
            if (c != kQuote) {
                cell += c;
                continue;
            }
            if (at_ < text_.size() && text_[at_] == kQuote) {
                cell += kQuote;
                ++at_;
                continue;
            }
            break;
        }
        if (at_ < text_.size() && text_[at_] != kComma && !IsLineEnd(text_[at_])) {
            Fault("has text after the quote that closes it");
            while (at_ < text_.size() && text_[at_] != kComma && !IsLineEnd(text_[at_])) {
                cell += text_[at_++];
            }
        }
        return cell;
    }

    std::string_view text_;
    size_t at_ = 0;
    int row_ = 1;
    std::string fault_;
    CsvReading reading_;
};

}  // namespace

CsvReading ReadCsv(std::string_view text) {
    return CsvReader(text).Read();
}
