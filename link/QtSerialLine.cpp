#include "link/QtSerialLine.h"
