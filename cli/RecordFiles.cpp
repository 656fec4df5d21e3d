#include "cli/RecordFiles.h"

#include <QDateTime>
#include <filesystem>

#include "app/LanguageTable.h"
#include "app/TextDecoding.h"
#include "cli/ExitCodes.h"
#include "cli/PortTable.h"
#include "cli/SafeFile.h"
#include "cli/ShownText.h"
#include "link/SerialPlatform.h"

namespace {

// "+01:00" for a time one hour east of UTC.
std::string UtcOffset(const QDateTime& local) {
    const int minutes = local.offsetFromUtc() / 60;
    const int away = minutes < 0 ? -minutes : minutes;
    return QString::asprintf("%c%02d:%02d", minutes < 0 ? '-' : '+', away / 60, away % 60)
        .toStdString();
}

// "Deutsch (01)": the name the language file gives itself on its first line, and its number.
std::string LanguageName(int language) {
    constexpr int kLongestName = 100;
    std::string name = ReadLanguageFileFirstLine(language, kLongestName).value_or("");
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) {
        name.pop_back();
    }
    const std::string number = QString::asprintf("%02d", language).toStdString();
    return name.empty() ? number : DecodeLanguageBytes(name).toStdString() + " (" + number + ")";
}

void AddFactsOfWork(CommissioningRecord& record, const WriteOptions& options) {
    const QDateTime utc = QDateTime::currentDateTimeUtc();
    const QDateTime local = utc.toLocalTime();
    record.localTime = local.toString("yyyy-MM-dd HH:mm:ss").toStdString() + " " + UtcOffset(local);
    record.utcTime = utc.toString("yyyy-MM-dd HH:mm:ss").toStdString() + " UTC";
    record.stamp = utc.toString("yyyyMMdd'T'HHmmss'Z'").toStdString();
    record.operatorName = options.operatorName.empty() ? LoginName() : options.operatorName;
    record.computer = ComputerName();
    record.version = BROVANE_VERSION;
    record.language = LanguageName(options.language);
    record.deviceId = record.device.empty() ? "" : ByIdName(record.device);
}

// Both files made before either is written, so that a folder that refuses one holds neither.
bool WriteBoth(const std::filesystem::path& base, const std::string& page, const std::string& text,
               std::string& path, std::string& reason) {
    std::filesystem::path pagePath = base;
    pagePath += ".html";
    std::filesystem::path textPath = base;
    textPath += ".txt";
    path = pagePath.string();
    std::optional<SafeFile> pageFile = SafeFile::Create(pagePath, reason);
    if (!pageFile) {
        return false;
    }
    path = textPath.string();
    std::optional<SafeFile> textFile = SafeFile::Create(textPath, reason);
    if (!textFile) {
        return false;
    }
    path = pagePath.string();
    if (!pageFile->Commit(page, reason)) {
        return false;
    }
    path = textPath.string();
    return textFile->Commit(text, reason);
}

}  // namespace

bool RecordFolderUsable(CliContext& context, const std::string& folder) {
    std::error_code ignored;
    if (folder.empty() || !std::filesystem::is_directory(folder, ignored)) {
        context.err << "brovane-cli: cannot write records into " << Shown(folder)
                    << ": it is not a folder; nothing was sent\n";
        return false;
    }
    return true;
}

void KeepRecord(CliContext& context, PortOutcome& outcome, CommissioningRecord record,
                const WriteOptions& options) {
    AddFactsOfWork(record, options);
    const std::filesystem::path base = std::filesystem::path(options.recordFolder) /
                                       RecordName(record.identity, record.port, record.stamp);
    std::string path;
    std::string reason;
    if (WriteBoth(base, RecordPage(record, context.names), RecordText(record, context.names), path,
                  reason)) {
        context.out << "record: " << Shown(base.string()) << ".html, .txt\n";
        return;
    }
    context.err << "brovane-cli: cannot write the record " << Shown(path) << ": " << reason
                << "; the card's result stands as told\n";
    outcome.result += "; no record";
    PortOutcome unwritten;
    unwritten.exitCode = kExitCannotWrite;
    outcome.exitCode = WorstExitCode({outcome, unwritten});
}
