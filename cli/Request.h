#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

// What the command line asks for. Options may stand anywhere, long ones also as --name=value;
// "--" ends the options.
struct Request {
    std::string command;
    std::vector<std::string> operands;
    std::string outputFile;         // empty or "-": standard output
    std::string traceFile;          // empty: no trace; "-": standard error
    std::vector<std::string> sets;  // each --set: "COM2 address=12"
    std::string manifest;           // empty: none
    bool probe = false;
    bool verify = false;
    std::string recordFolder;  // empty: no commissioning record
    std::string operatorName;  // empty: the login name
    bool quiet = false;
    bool help = false;
    bool version = false;
    int language = 0;
};

// The request, or nothing after a message on `err` (a wrong option, an option of another
// command, a missing value).
std::optional<Request> ParseRequest(const std::vector<std::string>& arguments, std::ostream& err);
