#include "cli/SafeFile.h"

#include <random>

#include "cli/FileKind.h"

SafeFile::SafeFile(std::filesystem::path target, std::filesystem::path temporary, FileHandle file)
    : target_(std::move(target)), temporary_(std::move(temporary)), file_(std::move(file)) {}

SafeFile::SafeFile(SafeFile&& other) noexcept
    : target_(std::move(other.target_)),
      temporary_(std::move(other.temporary_)),
      file_(std::move(other.file_)) {
    other.temporary_.clear();
}

SafeFile::~SafeFile() {
    Discard();
}

std::optional<SafeFile> SafeFile::Create(const std::filesystem::path& path, std::string& error) {
    if (const std::optional<std::string> kind = NotARegularFile(path)) {
        error = "it is " + *kind;
        return std::nullopt;
    }
    // A name of its own beside the file: a second try after a clash with another program's.
    constexpr int kAttempts = 16;
    std::random_device random;
    std::error_code reason;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::filesystem::path temporary = path;
        temporary += ".tmp" + std::to_string(random() % 1000000);
        reason.clear();
        FileHandle file = CreateNewFile(temporary, reason);
        if (file) {
            return SafeFile(path, std::move(temporary), std::move(file));
        }
        if (reason != std::errc::file_exists) {
            break;
        }
    }
    error = reason.message();
    return std::nullopt;
}

bool SafeFile::Commit(std::string_view text, std::string& error) {
    std::error_code reason;
    bool done = WriteToDisk(file_.get(), text, reason);
    if (std::fclose(file_.release()) != 0 && done) {
        reason = std::make_error_code(std::errc::io_error);
        done = false;
    }
    done = done && ReplaceFileWith(temporary_, target_, reason);
    if (!done) {
        error = reason.message();
        Discard();
        return false;
    }
    temporary_.clear();
    return true;
}

void SafeFile::Discard() {
    file_.reset();
    if (!temporary_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
        temporary_.clear();
    }
}
