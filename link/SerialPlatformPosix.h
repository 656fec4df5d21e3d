#pragma once

#include <filesystem>
#include <string>

#include "link/OpenFailure.h"

// What the POSIX side of the serial platform shares between its files.

inline constexpr const char* kDevFolder = "/dev/";

// The whole content of a small system file (a lock file, an entry of /sys or /proc); empty when
// it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& file);

// Why opening or locking a device failed, from the system's error number.
OpenFailure FailureOfErrno(int error);
