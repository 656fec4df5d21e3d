// What the serial link reports, in the user's language: the port list's "no device" and the
// reasons why a port did not open. The link says what happened; these say it to a person.
#pragma once

#include <QString>
#include <string>

#include "link/OpenFailure.h"
#include "link/PortMapping.h"

// The port list's entry for a choice: "COM1  ttyUSB0 · FT232R USB UART", "COM2  no device".
QString PortEntryText(const PortChoice& choice);
// Why the port did not open: "no such device".
QString OpenFailureReasonText(OpenFailure failure);
// The line below "cannot open": the port the technician chose, the device it led to and why it
// did not open, "COM2 (/dev/ttyS1): no such device"; for a missing device also what to do.
QString OpenFailureDetail(const std::string& portName, const std::string& device,
                          OpenFailure failure);
