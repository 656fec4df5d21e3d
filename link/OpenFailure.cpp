#include "link/OpenFailure.h"

const char* OpenFailureReason(OpenFailure failure) {
    switch (failure) {
        case OpenFailure::None:
            return "opened";
        case OpenFailure::NoSuchDevice:
            return "no such device";
        case OpenFailure::PermissionDenied:
            return "permission denied";
        case OpenFailure::InUse:
            return "in use by another program";
        case OpenFailure::NotSerialDevice:
            return "not a serial device";
        case OpenFailure::SettingsRefused:
            return "the line settings were refused";
        case OpenFailure::IdenticalAdapter:
            return "an identical adapter is now present: read the card again";
        case OpenFailure::OtherDevice:
            return "it leads to another device now: read the card again";
        case OpenFailure::Console:
            return "it carries the system's console";
        case OpenFailure::Other:
            break;
    }
    return "refused by the system";
}

std::string OpenFailureLine(const std::string& device, OpenFailure failure) {
    return (device.empty() ? std::string("(no name)") : device) + ": " + OpenFailureReason(failure);
}
