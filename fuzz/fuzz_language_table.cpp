// Any language file contents: the first-line reader and the loader never crash, never touches
// memory outside an entry (AddressSanitizer watches every 101-byte entry), and leaves every entry
// terminated within 100 characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "app/LanguageTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool created = CreateLanguageTable() == 0;
    if (!created) {
        std::abort();
    }
    const std::string contents(reinterpret_cast<const char*>(data), size);
    // The language list's read of the first line: at most 31 characters, never more.
    if (const std::optional<std::string> name = FirstLineOfText(contents, 31)) {
        if (name->size() > 31) {
            std::abort();
        }
    }
    const int result = LoadLanguageText(contents);
    if (result != 0 && result != 2) {
        std::abort();
    }
    for (const auto& entry : LanguageTable) {
        if (!entry || memchr(entry.get(), '\0', kLanguageEntryLength + 1) == nullptr) {
            std::abort();
        }
    }
    return 0;
}
