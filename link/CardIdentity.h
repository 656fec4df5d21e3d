#pragma once

#include <optional>
#include <string>

// The card's firmware identities: three families, each with one named release. The named
// release gets the even variant, every other release of the family the odd one after it.

namespace card {

struct FirmwareFamilyIdentity {
    const char* family;        // the first six characters of the identity, e.g. "KFT018"
    const char* namedRelease;  // the twelve characters of the named release
    int variant;               // variant of the named release; other releases get variant + 1
};

inline constexpr FirmwareFamilyIdentity kFirmwareFamilies[] = {
    {"KFT015", "KFT015-01-04", 0},
    {"KFT018", "KFT018-01-01", 2},
    {"KFT026", "KFT026-01-01", 4},
};

// The firmware variant of an identity (NUL-terminated, at most 12 characters are compared), or
// nothing when the identity belongs to none of the families.
std::optional<int> VariantOfIdentity(const char* identity);

// The named release of a family ("KFT018" -> "KFT018-01-01"); nothing for an unknown family.
std::optional<std::string> NamedReleaseOfFamily(const std::string& family);

}  // namespace card
