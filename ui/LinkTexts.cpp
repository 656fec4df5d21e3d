#include "ui/LinkTexts.h"

#include "app/OpenFailureTexts.h"

QString PortEntryText(const PortChoice& choice) {
    if (!choice.present) {
        return QString::fromStdString(choice.name + "  " + NoDeviceText());
    }
    // What a present device is comes from the system, in no language of ours.
    return QString::fromStdString(PortChoiceText(choice));
}
