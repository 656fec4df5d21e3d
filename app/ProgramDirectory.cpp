#include "app/ProgramDirectory.h"

#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

std::filesystem::path ProgramDirectory;

namespace {

std::filesystem::path WithClosingSeparator(std::filesystem::path directory) {
    const auto& text = directory.native();
    if (text.empty() || text.back() != std::filesystem::path::preferred_separator) {
        directory += std::filesystem::path::preferred_separator;
    }
    return directory;
}

}  // namespace

#ifdef _WIN32

std::filesystem::path ExecutableDirectory() {
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH * 4);
    if (length == 0 || length >= MAX_PATH * 4) {
        return {};
    }
    const std::filesystem::path executable(std::wstring(buffer, length));
    return WithClosingSeparator(executable.parent_path());
}

std::string PathText(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) {
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
    }
    return text;
}

#else

std::filesystem::path ExecutableDirectory() {
    // The kernel's own link to the running image: right however the program was started.
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::canonical("/proc/self/exe", error);
    if (error) {
        return {};
    }
    return WithClosingSeparator(executable.parent_path());
}

std::string PathText(const std::filesystem::path& path) {
    return path.native();
}

#endif
