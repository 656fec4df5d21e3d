#include "link/CardIdentity.h"

#include <cstring>

namespace card {

std::optional<int> VariantOfIdentity(const char* identity) {
    for (const auto& entry : kFirmwareFamilies) {
        if (std::strncmp(identity, entry.family, 6) == 0) {
            const bool named = std::strncmp(identity, entry.namedRelease, 12) == 0;
            return named ? entry.variant : entry.variant + 1;
        }
    }
    return std::nullopt;
}

std::optional<std::string> NamedReleaseOfFamily(const std::string& family) {
    for (const auto& entry : kFirmwareFamilies) {
        if (family == entry.family) {
            return std::string(entry.namedRelease);
        }
    }
    return std::nullopt;
}

}  // namespace card
