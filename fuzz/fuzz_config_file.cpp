// Any configuration file text: reading never crashes, and a file that reads without error
// comes back as the same configuration after it is written out and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/ConfigFile.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Events 30 to 32 without a name, so that the raw form of events is reached too.
EventNames Names() {
    EventNames names;
    for (int event = 1; event < 30; ++event) {
        names[static_cast<size_t>(event - 1)] = "Event " + std::to_string(event);
    }
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const EventNames names = Names();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ConfigReading reading = ReadConfigFile(text);
    Require(reading.configuration.has_value() == reading.errors.empty());
    for (const ConfigError& error : reading.errors) {
        Require(error.line >= 0 && !error.field.empty() && !error.allowed.empty());
    }
    if (reading.configuration) {
        const std::string again =
            FormatConfigFile(DescribeConfiguration(*reading.configuration, names), {"again"});
        const ConfigReading second = ReadConfigFile(again);
        Require(second.configuration == reading.configuration);
    }
    return 0;
}
