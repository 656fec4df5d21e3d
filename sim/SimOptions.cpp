#include "sim/SimOptions.h"

#include <cerrno>
#include <cstdlib>
#include <optional>

#include "link/CardIdentity.h"
#include "sim/RegisterFile.h"

namespace {

std::optional<long> ParseInteger(const std::string& text, long low, long high) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || errno != 0 || *end != '\0' || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::optional<CardFault> FaultByName(const std::string& name) {
    for (CardFault fault :
         {CardFault::Silent, CardFault::WrongEcho, CardFault::ShortReply, CardFault::SplitReply,
          CardFault::SurplusBytes, CardFault::FailingWrite, CardFault::HangUp, CardFault::Loopback,
          CardFault::Noise, CardFault::OtherReply}) {
        if (name == CardFaultName(fault)) {
            return fault;
        }
    }
    return std::nullopt;
}

// KIND[:N[:COUNT]]
bool ParseFault(const std::string& text, SimFault& fault, std::string& error) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t colon; (colon = text.find(':', start)) != std::string::npos; start = colon + 1) {
        parts.push_back(text.substr(start, colon - start));
    }
    parts.push_back(text.substr(start));
    const auto kind = FaultByName(parts[0]);
    if (!kind || parts.size() > 3) {
        error = "--fault " + text + ": expected KIND[:N[:COUNT]] (see --help)";
        return false;
    }
    fault.fault = *kind;
    const auto command = parts.size() > 1 ? ParseInteger(parts[1], 1, 1'000'000) : 1L;
    const auto count = parts.size() > 2 ? ParseInteger(parts[2], 1, 1'000'000) : 1L;
    if (!command || !count) {
        error = "--fault " + text + ": N and COUNT are whole numbers from 1";
        return false;
    }
    fault.command = static_cast<int>(*command);
    fault.count = static_cast<int>(*count);
    return true;
}

std::optional<std::string> ParseHexBytes(const std::string& text) {
    if (text.empty() || text.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string bytes;
    for (size_t i = 0; i < text.size(); i += 2) {
        const auto byte = ParseInteger("0x" + text.substr(i, 2), 0, 255);
        if (!byte || text[i] == '-' || text[i] == '+') {
            return std::nullopt;
        }
        bytes += static_cast<char>(*byte);
    }
    return bytes;
}

}  // namespace

bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options,
                     std::string& error) {
    std::string family = "KFT018";
    std::string release;
    std::optional<std::string> identity;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        const bool flag = option == "--log" || option == "--help" || option == "-h";
        if (!flag && i + 1 >= args.size()) {
            error = option.rfind("--", 0) == 0 ? option + " needs a value"
                                               : "unknown argument " + option;
            return false;
        }
        const std::string value = flag ? std::string() : args[i + 1];
        i += flag ? 0 : 1;
        if (option == "--help" || option == "-h") {
            options.help = true;
        } else if (option == "--log") {
            options.config.log = true;
        } else if (option == "--family") {
            if (!card::NamedReleaseOfFamily(value)) {
                error = "--family: one of KFT015, KFT018, KFT026";
                return false;
            }
            family = value;
        } else if (option == "--release") {
            release = value;
        } else if (option == "--identity") {
            identity = value;
        } else if (option == "--identity-hex") {
            identity = ParseHexBytes(value);
            if (!identity) {
                error = "--identity-hex: pairs of hexadecimal digits";
                return false;
            }
        } else if (option == "--hardware") {
            const auto bits = ParseInteger(value, 0, 31);
            if (!bits) {
                error = "--hardware: a number 0-31";
                return false;
            }
            options.config.hardwareBits = static_cast<int>(*bits);
        } else if (option == "--registers") {
            if (!LoadRegisterFile(value, options.config.registers, error)) {
                return false;
            }
        } else if (option == "--baud") {
            const auto baud = ParseInteger(value, 0, 4'000'000);
            if (!baud) {
                error = "--baud: a line rate such as 1200, or 0 for no pacing";
                return false;
            }
            options.config.baud = static_cast<int>(*baud);
        } else if (option == "--fault") {
            SimFault fault;
            if (!ParseFault(value, fault, error)) {
                return false;
            }
            options.faults.push_back(fault);
        } else if (option == "--stop-after") {
            const auto commands = ParseInteger(value, 0, 1'000'000);
            if (!commands) {
                error = "--stop-after: a number of commands from 0";
                return false;
            }
            options.stopAfter = static_cast<int>(*commands);
        } else if (option == "--link") {
            options.linkPath = value;
        } else if (option == "--dump") {
            options.dumpPath = value;
        } else {
            error = "unknown option " + option;
            return false;
        }
    }
    if (identity) {
        options.config.identity = *identity;
    } else if (release.empty()) {
        options.config.identity = *card::NamedReleaseOfFamily(family);
    } else {
        options.config.identity = family + "-" + release;
    }
    return true;
}

std::string SimUsage() {
    return R"(Usage: quorix-sim [options]

A virtual Quorix card on a pseudo-terminal. When it is ready it prints the path of the
pseudo-terminal on standard output, then answers the card's commands (identify "XI00",
hardware "XD00", register read "XG04", register write "XS08") until SIGTERM or SIGINT.
Point Brovane at it with BROVANE_COM1=<path>.

Identity (the identification reply carries at most 12 characters):
  --family NAME        KFT015, KFT018 (default) or KFT026
  --release RR-RR      release of the family, e.g. 01-03; default: the named release
                       (KFT015-01-04, KFT018-01-01, KFT026-01-01)
  --identity TEXT      the identity exactly as given, e.g. KFT018-02-00 or XYZ
  --identity-hex HEX   raw identity bytes, e.g. 4B465430313500 ("KFT015" and a zero byte)
Card contents:
  --hardware N         hardware bits 0-31 (default 0), sent as the character 0x40 + N
  --registers FILE     register contents (below); registers not named are 0
Line:
  --baud RATE          pace the line like a real one at RATE baud (10 bits per byte), e.g.
                       1200: a request counts only once its bytes would have crossed the line,
                       and the reply leaves no faster; default 0: no pacing
  --link PATH          also make a symlink PATH to the pseudo-terminal (removed at exit)
Faults (N counts the commands since the start, the first is 1):
  --fault KIND[:N[:COUNT]]  hit COUNT commands (default 1) from command N (default 1); may be
                       given more than once. KIND is one of
                         silent         the command gets no answer
                         wrong-echo     the reply's command letter comes in lower case
                         short-reply    the reply lacks its last 3 bytes
                         split-reply    the reply comes in two halves, 1.5 s apart
                         surplus-bytes  the reply is followed by 4 extra bytes (0x55)
                         failing-write  the command is refused ("XE00"); a write stores nothing
                         hang-up        the card closes the pseudo-terminal (cable pulled)
                                        and the program ends
                         loopback       no card: the request comes straight back
                         noise          the reply is bytes that are no frame (another speed)
                         other-reply    the reply to another command comes (out of step)
  --stop-after N       answer the first N commands, then none
Diagnostics:
  --log                log every frame received and sent, decoded and in hex, to stderr
  --dump FILE          write the register dump to FILE (on SIGUSR1 and at exit) instead of
                       stderr
  --help               this text

Register file: one register per line, "<register> <value>":
  register   decimal 0-47 (or hexadecimal with 0x); a range like 24-47 sets each of them
  value      16-bit hexadecimal, 0x optional (high byte first: 0125 = high 01, low 25)
  An "=" between them is allowed; "#" or ";" starts a comment; blank lines are ignored.
  A register dump has the same format and can be loaded again. Example:
    # COM0 KARVO 9600, COM1 MODBUS RTU 19200 even 1 stop
    0  0104
    1  0125
    4  FF05        # COM2 bus address 5
    24-47 0000

Signals: SIGUSR1 writes the register dump; SIGTERM and SIGINT end the program cleanly
(the dump is written at exit too).

Exit codes:
  0    a clean end
  1    no pseudo-terminal can be made
  2    a wrong command line
)";
}
