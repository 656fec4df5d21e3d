#include "cli/FilePlatform.h"

#include <cerrno>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

std::error_code LastError() {
#ifdef _WIN32
    return {static_cast<int>(GetLastError()), std::system_category()};
#else
    return {errno, std::generic_category()};
#endif
}

// Links lead at most this deep, as the system's own limit for a path.
constexpr int kLinkDepth = 40;

}  // namespace

std::filesystem::path FollowLinks(const std::filesystem::path& path) {
    std::filesystem::path current = path;
    for (int depth = 0; depth < kLinkDepth; ++depth) {
        std::error_code error;
        if (!std::filesystem::is_symlink(current, error)) {
            return current;
        }
        const std::filesystem::path target = std::filesystem::read_symlink(current, error);
        if (error) {
            return current;
        }
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current;
}

std::optional<FileOwnership> OwnershipOf(const std::filesystem::path& path) {
#ifdef _WIN32
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return std::nullopt;
    }
    return FileOwnership{};
#else
    struct stat status = {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileOwnership{static_cast<unsigned>(status.st_mode & 07777),
                         static_cast<long>(status.st_uid), static_cast<long>(status.st_gid)};
#endif
}

bool MayWrite(const std::filesystem::path& path, std::error_code& error) {
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        error = std::make_error_code(std::errc::permission_denied);
        return false;
    }
    return true;
#else
    if (::access(path.c_str(), W_OK) != 0) {
        error = LastError();
        return false;
    }
    return true;
#endif
}

FileHandle CreateUnnamedFile(const std::filesystem::path& folder, std::error_code& error,
                             bool& unsupported) {
    unsupported = false;
#if defined(O_TMPFILE)
    const std::filesystem::path where = folder.empty() ? "." : folder;
    const int descriptor = ::open(where.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        // File systems without unnamed files say so with these.
        unsupported = errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL;
        error = LastError();
        return nullptr;
    }
    std::FILE* file = ::fdopen(descriptor, "wb");
    if (file == nullptr) {
        error = LastError();
        ::close(descriptor);
    }
    return FileHandle(file);
#else
    (void)folder;
    (void)error;
    unsupported = true;
    return nullptr;
#endif
}

bool NameUnnamedFile(std::FILE* file, const std::filesystem::path& path, std::error_code& error) {
#if defined(O_TMPFILE)
    // Linking through /proc needs no privilege, unlike linking the descriptor itself.
    const std::string self = "/proc/self/fd/" + std::to_string(::fileno(file));
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) != 0) {
        error = LastError();
        return false;
    }
    return true;
#else
    (void)file;
    (void)path;
    error = std::make_error_code(std::errc::operation_not_supported);
    return false;
#endif
}

FileHandle CreateNewFile(const std::filesystem::path& path, std::error_code& error) {
#ifdef _WIN32
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = LastError();
        return nullptr;
    }
    const int descriptor =
        _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    std::FILE* file = descriptor < 0 ? nullptr : _fdopen(descriptor, "wb");
#else
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    std::FILE* file = descriptor < 0 ? nullptr : ::fdopen(descriptor, "wb");
#endif
    if (file == nullptr) {
        error = LastError();
    }
    return FileHandle(file);
}

bool KeepOwnership(std::FILE* file, const FileOwnership& ownership, std::error_code& error) {
#ifdef _WIN32
    (void)file;
    (void)ownership;
    (void)error;
    return true;
#else
    const int descriptor = ::fileno(file);
    // Another user's file stays theirs where the system allows it (root); a user who may not
    // give a file away gets it as their own, as cp gives it.
    const bool kept =
        ::fchown(descriptor, static_cast<uid_t>(ownership.owner),
                 static_cast<gid_t>(ownership.group)) == 0 ||
        ::fchown(descriptor, static_cast<uid_t>(-1), static_cast<gid_t>(ownership.group)) == 0;
    static_cast<void>(kept);
    if (::fchmod(descriptor, static_cast<mode_t>(ownership.mode)) != 0) {
        error = LastError();
        return false;
    }
    return true;
#endif
}

bool WriteToDisk(std::FILE* file, std::string_view text, std::error_code& error) {
    errno = 0;
    const bool written =
        std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
#ifdef _WIN32
    const bool onDisk = written && _commit(_fileno(file)) == 0;
#else
    const bool onDisk = written && ::fsync(::fileno(file)) == 0;
#endif
    if (!onDisk) {
        error = errno != 0 ? std::error_code(errno, std::generic_category())
                           : std::make_error_code(std::errc::io_error);
    }
    return onDisk;
}

bool ReplaceFileWith(const std::filesystem::path& source, const std::filesystem::path& target,
                     std::error_code& error) {
#ifdef _WIN32
    if (MoveFileExW(source.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        error = LastError();
        return false;
    }
    return true;
#else
    if (std::rename(source.c_str(), target.c_str()) != 0) {
        error = LastError();
        return false;
    }
    return true;
#endif
}
