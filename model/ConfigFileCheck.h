#pragma once

// The checks of the configuration file's values by the sheet's rules, shared by the units that
// read the card's sections, the ports, the inputs and the outputs.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/ConfigFile.h"
#include "model/ConfigFileSections.h"
#include "model/ConfigFileText.h"

namespace config_file {

// What Entry gives besides a list entry: a value in error, or a raw value.
inline constexpr int kNoEntry = -1;
inline constexpr int kRawEntry = -2;

// "a, b, c"
std::string ListOf(const char* const* names, size_t count);

class Reader {
  public:
    explicit Reader(std::string_view text);

    ConfigReading Read();

  private:
    void Error(int line, std::string field, std::string value, std::string problem,
               std::string allowed) {
        errors_.push_back(
            {line, std::move(field), std::move(value), std::move(problem), std::move(allowed)});
    }

    // The section by its canonical name; null when the file lacks it (reported once).
    const Section* Need(const std::string& name);
    // The value of a key, reported as missing when required and absent.
    const Line* Field(const Section& section, const std::string& key, bool required,
                      const std::string& allowed);
    void CheckKeys(const Section& section, const std::vector<std::string>& known);

    // A raw value "raw N" within 0-maximum; reports a malformed one.
    std::optional<unsigned> Raw(const Section& section, const Line& line, unsigned maximum,
                                const std::string& allowed);
    // The entry of a named list (case-insensitive), or kNoEntry after an error; raw values are left
    // to the caller (kRawEntry).
    template <typename Names>
    int Entry(const Section& section, const Line& line, const Names& names, size_t count,
              const std::string& allowed);

    void ReadCard(CardConfiguration& configuration, bool& familyKnown);
    void ReadPort(int port, RegisterImage& image);
    void ReadInput(int input, RegisterImage& image);
    void ReadOutput(int output, RegisterImage& image);
    // A threshold of an input whose type is wrong: an error unless some type would take it.
    void CheckThresholdWithoutType(const Section& section, const Line* line);
    std::optional<uint16_t> ReadThreshold(const Section& section, const Line* line, int type,
                                          double* number);

    std::vector<ConfigError> errors_;
    SplitFile file_;
    const std::vector<Section>& sections_ = file_.sections;
};

template <typename Names>
int Reader::Entry(const Section& section, const Line& line, const Names& names, size_t count,
                  const std::string& allowed) {
    if (IsRaw(line.value)) {
        return kRawEntry;
    }
    for (size_t entry = 0; entry < count; ++entry) {
        if (SameText(line.value, names[entry])) {
            return static_cast<int>(entry);
        }
    }
    Error(line.number, Label(section, line.key), line.value, "is not in the list", allowed);
    return kNoEntry;
}

}  // namespace config_file
