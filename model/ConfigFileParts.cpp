#include "model/ConfigFileParts.h"

#include "model/ConfigFile.h"

#include "model/Fields.h"
#include "model/RegisterImage.h"
#include "model/SheetState.h"

namespace config_file {

std::string PortName(int port) {
    return "COM" + std::to_string(port);
}
std::string InputName(int input) {
    return "Input " + std::to_string(input);
}
std::string OutputName(int output) {
    return "Output " + std::to_string(output);
}

std::vector<std::string> PortFieldKeys(int port) {
    if (port == 0) {
        return {"protocol", "baud"};
    }
    std::vector<std::string> keys = {"protocol", "baud", "parity", "stop"};
    if (port == 2) {
        keys.push_back("address");
    }
    return keys;
}

std::vector<std::string> InputFieldKeys() {
    return {"type", "lower", "upper", "delay"};
}

std::vector<std::string> OutputFieldKeys() {
    return {"logic", "events"};
}

int BaudEntriesOfPort(int port) {
    switch (port) {
        case 0:
            return kCom0BaudEntries;
        case 2:
            return kCom2BaudEntries;
        default:
            return kCom1BaudEntries;
    }
}

bool IsKft018(FirmwareFamily family) {
    return family == FirmwareFamily::Kft018;
}

bool EventSet(const RegisterImage& image, int output, int event) {
    const int word = 2 * (output - 1) + (event > kEventsPerWord ? 1 : 0);
    const int bit = (event - 1) % kEventsPerWord;
    return (image.Value(kFirstEventRegister + word) >> bit & 1) != 0;
}

}  // namespace config_file

CardConfiguration AsReadFromTheCard(const CardConfiguration& configuration) {
    CardConfiguration read = configuration;
    for (int port = 1; port < config_file::kPortCount; ++port) {
        const uint8_t low = read.image.Low(port);
        LineSettings settings = DecodeLineByte(low);
        if (settings.parityCode == 0) {
            settings.parityCode = 1;
            read.image.SetLow(port, static_cast<uint8_t>(EncodeLineByte(settings) |
                                                         (low & config_file::kSpareLineBits)));
        }
    }
    return read;
}
