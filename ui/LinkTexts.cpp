#include "ui/LinkTexts.h"

#include "ui/Texts.h"

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

}  // namespace

QString PortEntryText(const PortChoice& choice) {
    if (!choice.present) {
        return QString::fromStdString(choice.name) + QStringLiteral("  ") +
               LanguageTextOr(kTextNoDevice, kEnglishNoDevice);
    }
    // What a present device is comes from the system, in no language of ours.
    return QString::fromStdString(PortChoiceText(choice));
}

QString OpenFailureReasonText(OpenFailure failure) {
    // A failed open always has a reason; "none" would be a slip, told as the system's refusal.
    const OpenFailure shown = failure == OpenFailure::None ? OpenFailure::Other : failure;
    for (const ReasonNumber& reason : kReasonNumbers) {
        if (reason.failure == shown) {
            return LanguageTextOr(reason.number, OpenFailureReason(shown));
        }
    }
    return QString::fromUtf8(OpenFailureReason(shown));
}

QString OpenFailureDetail(const std::string& portName, const std::string& device,
                          OpenFailure failure) {
    QString line = QString::fromStdString(portName);
    if (!device.empty() && device != portName) {
        line += QStringLiteral(" (") + QString::fromStdString(device) + QLatin1Char(')');
    }
    line += QStringLiteral(": ") + OpenFailureReasonText(failure);
    if (failure == OpenFailure::NoSuchDevice) {
        line += QLatin1Char('\n') + LanguageTextOr(kTextPlugInAdapter, kEnglishPlugInAdapter);
    }
    return line;
}
