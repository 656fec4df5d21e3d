#pragma once

// The calls of the operating system that writing a file safely needs (the one place for them).

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Creates `path` for writing; fails, with the system's reason, when it exists already or the
// folder refuses it.
FileHandle CreateNewFile(const std::filesystem::path& path, std::error_code& error);
// Writes all of `text`, then has the system put it on the disk; false with the reason when
// not every byte got there (a full disk, a file size limit).
bool WriteToDisk(std::FILE* file, std::string_view text, std::error_code& error);
// Puts `source` in the place of `target` in one step: until then `target` keeps its content.
bool ReplaceFileWith(const std::filesystem::path& source, const std::filesystem::path& target,
                     std::error_code& error);
