// Lock files are written by other programs, in several formats or none: whatever one holds,
// reading its owner neither crashes nor names a process that is not a positive number.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "link/SerialPlatform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::optional<long> owner =
        LockFileOwner(std::string(reinterpret_cast<const char*>(data), size));
    if (owner && *owner <= 0) {
        std::abort();
    }
    return 0;
}
