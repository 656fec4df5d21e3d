#include <cstdlib>

#include <gtest/gtest.h>

#include "link/PortNames.h"

namespace {

#ifdef _WIN32
// Windows opens its own ports by their names.
TEST(PortNames, NamesPassUnchanged) {
    for (const char* name : {"COM1", "COM7", "COM12", "com1", "COM0", ""}) {
        EXPECT_EQ(ResolvePortName(name), name);
    }
}
#else
TEST(PortNames, ComNamesOpenTheirEnvironmentVariableOrTheSerialDevice) {
    setenv("BROVANE_COM2", "/tmp/card-two", 1);
    setenv("BROVANE_COM4", "", 1);
    unsetenv("BROVANE_COM1");
    struct Case {
        const char* name;
        const char* device;
    };
    for (const Case& c :
         {Case{"COM1", "/dev/ttyS0"}, Case{"COM2", "/tmp/card-two"}, Case{"COM4", "/dev/ttyS3"},
          Case{"COM7", "/dev/ttyS6"}, Case{"COM9", "/dev/ttyS8"}, Case{"COM0", "COM0"},
          Case{"COM", "COM"}, Case{"com1", "com1"}, Case{"COMx", "COMx"},
          Case{"ttyUSB0", "ttyUSB0"}, Case{"/dev/pts/3", "/dev/pts/3"}, Case{"", ""}}) {
        EXPECT_EQ(ResolvePortName(c.name), c.device) << c.name;
    }
    unsetenv("BROVANE_COM2");
    unsetenv("BROVANE_COM4");
}
#endif

}  // namespace
