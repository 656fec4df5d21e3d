#include "model/FieldSettings.h"

#include <algorithm>
#include <map>

#include "model/ConfigFileParts.h"
#include "model/ConfigFileText.h"
#include "model/Fields.h"

using namespace config_file;

namespace {

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

// A value that would change the line it stands on: a line break, a control character, or the
// "#" that begins a comment.
bool BreaksTheLine(const std::string& value) {
    return std::any_of(value.begin(), value.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F || c == '#';
    });
}

// Where a field's line stands in the described configuration.
struct FieldPlace {
    std::string section;
    std::string key;
};

std::optional<FieldPlace> PlaceOf(const std::string& name) {
    const size_t blank = name.rfind(' ');
    if (blank == std::string::npos) {
        return std::nullopt;
    }
    return FieldPlace{name.substr(0, blank), name.substr(blank + 1)};
}

ConfigSection* SectionNamed(std::vector<ConfigSection>& sections, const std::string& name) {
    const auto found = std::find_if(sections.begin(), sections.end(),
                                    [&](const ConfigSection& s) { return s.name == name; });
    return found == sections.end() ? nullptr : &*found;
}

void DropEntry(ConfigSection& section, const std::string& key) {
    std::erase_if(section.entries, [&](const ConfigEntry& entry) { return entry.key == key; });
}

void PutEntry(ConfigSection& section, const std::string& key, const std::string& value) {
    for (ConfigEntry& entry : section.entries) {
        if (entry.key == key) {
            entry.value = value;
            entry.comment.clear();
            return;
        }
    }
    section.entries.push_back({key, value, {}});
}

// The value an error of the file's reader comes of: the one of its field, else the last of
// its section; 0 for none.
int ValueOfError(const std::vector<FieldValue>& values, const std::string& field) {
    int ofSection = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        const std::string name = CanonicalFieldName(values[i].name);
        if (name == field) {
            return static_cast<int>(i) + 1;
        }
        const std::optional<FieldPlace> place = PlaceOf(name);
        if (place && field.rfind(place->section + " ", 0) == 0) {
            ofSection = static_cast<int>(i) + 1;
        }
    }
    return ofSection;
}

}  // namespace

std::vector<std::string> FieldNamesOfFamily(FirmwareFamily family) {
    std::vector<std::string> names;
    for (int port = 0; port < kPortCount; ++port) {
        for (const std::string& key : PortFieldKeys(port)) {
            names.push_back(PortName(port) + " " + key);
        }
    }
    if (!IsKft018(family)) {
        return names;
    }
    for (int input = 1; input <= kInputCount; ++input) {
        for (const std::string& key : InputFieldKeys()) {
            names.push_back(InputName(input) + " " + key);
        }
    }
    for (int output = 1; output <= kOutputCount; ++output) {
        for (const std::string& key : OutputFieldKeys()) {
            names.push_back(OutputName(output) + " " + key);
        }
    }
    return names;
}

std::vector<std::string> AllFieldNames() {
    return FieldNamesOfFamily(FirmwareFamily::Kft018);
}

std::string CanonicalFieldName(const std::string& name) {
    const std::string_view trimmed = Trim(name);
    for (const std::string& field : AllFieldNames()) {
        if (SameText(field, trimmed)) {
            return field;
        }
    }
    return {};
}

FieldSetting SetFields(const CardConfiguration& base, const std::vector<FieldValue>& values) {
    FieldSetting setting;
    const std::vector<std::string> ofFamily = FieldNamesOfFamily(base.family);
    std::vector<ConfigSection> sections = DescribeConfiguration(base, {});
    std::map<std::string, std::string> set;  // canonical name -> value
    for (size_t i = 0; i < values.size(); ++i) {
        const FieldValue& field = values[i];
        const int line = static_cast<int>(i) + 1;
        const std::string name = CanonicalFieldName(field.name);
        const std::string value(Trim(field.value));
        if (name.empty()) {
            setting.errors.push_back(
                {line, field.name, value, "is not a field", Joined(AllFieldNames())});
        } else if (std::find(ofFamily.begin(), ofFamily.end(), name) == ofFamily.end()) {
            setting.errors.push_back({line, name, value,
                                      "is not a field of " + FamilyName(base.family),
                                      Joined(ofFamily)});
        } else if (BreaksTheLine(value)) {
            setting.errors.push_back({line, name, value,
                                      "holds a line break, a control character "
                                      "or a \"#\"",
                                      "a value as show writes it"});
        } else if (!set.emplace(name, value).second) {
            setting.errors.push_back(
                {line, name, value, "is set twice", "one value for each field"});
        }
    }
    // A new type drops the old type's thresholds, unless they are set with it.
    for (int input = 1; input <= kInputCount; ++input) {
        ConfigSection* section = SectionNamed(sections, InputName(input));
        if (section == nullptr || !set.contains(InputName(input) + " type")) {
            continue;
        }
        for (const char* key : {"lower", "upper"}) {
            DropEntry(*section, key);
        }
    }
    for (const auto& [name, value] : set) {
        const std::optional<FieldPlace> place = PlaceOf(name);
        PutEntry(*SectionNamed(sections, place->section), place->key, value);
    }
    // The file's reader is the one judge of every value and of the fields that depend on
    // each other; the values it does not see are told already.
    ConfigReading reading = ReadConfigFile(FormatConfigFile(sections, {}));
    for (ConfigError& error : reading.errors) {
        error.line = ValueOfError(values, error.field);
        setting.errors.push_back(std::move(error));
    }
    std::stable_sort(setting.errors.begin(), setting.errors.end(),
                     [](const ConfigError& a, const ConfigError& b) { return a.line < b.line; });
    if (setting.errors.empty()) {
        setting.configuration = std::move(reading.configuration);
    }
    return setting;
}

std::optional<FieldValue> SplitFieldAssignment(const std::string& text) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos) {
        return std::nullopt;
    }
    return FieldValue{std::string(Trim(text.substr(0, equals))), text.substr(equals + 1)};
}
