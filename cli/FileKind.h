#pragma once

#include <filesystem>
#include <optional>
#include <string>

// What stands at a path that is not a regular file, in words ("a folder", "a FIFO (named pipe)",
// "a device"); nothing for a regular file or nothing at all. Looking never opens it, so that a
// FIFO without a writer cannot block.
std::optional<std::string> NotARegularFile(const std::filesystem::path& path);
