// What the serial link's port list shows, in the user's language. The link says what is there;
// this says it to a person. Why a port did not open is said by app/OpenFailureTexts.h, in the
// words brovane-cli shares.
#pragma once

#include <QString>

#include "link/PortMapping.h"

// The port list's entry for a choice: "COM1  ttyUSB0 · FT232R USB UART", "COM2  no device".
QString PortEntryText(const PortChoice& choice);
