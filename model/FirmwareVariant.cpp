#include "model/FirmwareVariant.h"

#include <algorithm>

std::optional<FirmwareFamily> FamilyOfVariant(int variant) {
    switch (variant) {
        case 0:
        case 1:
            return FirmwareFamily::Kft015;
        case 2:
        case 3:
            return FirmwareFamily::Kft018;
        case 4:
        case 5:
            return FirmwareFamily::Kft026;
        default:
            return std::nullopt;
    }
}

std::vector<int> ExchangedRegisters(int variant) {
    constexpr int kLastPortRegister = 4;
    constexpr int kFirstIoRegister = 7;
    constexpr int kLastRegister = 47;
    std::vector<int> registers;
    for (int reg = 0; reg <= kLastPortRegister; ++reg) {
        registers.push_back(reg);
    }
    if (FamilyOfVariant(variant) == FirmwareFamily::Kft018) {
        for (int reg = kFirstIoRegister; reg <= kLastRegister; ++reg) {
            registers.push_back(reg);
        }
    }
    return registers;
}

int MostExchangedRegisters() {
    size_t most = 0;
    for (const FirmwareFamily family :
         {FirmwareFamily::Kft015, FirmwareFamily::Kft018, FirmwareFamily::Kft026}) {
        most = std::max(most, ExchangedRegisters(VariantOfFamily(family)).size());
    }
    return static_cast<int>(most);
}

std::optional<bool> HasInputOutputPages(int variant) {
    const auto family = FamilyOfVariant(variant);
    if (!family) {
        return std::nullopt;
    }
    return *family == FirmwareFamily::Kft018;
}

std::optional<int> ProgressStepOfVariant(int variant) {
    const auto family = FamilyOfVariant(variant);
    if (!family) {
        return std::nullopt;
    }
    return *family == FirmwareFamily::Kft018 ? 2 : 18;
}

std::optional<int> ProgrammedMessageOfVariant(int variant) {
    const auto family = FamilyOfVariant(variant);
    if (!family) {
        return std::nullopt;
    }
    switch (*family) {
        case FirmwareFamily::Kft015:
            return 19;
        case FirmwareFamily::Kft018:
            return 22;
        case FirmwareFamily::Kft026:
            return 94;
    }
    return std::nullopt;
}

std::string FamilyName(FirmwareFamily family) {
    switch (family) {
        case FirmwareFamily::Kft015:
            return "KFT015";
        case FirmwareFamily::Kft018:
            return "KFT018";
        case FirmwareFamily::Kft026:
            return "KFT026";
    }
    return {};
}

std::optional<FirmwareFamily> FamilyOfName(const std::string& name) {
    for (const FirmwareFamily family :
         {FirmwareFamily::Kft015, FirmwareFamily::Kft018, FirmwareFamily::Kft026}) {
        if (FamilyName(family) == name) {
            return family;
        }
    }
    return std::nullopt;
}

int VariantOfFamily(FirmwareFamily family) {
    switch (family) {
        case FirmwareFamily::Kft015:
            return 0;
        case FirmwareFamily::Kft018:
            return 2;
        case FirmwareFamily::Kft026:
            return 4;
    }
    return 0;
}
