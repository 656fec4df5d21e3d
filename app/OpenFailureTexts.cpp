#include "app/OpenFailureTexts.h"

#include "app/LanguageTable.h"
#include "app/TextDecoding.h"

namespace {

constexpr int kTextNoDevice = 200;
constexpr int kTextPlugInAdapter = 207;
const char kEnglishNoDevice[] = "no device";
const char kEnglishPlugInAdapter[] =
    "Plug in the adapter, or choose a port that the list shows with a device.";

struct ReasonNumber {
    OpenFailure failure;
    int number;
};

// The link's English reason is the text for a language file without the number.
constexpr ReasonNumber kReasonNumbers[] = {
    {OpenFailure::NoSuchDevice, 201},
    {OpenFailure::PermissionDenied, 202},
    {OpenFailure::InUse, 203},
    {OpenFailure::NotSerialDevice, 204},
    {OpenFailure::SettingsRefused, 205},
    {OpenFailure::Other, 206},
    {OpenFailure::IdenticalAdapter, 208},
    {OpenFailure::OtherDevice, 209},
    {OpenFailure::Console, 223},
};

std::string Text(int number, const char* english) {
    return DecodeLanguageBytes(LanguageEntryOr(number, english)).toStdString();
}

}  // namespace

std::string NoDeviceText() {
    return Text(kTextNoDevice, kEnglishNoDevice);
}

std::string OpenFailureReasonText(OpenFailure failure) {
    // A failed open always has a reason; "none" would be a slip, told as the system's refusal.
    const OpenFailure shown = failure == OpenFailure::None ? OpenFailure::Other : failure;
    for (const ReasonNumber& reason : kReasonNumbers) {
        if (reason.failure == shown) {
            return Text(reason.number, OpenFailureReason(shown));
        }
    }
    return OpenFailureReason(shown);
}

std::string OpenFailureDetail(const std::string& portName, const std::string& device,
                              OpenFailure failure) {
    std::string line = portName;
    if (!device.empty() && device != portName) {
        line += " (" + device + ")";
    }
    line += ": " + OpenFailureReasonText(failure);
    if (failure == OpenFailure::NoSuchDevice) {
        line += "\n" + Text(kTextPlugInAdapter, kEnglishPlugInAdapter);
    }
    return line;
}
