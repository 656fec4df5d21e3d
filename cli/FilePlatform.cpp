#include "cli/FilePlatform.h"

#include <cerrno>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
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

}  // namespace

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
