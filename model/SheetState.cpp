#include "model/SheetState.h"

#include <algorithm>

#include "model/Fields.h"
#include "model/Inputs.h"
#include "model/RegisterImage.h"

namespace {

constexpr int kCom0Register = 0;
constexpr int kCom1Register = 1;
constexpr int kCom2Register = 2;
constexpr int kCom3Register = 3;
constexpr int kModbusEntry = 1;
constexpr int kNexprEntry = 0;
constexpr int kBaud1200Entry = 0;
constexpr int kBaud9600Entry = 3;

// The list entry that shows a code, or -1 when the list does not offer it.
int EntryOfCode(int code, int firstCode, int entries) {
    const int entry = code - firstCode;
    return entry >= 0 && entry < entries ? entry : -1;
}

bool HasEntry(int entry, int entries) {
    return entry >= 0 && entry < entries;
}

LineEntries DecodePort(const RegisterImage& image, int reg, int baudEntries) {
    const LineSettings line = DecodeLineByte(image.Low(reg));
    LineEntries entries;
    entries.protocol = EntryOfCode(PortProtocolCode(image.High(reg)), 0, kPortProtocolEntries);
    entries.baud = EntryOfCode(line.baudCode, 1, baudEntries);
    entries.parity = EntryOfCode(line.parityCode, 1, kParityEntries);
    entries.stop = EntryOfCode(line.stopCode, 0, kStopEntries);
    return entries;
}

// Each list without an entry keeps its field as the image holds it.
void EncodePort(const LineEntries& entries, int reg, int baudEntries, RegisterImage& image) {
    if (HasEntry(entries.protocol, kPortProtocolEntries)) {
        image.SetHigh(reg, static_cast<uint8_t>(entries.protocol));
    }
    LineSettings line = DecodeLineByte(image.Low(reg));
    if (HasEntry(entries.baud, baudEntries)) {
        line.baudCode = entries.baud + 1;
    }
    if (HasEntry(entries.parity, kParityEntries)) {
        line.parityCode = entries.parity + 1;
    }
    if (HasEntry(entries.stop, kStopEntries)) {
        line.stopCode = entries.stop;
    }
    image.SetLow(reg, EncodeLineByte(line));
}

long BoundedAddress(long address) {
    return std::clamp(address, 0L, static_cast<long>(kAddressHighest));
}

// One threshold field of a row whose type is unchanged: a field the user left as shown, or a
// text that still shows the register's value, keeps the register; any other text is converted.
void StoreThreshold(int type, const std::string& text, bool unchanged, int reg,
                    RegisterImage& image) {
    if (unchanged || ThresholdTextOfRegister(type, image.Value(reg)) == text) {
        return;
    }
    if (const auto raw = ThresholdRegisterOfText(type, text)) {
        image.SetValue(reg, *raw);
    }
}

void StoreThresholds(const InputRowState& row, int typeRead, int reg, RegisterImage& image) {
    const bool converted = row.type >= kInputVolts && row.type <= kInputPercent;
    if (row.type != typeRead || !converted) {
        TransferThresholds(row.type, row.lower, reg, row.upper, image);
        return;
    }
    StoreThreshold(row.type, row.lower, row.lowerUnchanged, reg, image);
    StoreThreshold(row.type, row.upper, row.upperUnchanged, reg + 1, image);
}

}  // namespace

SheetState DecodeSheet(const RegisterImage& image) {
    SheetState state;
    state.com0Protocol =
        EntryOfCode(Com0ProtocolCode(image.High(kCom0Register)), 0, kCom0ProtocolEntries);
    state.com0Baud = EntryOfCode(Com0BaudCode(image.Low(kCom0Register)), 1, kCom0BaudEntries);
    state.com1 = DecodePort(image, kCom1Register, kCom1BaudEntries);
    state.com2 = DecodePort(image, kCom2Register, kCom2BaudEntries);
    state.com3 = LineEntries{0, 0, 0, 0};  // COM3 always shows its first entries

    state.rememberedAddress = image.Low(kAddressRegister);
    state.addressText = Com2LineControlsEnabled(state.com2.protocol)
                            ? std::to_string(state.rememberedAddress)
                            : "0";

    for (int n = 1; n <= kInputCount; ++n) {
        InputRowState& row = state.inputs[n - 1];
        row.type = EntryOfCode(image.High(InputTypeRegister(n)), 0, kInputTypeEntries);
        if (const auto view = ShowThresholds(row.type, &image, InputLowerRegister(n))) {
            row.lower = view->lower;
            row.upper = view->upper;
        }
        row.delay = DelayTextOfByte(image.Low(InputTypeRegister(n)));
    }

    for (int i = 0; i < kEventWordCount; ++i) {
        state.outputs.words[i] = image.Value(kFirstEventRegister + i);
    }
    state.outputs.logic = image.Low(kLogicRegister);
    return state;
}

void EncodeSheet(const SheetState& state, RegisterImage& image) {
    std::array<int, kInputCount> typesRead{};
    for (int n = 1; n <= kInputCount; ++n) {
        typesRead[n - 1] = image.High(InputTypeRegister(n));
    }

    if (HasEntry(state.com0Protocol, kCom0ProtocolEntries)) {
        image.SetHigh(kCom0Register, static_cast<uint8_t>(state.com0Protocol));
    }
    if (HasEntry(state.com0Baud, kCom0BaudEntries)) {
        image.SetLow(kCom0Register, static_cast<uint8_t>(state.com0Baud + 1));
    }
    EncodePort(state.com1, kCom1Register, kCom1BaudEntries, image);
    EncodePort(state.com2, kCom2Register, kCom2BaudEntries, image);

    image.SetHigh(kAddressRegister, kAddressHighByte);
    image.SetLow(kAddressRegister,
                 Com2LineControlsEnabled(state.com2.protocol)
                     ? AddressByteOfText(state.addressText)
                     : static_cast<uint8_t>(BoundedAddress(state.rememberedAddress)));

    EncodePort(state.com3, kCom3Register, kCom1BaudEntries, image);

    for (int n = 1; n <= kInputCount; ++n) {
        const int type = state.inputs[n - 1].type;
        if (HasEntry(type, kInputTypeEntries)) {
            image.SetHigh(InputTypeRegister(n), static_cast<uint8_t>(type));
        }
    }
    for (int n = 1; n <= kInputCount; ++n) {
        StoreThresholds(state.inputs[n - 1], typesRead[n - 1], InputLowerRegister(n), image);
    }
    for (int n = 1; n <= kInputCount; ++n) {
        image.SetLow(InputTypeRegister(n), DelayByteOfText(state.inputs[n - 1].delay));
    }

    for (int i = 0; i < kEventWordCount; ++i) {
        image.SetValue(kFirstEventRegister + i, static_cast<uint16_t>(state.outputs.words[i]));
    }
    image.SetHigh(kLogicRegister, kLogicHighByte);
    image.SetLow(kLogicRegister, state.outputs.logic);
}

bool Com2LineControlsEnabled(int protocolEntry) {
    return protocolEntry == kModbusEntry;
}

bool HardwareOffsetWarningDue(int com2ProtocolEntry, int hardwareBits) {
    return com2ProtocolEntry == kNexprEntry && hardwareBits != 0;
}

int Com0BaudPreset(int protocolEntry) {
    return protocolEntry == kNexprEntry ? kBaud1200Entry : kBaud9600Entry;
}

LineEntries Com2LinePreset(int protocolEntry) {
    const int baud = protocolEntry == kNexprEntry ? kBaud1200Entry : kBaud9600Entry;
    return LineEntries{protocolEntry, baud, 0, 0};
}

std::string CorrectAddressText(const std::string& text) {
    const long address = LenientInteger(text);
    const long bounded = BoundedAddress(address);
    return bounded == address ? text : std::to_string(bounded);
}

uint8_t AddressByteOfText(const std::string& text) {
    return static_cast<uint8_t>(BoundedAddress(LenientInteger(text)));
}

std::string SheetCaption(const std::string& first, const std::string& second,
                         const char* identity) {
    // The version digits: identity characters 8-9 and 11-12 ("KFT015-01-04" gives 01.04).
    constexpr size_t kMajorAt = 7;
    constexpr size_t kMinorAt = 10;
    constexpr size_t kDigits = 2;
    const std::string id = identity != nullptr ? identity : "";
    const auto part = [&id](size_t at) { return at < id.size() ? id.substr(at, kDigits) : ""; };
    return first + " - " + second + part(kMajorAt) + "." + part(kMinorAt);
}
