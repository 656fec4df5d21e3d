#include "cli/SafeFile.h"

#include <random>

#include "cli/FileKind.h"

namespace {

// A name beside `target` for its new content, told apart by a random `number`.
std::filesystem::path TemporaryName(const std::filesystem::path& target, unsigned number) {
    std::filesystem::path name = target;
    name += ".tmp" + std::to_string(number % 1000000);
    return name;
}

// Tries at a name of its own, each after a clash with a file of another program.
constexpr int kAttempts = 16;

}  // namespace

SafeFile::SafeFile(std::filesystem::path target, FileHandle unnamed,
                   std::optional<FileOwnership> ownership)
    : target_(std::move(target)),
      file_(std::move(unnamed)),
      unnamed_(file_ != nullptr),
      ownership_(ownership) {}

SafeFile::SafeFile(SafeFile&& other) noexcept
    : target_(std::move(other.target_)),
      file_(std::move(other.file_)),
      unnamed_(other.unnamed_),
      temporary_(std::move(other.temporary_)),
      ownership_(other.ownership_) {
    other.temporary_.clear();
}

SafeFile::~SafeFile() {
    Discard();
}

std::optional<SafeFile> SafeFile::Create(const std::filesystem::path& path, std::string& error) {
    const std::filesystem::path target = FollowLinks(path);
    if (const std::optional<std::string> kind = NotARegularFile(target)) {
        error = "it is " + *kind;
        return std::nullopt;
    }
    std::error_code reason;
    const std::optional<FileOwnership> ownership = OwnershipOf(target);
    if (ownership && !MayWrite(target, reason)) {
        error = reason.message();
        return std::nullopt;
    }
    bool unsupported = false;
    FileHandle unnamed = CreateUnnamedFile(target.parent_path(), reason, unsupported);
    if (unnamed) {
        return SafeFile(target, std::move(unnamed), ownership);
    }
    if (!unsupported) {
        error = reason.message();
        return std::nullopt;
    }
    // Without unnamed files the folder is asked with a file that is removed at once.
    SafeFile probe(target, nullptr, ownership);
    if (!probe.NameNewFile(reason)) {
        error = reason.message();
        return std::nullopt;
    }
    probe.Discard();
    return SafeFile(target, nullptr, ownership);
}

bool SafeFile::NameNewFile(std::error_code& reason) {
    std::random_device random;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::filesystem::path name = TemporaryName(target_, random());
        reason.clear();
        if (unnamed_ ? NameUnnamedFile(file_.get(), name, reason)
                     : (file_ = CreateNewFile(name, reason)) != nullptr) {
            temporary_ = name;
            return true;
        }
        if (reason != std::errc::file_exists) {
            return false;
        }
    }
    return false;
}

bool SafeFile::Commit(std::string_view text, std::string& error) {
    std::error_code reason;
    bool done = unnamed_ || NameNewFile(reason);
    done = done && WriteToDisk(file_.get(), text, reason);
    done = done && (!ownership_ || KeepOwnership(file_.get(), *ownership_, reason));
    // Named only now that it is whole: a death before leaves nothing behind.
    done = done && (!unnamed_ || NameNewFile(reason));
    if (file_ && std::fclose(file_.release()) != 0 && done) {
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
