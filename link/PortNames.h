#pragma once

#include <string>

// The device a port name opens. On Linux "COMn" (n from 1) opens $BROVANE_COMn when it is set,
// else /dev/ttyS<n-1>; any other name is used as given. On Windows the name is used as given.
std::string ResolvePortName(const std::string& portName);
