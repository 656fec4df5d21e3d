#include "sim/RegisterFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// A whole token as a number in the given base ("0x" allowed for base 16); false otherwise.
bool ParseNumber(const std::string& token, int base, long& value) {
    if (token.empty()) {
        return false;
    }
    const char* start = token.c_str();
    if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
        start += 2;
        base = 16;
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtol(start, &end, base);
    return errno == 0 && end != start && *end == '\0' && *start != '-' && *start != '+';
}

bool ParseRegisterRange(const std::string& token, long& first, long& last) {
    const auto dash = token.find('-', 1);
    if (dash == std::string::npos) {
        if (!ParseNumber(token, 10, first)) {
            return false;
        }
        last = first;
    } else if (!ParseNumber(token.substr(0, dash), 10, first) ||
               !ParseNumber(token.substr(dash + 1), 10, last)) {
        return false;
    }
    return first >= 0 && first <= last && last < RegisterImage::kRegisterCount;
}

std::string RegisterRole(int reg) {
    if (reg == 0) {
        return "COM0 protocol | baud code";
    }
    if (reg <= 3) {
        return "COM" + std::to_string(reg) + " protocol | line byte";
    }
    if (reg == 4) {
        return "0xFF | COM2 bus address";
    }
    if (reg <= 6) {
        return "not used";
    }
    if (reg == 7) {
        return "0xA9 | output logic bits";
    }
    if (reg <= 23) {
        const int output = (reg - 8) / 2 + 1;
        return "output " + std::to_string(output) + " event word " +
               std::to_string((reg - 8) % 2 + 1);
    }
    const int input = (reg - 24) / 3 + 1;
    static const char* const kParts[] = {"type | delay (10 ms)", "lower threshold",
                                         "upper threshold"};
    return "input " + std::to_string(input) + " " + kParts[(reg - 24) % 3];
}

}  // namespace

bool ParseRegisterText(const std::string& text, RegisterImage& image, std::string& error) {
    RegisterImage result = image;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = line.substr(0, line.find_first_of("#;"));
        for (char& c : line) {
            if (c == '=' || c == '\t' || c == '\r') {
                c = ' ';
            }
        }
        std::istringstream words(line);
        std::string registerToken;
        std::string valueToken;
        std::string extra;
        if (!(words >> registerToken)) {
            continue;
        }
        const std::string where = "line " + std::to_string(number) + ": ";
        long first = 0;
        long last = 0;
        long value = 0;
        if (!ParseRegisterRange(registerToken, first, last)) {
            error = where + "\"" + registerToken + "\" is no register 0-47 (nor a range of them)";
            return false;
        }
        if (!(words >> valueToken)) {
            error = where + "register " + registerToken + " has no value";
            return false;
        }
        if (!ParseNumber(valueToken, 16, value) || value > 0xFFFF) {
            error = where + "\"" + valueToken + "\" is no 16-bit hexadecimal value";
            return false;
        }
        if (words >> extra) {
            error = where + "unexpected \"" + extra + "\" after the value";
            return false;
        }
        for (long reg = first; reg <= last; ++reg) {
            result.SetValue(static_cast<int>(reg), static_cast<uint16_t>(value));
        }
    }
    image = result;
    return true;
}

bool LoadRegisterFile(const std::string& path, RegisterImage& image, std::string& error) {
    std::ifstream file(path);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (!ParseRegisterText(text.str(), image, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

std::string FormatRegisterDump(const RegisterImage& image) {
    std::string out = "# register value   (high byte | low byte)\n";
    char line[96];
    for (int reg = 0; reg < RegisterImage::kRegisterCount; ++reg) {
        std::snprintf(line, sizeof line, "%2d %04X   # %s\n", reg, image.Value(reg),
                      RegisterRole(reg).c_str());
        out += line;
    }
    return out;
}
