#pragma once

#include <optional>
#include <string>
#include <vector>

// The card's firmware variants come in pairs (0/1 "KFT015", 2/3 "KFT018", 4/5 "KFT026");
// everything that depends on the variant looks at the pair only.
enum class FirmwareFamily { Kft015, Kft018, Kft026 };

// The family of a variant 0 to 5; nothing for any other value.
std::optional<FirmwareFamily> FamilyOfVariant(int variant);

// Registers read from and written to the card, in ascending order:
// 0-4 for KFT015 and KFT026, 0-4 and 7-47 for KFT018. Registers 5 and 6 are never exchanged.
// A variant outside 0-5 exchanges the port registers 0-4.
std::vector<int> ExchangedRegisters(int variant);
// The most registers any family exchanges: what a read counts with until the card is known.
int MostExchangedRegisters();

// Whether the inputs and outputs pages are offered (KFT018 only); nothing for an unknown variant.
std::optional<bool> HasInputOutputPages(int variant);

// Step of the progress bar per register: 18 for 5 registers, 2 for 46; nothing when unknown.
std::optional<int> ProgressStepOfVariant(int variant);

// Language string of the message shown after programming: 19, 22 or 94 by family.
std::optional<int> ProgrammedMessageOfVariant(int variant);

// "KFT015", "KFT018" or "KFT026".
std::string FamilyName(FirmwareFamily family);
// The family of such a name (exact, upper case); nothing for any other text.
std::optional<FirmwareFamily> FamilyOfName(const std::string& name);
// The named release of the family (the even variant of its pair).
int VariantOfFamily(FirmwareFamily family);
