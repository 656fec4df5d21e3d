#pragma once

#include "link/DeviceList.h"

// The serial devices the mapping and card-device tests plug in, as the system would list them.

inline const SerialDevice kFtdi{"/dev/ttyUSB0", "FT232R USB UART",
                                "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", true};
inline const SerialDevice kProlific{"/dev/ttyUSB1", "USB-Serial Controller",
                                    "usb-Prolific_Technology_Inc.-if00-port0", true};
// The same adapter plugged in again, given another kernel name.
inline const SerialDevice kProlificAgain{"/dev/ttyUSB4", "USB-Serial Controller",
                                         "usb-Prolific_Technology_Inc.-if00-port0", true};
// Without a device database: no by-id name, only the kernel's.
inline const SerialDevice kAcm{"/dev/ttyACM0", "", "", true};
inline const SerialDevice kAcmOther{"/dev/ttyACM1", "", "", true};
// On-board UARTs.
inline const SerialDevice kOnBoard0{"/dev/ttyS0", "", "", false};
inline const SerialDevice kOnBoard4{"/dev/ttyS4", "", "", false};
// Two identical CH340 cables without serial numbers: udev gives their one by-id name to the one
// plugged in last.
inline const SerialDevice kCh340Last{"/dev/ttyUSB3", "USB Serial", "usb-1a86_USB_Serial-if00-port0",
                                     true, "1a86:7523"};
inline const SerialDevice kCh340First{"/dev/ttyUSB2", "USB Serial", "", true, "1a86:7523"};
