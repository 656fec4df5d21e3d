#include "link/PortNames.h"

#include <cstdlib>

std::string ResolvePortName(const std::string& portName) {
#ifdef _WIN32
    return portName;
#else
    // "COM" followed by a number from 1 on, nothing else.
    if (portName.size() < 4 || portName.compare(0, 3, "COM") != 0 || portName[3] == '0') {
        return portName;
    }
    int number = 0;
    for (size_t i = 3; i < portName.size(); ++i) {
        if (portName[i] < '0' || portName[i] > '9') {
            return portName;
        }
        number = number * 10 + (portName[i] - '0');
    }
    const std::string variable = "BROVANE_" + portName;
    if (const char* device = std::getenv(variable.c_str()); device != nullptr && *device != '\0') {
        return device;
    }
    return "/dev/ttyS" + std::to_string(number - 1);
#endif
}
