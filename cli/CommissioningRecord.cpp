#include "cli/CommissioningRecord.h"

#include <QCryptographicHash>
#include <QString>

#include "app/LanguageTable.h"
#include "app/TextDecoding.h"
#include "cli/CardSession.h"

namespace {

// The record's headings: the number of each in the language files, and its English.
struct HeadingText {
    int number;
    const char* english;
};
constexpr HeadingText kHeadings[] = {
    {232, "Commissioning record"},
    {233, "Card"},
    {234, "Family"},
    {235, "Hardware value"},
    {236, "Port"},
    {237, "Device"},
    {238, "Persistent device name"},
    {239, "Date and time (local)"},
    {240, "Date and time (UTC)"},
    {241, "Operator"},
    {242, "Computer"},
    {243, "Program"},
    {244, "Language"},
    {245, "As found"},
    {246, "As left"},
    {247, "changed"},
    {248, "Result"},
    {249, "SHA-256 of the 96 register bytes as left"},
    {250, "Signature"},
    {251, "Name"},
    {252, "Date"},
    {253, "Field"},
    {254, "not read back: what the card is known to hold"},
};
static_assert(std::size(kHeadings) == static_cast<size_t>(RecordHeading::NotReadBack) + 1);

// A part of a file name: letters, digits, '-' and '.', every other byte a '-'; never empty and
// never starting with '.', which would hide the file.
std::string NamePart(const std::string& text) {
    constexpr size_t kLongest = 48;
    std::string part;
    for (const char c : text.substr(0, kLongest)) {
        const bool kept = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                          (c >= '0' && c <= '9') || c == '-' || c == '.';
        part += kept ? c : '-';
    }
    // "/dev/pts/3" gives "dev-pts-3", not "-dev-pts-3".
    const size_t first = part.find_first_not_of("-.");
    return first == std::string::npos ? "unknown" : part.substr(first);
}

}  // namespace

std::vector<ComparedTable> CompareLayouts(const CardConfiguration& found,
                                          const CardConfiguration& left, const EventNames& names) {
    const std::vector<ShownTable> before = LayOut(found, names);
    const std::vector<ShownTable> after = LayOut(left, names);
    std::vector<ComparedTable> tables;
    for (size_t t = 0; t < before.size() && t < after.size(); ++t) {
        ComparedTable table{before[t].title, before[t].header, {}};
        for (size_t r = 0; r < before[t].rows.size() && r < after[t].rows.size(); ++r) {
            const ShownRow& was = before[t].rows[r];
            const ShownRow& is = after[t].rows[r];
            table.rows.push_back({was, is, was != is});
        }
        tables.push_back(std::move(table));
    }
    return tables;
}

std::string ImageDigest(const RegisterImage& image) {
    const QByteArray bytes(reinterpret_cast<const char*>(image.Bytes()), RegisterImage::kByteCount);
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString();
}

std::string RecordName(const std::string& identity, const std::string& port,
                       const std::string& stamp) {
    return NamePart(identity) + "_" + NamePart(port) + "_" + NamePart(stamp);
}

std::string Heading(RecordHeading heading) {
    const HeadingText& text = kHeadings[static_cast<size_t>(heading)];
    return DecodeLanguageBytes(LanguageEntryOr(text.number, text.english)).toStdString();
}

std::vector<std::pair<std::string, std::string>> RecordFacts(const CommissioningRecord& record) {
    return {
        {Heading(RecordHeading::Card), Printable(record.identity)},
        {Heading(RecordHeading::Family), record.family},
        {Heading(RecordHeading::HardwareValue), std::to_string(record.hardwareBits)},
        {Heading(RecordHeading::Port), record.port},
        {Heading(RecordHeading::Device), record.device},
        {Heading(RecordHeading::DeviceId), record.deviceId.empty() ? "---" : record.deviceId},
        {Heading(RecordHeading::LocalTime), record.localTime},
        {Heading(RecordHeading::UtcTime), record.utcTime},
        {Heading(RecordHeading::Operator), record.operatorName},
        {Heading(RecordHeading::Computer), record.computer},
        {Heading(RecordHeading::Program), "brovane-cli " + record.version},
        {Heading(RecordHeading::Language), record.language},
    };
}
