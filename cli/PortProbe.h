#pragma once

#include <memory>
#include <string>
#include <vector>

#include "link/DeviceList.h"
#include "link/SerialLine.h"
#include "link/SerialPlatform.h"

// Which ports `ports --probe` asks, and why it leaves others alone.
struct ProbeTarget {
    std::string name;         // as listed or typed: "COM1", "/dev/ttyUSB0", "./card"
    std::string device;       // the device the name opens; empty when it leads to none
    std::string description;  // what the device is: "FT232R USB UART", "serial device", "no device"
    bool probe = false;       // false: the identification frame is not sent to it
    std::string skipped;      // why a name that leads to a device is not probed; empty otherwise
};

// The ports named (any form a command takes as PORT), or COM1 to COM7 when none is named, with
// what each leads to among `devices`. Only a device that is present, or named, is probed; the
// system's console never is, and a device reached by an earlier name is probed once: the later
// name says which name it shares.
std::vector<ProbeTarget> PlanProbes(const DeviceList& devices,
                                    const std::vector<std::string>& named,
                                    const PortOverrides& overrides);

// The device a port name leads to among `devices`, as one key for all its names (links
// followed, a relative path made absolute); empty when the name leads to none that exists.
std::string DeviceOfName(const DeviceList& devices, const std::string& name,
                         const PortOverrides& overrides);

// What a probe found: in words, and whether a Quorix card answered.
struct ProbeFinding {
    std::string words;
    bool card = false;
};

// Sends the identification frame to the target's device with the modem lines raised, reads the
// hardware value of a card that answers, and says what was found: "Quorix card ..., family ...,
// hardware value N", "no Quorix card answers", or "cannot be opened: DEVICE: REASON". Safe on a
// thread of its own: it prints nothing. Bounded by one identification and one hardware read.
// `line` is the serial line it opens, made on the probing thread.
ProbeFinding ProbeCard(const ProbeTarget& target, std::unique_ptr<SerialLine> line);
