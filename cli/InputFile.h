#pragma once

#include <optional>
#include <string>

#include "cli/Context.h"
#include "model/ConfigFile.h"

// Why a configuration file is loaded: before anything is sent to a card, or for files alone.
enum class FileUse { BeforeSending, FilesOnly };

// Reads and checks a configuration file; prints every error, or the one line that refuses it
// (not a regular file, UTF-16, too large), and a note when it was read as Windows-1252.
std::optional<CardConfiguration> LoadConfigFile(CliContext& context, const std::string& file,
                                                FileUse use);
