#pragma once

#include <string>
#include <vector>

#include "sim/Card.h"

// The command line of quorix-sim.

struct SimFault {
    CardFault fault = CardFault::None;
    int command = 1;  // the first command it hits, counted from 1 since the start
    int count = 1;    // how many commands in a row it hits
};

struct SimOptions {
    CardConfig config;
    std::vector<SimFault> faults;
    int stopAfter = -1;  // answer this many commands, then none; -1: answer forever
    std::string linkPath;
    std::string dumpPath;
    bool help = false;
};

// False, with a message in `error`, when the command line is wrong. Reads the register file.
bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error);

// The --help text.
std::string SimUsage();
