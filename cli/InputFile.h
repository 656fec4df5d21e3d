#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/Context.h"
#include "model/ConfigFile.h"

// Why a configuration file is loaded: before anything is sent to a card, or for files alone.
enum class FileUse { BeforeSending, FilesOnly };

// Reads and checks a configuration file; prints every error, or the one line that refuses it
// (not a regular file, UTF-16, too large), and a note when it was read as Windows-1252.
std::optional<CardConfiguration> LoadConfigFile(CliContext& context, const std::string& file,
                                                FileUse use);

// The text of a small file that a command reads (`what` names it in messages: "a manifest"):
// nothing after a message when it is no regular file, cannot be read or exceeds 1 MiB.
std::optional<std::string> ReadInputText(CliContext& context, const std::string& file,
                                         const std::string& what);

// The configuration file before anything is sent, with the fields of each --set
// ("COM2 address=12") set for this run; every error is shown, the n-th --set's as "--set:n: ".
std::optional<CardConfiguration> LoadTemplate(CliContext& context, const std::string& file,
                                              const std::vector<std::string>& sets);
