#include "model/ConfigFileSections.h"

#include <algorithm>

#include "model/ConfigFileText.h"
#include "model/TextEncoding.h"

namespace config_file {

namespace {

// The text after the line that ends at `end` (CR LF counts as one line end).
std::string_view NextLine(std::string_view text, size_t end) {
    if (end == std::string_view::npos) {
        return {};
    }
    const size_t next = text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
    return text.substr(next);
}

}  // namespace

std::string Label(const Section& section, const std::string& key) {
    return section.name + " " + key;
}

SplitFile SplitSections(std::string_view text, std::vector<ConfigError>& errors) {
    SplitFile file;
    std::vector<Section>& sections = file.sections;
    const auto Error = [&errors](int line, std::string field, std::string value,
                                 std::string problem, std::string allowed) {
        errors.push_back(
            {line, std::move(field), std::move(value), std::move(problem), std::move(allowed)});
    };
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    int number = 0;
    while (!text.empty()) {
        const size_t end = text.find_first_of("\r\n");
        std::string_view bytes = text.substr(0, end);
        text = NextLine(text, end);
        ++number;
        if (const size_t nul = bytes.find('\0'); nul != std::string_view::npos) {
            // What a power loss or a broken copy leaves; UTF-16 was told apart before. The
            // line is read up to it, so that the NUL is its one error.
            Error(number, "a NUL byte", "", "stands in this line (a power loss can leave one)",
                  "text without NUL bytes");
            bytes = bytes.substr(0, nul);
        }
        std::string decoded;
        if (!IsValidUtf8(bytes)) {
            decoded = Windows1252ToUtf8(bytes);
            file.windows1252 = true;
        }
        const std::string_view raw = decoded.empty() ? bytes : std::string_view(decoded);
        std::string_view line = Trim(raw.substr(0, raw.find('#')));
        if (line.empty()) {
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']') {
                Error(number, "section", std::string(line), "has no closing \"]\"",
                      "[name] on a line of its own");
                continue;
            }
            const std::string name(Trim(line.substr(1, line.size() - 2)));
            const auto same = std::find_if(sections.begin(), sections.end(), [&](const Section& s) {
                return SameText(s.name, name);
            });
            if (same != sections.end()) {
                Error(number, "section", name, "appears a second time",
                      "each section once (first at line " + std::to_string(same->number) + ")");
            }
            sections.push_back({number, name, {}, {}});
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            Error(number, "line", std::string(line), "is not key = value", "key = value");
            continue;
        }
        if (sections.empty()) {
            Error(number, "line", std::string(line), "stands before the first section",
                  "[card] first");
            continue;
        }
        Section& section = sections.back();
        const std::string key(Trim(line.substr(0, equals)));
        const std::string lower = LowerCase(key);
        if (section.keys.count(lower) != 0) {
            Error(number, Label(section, key), std::string(Trim(line.substr(equals + 1))),
                  "is given a second time", "each key once per section");
            continue;
        }
        section.keys[lower] = section.lines.size();
        section.lines.push_back({number, key, std::string(Trim(line.substr(equals + 1)))});
    }
    // An empty file has its missing sections at line 1, the line they belong on.
    file.lastLine = std::max(number, 1);
    return file;
}

}  // namespace config_file
