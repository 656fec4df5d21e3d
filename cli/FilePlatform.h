#pragma once

// The calls of the operating system that writing a file safely needs (the one place for them).

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// What a file that is replaced keeps: its permissions and its owner.
struct FileOwnership {
    unsigned mode = 0;
    long owner = -1;
    long group = -1;
};

// The file a chain of symbolic links ends at; `path` itself when it is no link. A link whose
// target does not exist yet leads to that target.
std::filesystem::path FollowLinks(const std::filesystem::path& path);
// The permissions and owner of an existing file; nothing when there is no file.
std::optional<FileOwnership> OwnershipOf(const std::filesystem::path& path);
// Whether this user may write the existing file `path`, as cp asks; the reason when not.
bool MayWrite(const std::filesystem::path& path, std::error_code& error);

// A file without a name in `folder`, which no death of the process can leave behind; null with
// the reason when the folder refuses it, null with `unsupported` when the system has no such
// files there (then a named file must do).
FileHandle CreateUnnamedFile(const std::filesystem::path& folder, std::error_code& error,
                             bool& unsupported);
// Gives the unnamed file the name `path`; fails when the name exists already.
bool NameUnnamedFile(std::FILE* file, const std::filesystem::path& path, std::error_code& error);
// Creates `path` for writing; fails, with the system's reason, when it exists already or the
// folder refuses it.
FileHandle CreateNewFile(const std::filesystem::path& path, std::error_code& error);
// Gives the open file the permissions and owner of the file it replaces. The owner is kept
// where the system lets this user give it; the permissions always.
bool KeepOwnership(std::FILE* file, const FileOwnership& ownership, std::error_code& error);
// Writes all of `text`, then has the system put it on the disk; false with the reason when
// not every byte got there (a full disk, a file size limit).
bool WriteToDisk(std::FILE* file, std::string_view text, std::error_code& error);
// Puts `source` in the place of `target` in one step: until then `target` keeps its content.
bool ReplaceFileWith(const std::filesystem::path& source, const std::filesystem::path& target,
                     std::error_code& error);
