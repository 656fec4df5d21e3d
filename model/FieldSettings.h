#pragma once

// The fields of a configuration by the names `show` and the configuration file's errors give
// them ("COM2 address", "COM1 baud", "Input 3 delay", "Output 2 logic", "Output 2 events"), and
// a configuration with some of them set to other values. A value is written as the file and
// `show` write it ("9600", "None", "250 ms", "raw 0x12") and checked by the file's own rules.

#include <string>
#include <vector>

#include "model/ConfigFile.h"
#include "model/FirmwareVariant.h"

// Every field a family has, in the file's order: the ports' fields for each family, then the
// inputs' and the outputs' for KFT018.
std::vector<std::string> FieldNamesOfFamily(FirmwareFamily family);
// Every field of any family.
std::vector<std::string> AllFieldNames();
// The field's own spelling of a name given in any case with blanks around it; empty when no
// family has such a field.
std::string CanonicalFieldName(const std::string& name);

struct FieldValue {
    std::string name;
    std::string value;
};

struct FieldSetting {
    std::optional<CardConfiguration> configuration;  // only when there is no error at all
    // Each error names its field and value, and in `line` the value it comes of (1 for the
    // first): the value of its field, else one of its section (a field the values leave alone
    // can be in error too: a threshold of an input whose type is set to another).
    std::vector<ConfigError> errors;
};

// `base` with each of `values` set. Setting an input's type drops the thresholds `base` holds
// for it, as they belong to the old type: a type other than Digital needs its thresholds set
// with it. Nothing is set when any value is in error.
FieldSetting SetFields(const CardConfiguration& base, const std::vector<FieldValue>& values);

// "COM2 address=12" as name and value, or nothing when there is no "=".
std::optional<FieldValue> SplitFieldAssignment(const std::string& text);
