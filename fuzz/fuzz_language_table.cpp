// Any language file contents: the loader never crashes, never touches memory outside an entry
// (AddressSanitizer watches every 101-byte entry), and leaves every entry terminated within
// 100 characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/LanguageTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool created = CreateLanguageTable() == 0;
    if (!created) {
        std::abort();
    }
    const int result = LoadLanguageText(std::string(reinterpret_cast<const char*>(data), size));
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
