#include "app/ProgramDirectory.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

std::string ProgramDirectory;

std::string ExecutableDirectory() {
    std::error_code error;
#ifdef _WIN32
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH * 4);
    if (length == 0 || length >= MAX_PATH * 4) {
        return {};
    }
    std::filesystem::path executable(std::wstring(buffer, length));
#else
    // The kernel's own link to the running image: right however the program was started.
    std::filesystem::path executable = std::filesystem::canonical("/proc/self/exe", error);
    if (error) {
        return {};
    }
#endif
    std::string directory = executable.parent_path().string();
    if (directory.empty() || directory.back() != std::filesystem::path::preferred_separator) {
        directory.push_back(std::filesystem::path::preferred_separator);
    }
    return directory;
}
