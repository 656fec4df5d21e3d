#include "cli/InputFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "cli/FileKind.h"

namespace {

// A configuration file is a few kilobytes; anything beyond a mebibyte is not one.
constexpr size_t kLargestFile = size_t{1} << 20;

std::optional<std::string> ReadBytes(CliContext& context, const std::string& file) {
    // A FIFO without a writer would block the open: what is no regular file is never opened.
    if (const std::optional<std::string> kind = NotARegularFile(file)) {
        context.err << "brovane-cli: " << file << " is " << *kind << ", not a configuration file\n";
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
        context.err << "brovane-cli: " << file
                    << " is larger than a configuration file can be (1 MiB)\n";
        return std::nullopt;
    }
    return text;
}

}  // namespace

std::optional<CardConfiguration> LoadConfigFile(CliContext& context, const std::string& file,
                                                FileUse use) {
    const std::optional<std::string> text = ReadBytes(context, file);
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
