#include "link/QtSerialLine.h"

// Stand-in until the Qt serial line lands.
std::unique_ptr<SerialLine> MakeSystemSerialLine() {
    return nullptr;
}
