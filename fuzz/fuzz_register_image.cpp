// Any register image and any field texts: showing and confirming never crash or overflow,
// confirming what is shown is stable, and the field checks always give values in range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "model/Fields.h"
#include "model/Inputs.h"
#include "model/RegisterImage.h"
#include "model/SheetState.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckThresholdRules(const std::string& text, uint16_t raw) {
    for (ThresholdSide side : {ThresholdSide::Lower, ThresholdSide::Upper}) {
        const bool lower = side == ThresholdSide::Lower;
        // The other field as the page shows it within range.
        const std::string volts = VoltsRegisterToText(raw % 1024);
        const double v = LenientDecimal(*ValidateThreshold(kInputVolts, text, side, volts));
        Require(v >= 0.0 && v <= 5.0 &&
                (lower ? v <= LenientDecimal(volts) : v >= LenientDecimal(volts)));
        const std::string degrees = CelsiusRegisterToText(raw % 141);
        const long c = LenientInteger(*ValidateThreshold(kInputCelsius, text, side, degrees));
        Require(c >= -20 && c <= 120 &&
                (lower ? c <= LenientInteger(degrees) : c >= LenientInteger(degrees)));
        const std::string percent = PercentRegisterToText(raw % 101);
        const long p = LenientInteger(*ValidateThreshold(kInputPercent, text, side, percent));
        Require(p >= 0 && p <= 100 &&
                (lower ? p <= LenientInteger(percent) : p >= LenientInteger(percent)));
    }
    const long delay = LenientInteger(ValidateDelay(text));
    Require(delay >= 0 && delay <= kDelayMaximum && delay % kDelayIncrement == 0);
    const long address = LenientInteger(CorrectAddressText(text));
    Require(AddressByteOfText(text) == (address < 0 ? 0 : address > 255 ? 255 : address));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RegisterImage image;
    const size_t imageBytes = size < RegisterImage::kByteCount ? size : RegisterImage::kByteCount;
    std::memcpy(image.Bytes(), data, imageBytes);
    const std::string text(reinterpret_cast<const char*>(data) + imageBytes, size - imageBytes);

    CheckThresholdRules(text, image.Value(0));

    // The user's texts in every field of the sheet, then confirmed twice.
    SheetState state = DecodeSheet(image);
    state.addressText = text;
    for (auto& row : state.inputs) {
        row.lower = text;
        row.upper = text;
        row.delay = text;
    }
    EncodeSheet(state, image);
    RegisterImage again = image;
    EncodeSheet(DecodeSheet(image), again);
    Require(again == image);
    return 0;
}
