#pragma once

// The configuration file taken apart into its sections and `key = value` lines, before any
// value is checked.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "model/ConfigFile.h"

namespace config_file {

struct Line {
    int number = 0;
    std::string key;
    std::string value;
};

struct Section {
    int number = 0;  // line of the header
    std::string name;
    std::vector<Line> lines;
    std::map<std::string, size_t> keys;  // lower-case key -> index into lines
};

struct SplitFile {
    std::vector<Section> sections;
    int lastLine = 0;
    bool windows1252 = false;  // a line that was not UTF-8 was read as Windows-1252
};

// Lines end with LF, CR LF or a CR alone (as every editor saves them); a line that is not
// UTF-8 is Windows-1252. Faults of the layout (a line that is not key = value, a section or a
// key given twice) go to `errors`.
SplitFile SplitSections(std::string_view text, std::vector<ConfigError>& errors);

// "COM1 baud": a key as the errors name it.
std::string Label(const Section& section, const std::string& key);

}  // namespace config_file
