#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "cli/FilePlatform.h"

// A file a user relies on (a backup), replaced whole or not at all: the text goes to a new file
// in the same folder, which is put on the disk and then renamed over the file. A symbolic link
// stays a link: the file it leads to is replaced. The new file keeps the permissions and owner
// of the old one. Until Commit succeeds the old file is untouched; no death of the process
// leaves a temporary file behind, as the new file gets a name only once its content is on the
// disk (where the system has no unnamed files, it is created only then).
class SafeFile {
  public:
    // Checks at once that the file can be written, so that a folder that cannot take it fails
    // before anything else happens. Fails, with the reason in `error`, when the path is a
    // folder, a device or anything but a regular file, when this user may not write the file,
    // or when the folder is missing or refuses a file.
    static std::optional<SafeFile> Create(const std::filesystem::path& path, std::string& error);

    SafeFile(SafeFile&& other) noexcept;
    SafeFile& operator=(SafeFile&&) = delete;
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;
    ~SafeFile();

    // Writes the whole text and puts it in the place of the file; false with the reason.
    bool Commit(std::string_view text, std::string& error);

  private:
    SafeFile(std::filesystem::path target, FileHandle unnamed,
             std::optional<FileOwnership> ownership);
    // A name of its own beside the target for the new file; a second try after a clash.
    bool NameNewFile(std::error_code& reason);
    void Discard();

    std::filesystem::path target_;  // the file itself, links followed
    FileHandle file_;               // the new content's file: unnamed until Commit
    bool unnamed_ = false;
    std::filesystem::path temporary_;  // the new file's name, once it has one
    std::optional<FileOwnership> ownership_;
};
