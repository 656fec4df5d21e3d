#include "cli/InputFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "cli/FileKind.h"
#include "model/FieldSettings.h"

namespace {

// A configuration file or a manifest is a few kilobytes; anything beyond a mebibyte is not one.
constexpr size_t kLargestFile = size_t{1} << 20;

}  // namespace

std::optional<std::string> ReadInputText(CliContext& context, const std::string& file,
                                         const std::string& what) {
    // A FIFO without a writer would block the open: what is no regular file is never opened.
    if (const std::optional<std::string> kind = NotARegularFile(file)) {
        context.err << "brovane-cli: " << file << " is " << *kind << ", not " << what << "\n";
        return std::nullopt;
    }
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        context.err << "brovane-cli: cannot read " << file << ": " << std::strerror(errno) << "\n";
        return std::nullopt;
    }
    std::string text(kLargestFile + 1, '\0');
    stream.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(stream.gcount()));
    if (text.size() > kLargestFile) {
        context.err << "brovane-cli: " << file << " is larger than " << what << " can be (1 MiB)\n";
        return std::nullopt;
    }
    return text;
}

std::optional<CardConfiguration> LoadConfigFile(CliContext& context, const std::string& file,
                                                FileUse use) {
    const std::optional<std::string> text = ReadInputText(context, file, "a configuration file");
    if (!text) {
        return std::nullopt;
    }
    const ConfigReading reading = ReadConfigFile(*text);
    if (reading.encoding == TextEncoding::Utf16) {
        context.err << "brovane-cli: " << file << " is UTF-16 text; save it as UTF-8\n";
        return std::nullopt;
    }
    if (reading.encoding == TextEncoding::Windows1252) {
        context.err << "brovane-cli: " << file
                    << " is not UTF-8 text; its lines that are not were read as Windows-1252\n";
    }
    for (const ConfigError& error : reading.errors) {
        context.err << FormatConfigError(file, error) << "\n";
    }
    if (!reading.errors.empty()) {
        context.err << file << ": " << reading.errors.size() << " error"
                    << (reading.errors.size() == 1 ? "" : "s")
                    << (use == FileUse::BeforeSending ? "; nothing was sent" : "") << "\n";
    }
    return reading.configuration;
}

std::optional<CardConfiguration> LoadTemplate(CliContext& context, const std::string& file,
                                              const std::vector<std::string>& sets) {
    std::optional<CardConfiguration> configuration =
        LoadConfigFile(context, file, FileUse::BeforeSending);
    if (!configuration || sets.empty()) {
        return configuration;
    }
    FieldSetting setting;
    std::vector<FieldValue> values;
    for (size_t i = 0; i < sets.size(); ++i) {
        if (const std::optional<FieldValue> value = SplitFieldAssignment(sets[i])) {
            values.push_back(*value);
        } else {
            setting.errors.push_back({static_cast<int>(i) + 1, "--set", sets[i], "has no \"=\"",
                                      "FIELD=VALUE, the field named as show names it"});
        }
    }
    if (setting.errors.empty()) {
        setting = SetFields(*configuration, values);
    }
    for (const ConfigError& error : setting.errors) {
        context.err << "brovane-cli: " << FormatConfigError("--set", error) << "\n";
    }
    if (!setting.errors.empty()) {
        context.err << "brovane-cli: --set: " << setting.errors.size() << " error"
                    << (setting.errors.size() == 1 ? "" : "s") << "; nothing was sent\n";
    }
    return setting.configuration;
}
