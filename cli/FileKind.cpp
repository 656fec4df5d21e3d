#include "cli/FileKind.h"

std::optional<std::string> NotARegularFile(const std::filesystem::path& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    switch (status.type()) {
        case fs::file_type::regular:
        case fs::file_type::not_found:
        case fs::file_type::none:
            return std::nullopt;
        case fs::file_type::directory:
            return "a folder";
        case fs::file_type::fifo:
            return "a FIFO (named pipe)";
        case fs::file_type::character:
        case fs::file_type::block:
            return "a device";
        case fs::file_type::socket:
            return "a socket";
        default:
            return "not a regular file";
    }
}
