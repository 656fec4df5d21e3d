#pragma once

#include <string>
#include <vector>

struct PortChoice {
    std::string name;
    std::string device;
    std::string description;
    bool present = false;
};
std::vector<PortChoice> ListPortChoices();  // COM1..COM7
