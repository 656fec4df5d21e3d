#include "link/SerialPortParameter.h"
