#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "cli/FilePlatform.h"

// A file a user relies on (a backup), replaced whole or not at all: the text goes to a
// temporary file in the same folder, which is put on the disk and then renamed over the file.
// Until Commit succeeds the old file is untouched; the temporary file is removed on every
// failure and when the object goes without a commit.
class SafeFile {
  public:
    // Makes the temporary file at once, so that a folder that cannot take the file fails before
    // anything else happens. Fails, with the reason in `error`, when the path is a folder, a
    // device or anything but a regular file, or the folder is missing or refuses the file.
    static std::optional<SafeFile> Create(const std::filesystem::path& path, std::string& error);

    SafeFile(SafeFile&& other) noexcept;
    SafeFile& operator=(SafeFile&&) = delete;
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;
    ~SafeFile();

    // Writes the whole text and puts it in the place of the file; false with the reason.
    bool Commit(std::string_view text, std::string& error);

  private:
    SafeFile(std::filesystem::path target, std::filesystem::path temporary, FileHandle file);
    void Discard();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    FileHandle file_;
};
