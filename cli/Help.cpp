#include "cli/Help.h"

const char kProgramHelp[] =
    R"(Usage: brovane-cli [--quiet] [--language NN] [--trace FILE] COMMAND [ARGUMENTS]

Saves, compares, clones and verifies the configuration of Quorix cards, with the
card commands and register rules of Brovane.

Commands:
  ports [--probe [PORT...]]   the port names, their devices and what the devices are
  check PORT                  whether a card answers, and why not
  read PORT [-o FILE]         read a card into a configuration file (default: standard output)
  write PORT FILE [--verify]  check a file, then write it to a card of the same family
  verify PORT FILE            read a card and report where it differs from a file
  diff A B                    the differences between two configuration files
  show FILE                   a configuration laid out as Brovane's pages lay it out
read, write and verify take several ports at once: COM1,COM2,/dev/ttyUSB0.

Options:
  -q, --quiet          no progress on standard error
  --language NN        event names for comments from lang_NN.ini (default 00, English)
  --trace FILE         record every frame to FILE ("-": standard error)
  -h, --help           this help; "brovane-cli COMMAND --help" (or "help COMMAND")
                       explains a command
  --version            the version of brovane-cli
Options may stand anywhere; --name=value is --name value; "--" ends the options.

Exit codes:
  0    success
  1    the port cannot be opened or the card does not answer correctly
  2    a bad file or command line: nothing was sent
  3    the card's family differs from the file's
  4    differences found (verify, write --verify, diff)
  5    the output file or standard output cannot be written (an old file is kept)
  6    the language file with the event names cannot be loaded
  130  interrupted (Ctrl-C): the part-way report says what reached the card
With several ports: 0 when every port succeeded, else the highest code of a port
(130, then 5, 4, 3, 1).
)";

namespace {

const CommandHelp kCommandHelp[] = {
    {"ports", R"(Usage: brovane-cli ports [--probe [PORT...]]

Lists COM1 to COM7, the device each one opens and what that device is, as Brovane's
port list does. With --probe the ports named (any PORT form), or every present port when
none is named, are asked, all at the same time, whether a Quorix card answers: the card's
identification frame is SENT to each, with the modem lines (DTR, RTS) raised, which other
equipment on those ports may act on. The card's identity, family and hardware value are
shown; a port that cannot be opened says why. The system console is never probed, and a
device reached under two names is probed once (the second name says which it shares).
)"},
    {"check", R"(Usage: brovane-cli check PORT

Identifies the card on PORT and reads its hardware value. When the card does not answer
correctly, says what came back instead: nothing, the request itself (a loopback), bytes of
another device or speed, a reply cut short, or a reply to another command (exit code 1).
When it answers, shows its identity, family and hardware value, and the time of each
exchange against the time its bytes take on the line at 1200 baud.
)"},
    {"read", R"(Usage: brovane-cli read PORT [-o FILE]

Identifies the card on PORT (COM1 to COM7, mapped as Brovane maps them, or a device path
such as /dev/ttyUSB0, /dev/serial/by-id/... or ./card; on Windows any COMn),
reads its hardware value and the registers of its family, as Brovane's port dialog does,
and writes the configuration file to FILE or to standard output ("-o -"). FILE is checked
before the card is asked, written beside itself under a temporary name and renamed over the
old file only when it is whole: a failed or interrupted read keeps the old file.

With several ports (COM1,COM2,COM3) all cards are read at once, each into a file of its
own in the folder that -o names (required), named after the port: COM1.cfg, ttyUSB0.cfg.
Every file is checked before any card is asked. A table ends the output: port, device,
card, result and time taken.
)"},
    {"write", R"(Usage: brovane-cli write PORT FILE [--verify]

Checks the whole file first; if anything in it is wrong, every error is shown and
nothing is sent (exit code 2). Then identifies the card and refuses a card whose family
differs from the file's (exit code 3). Writes the registers in the order of Brovane's
programming dialog. With --verify, reads the card back and reports any difference.
A write that fails part-way, or is interrupted with Ctrl-C (which finishes the exchange in
flight), names the registers that reached the card, the one sent without an answer, whose
value on the card is unknown, and those not written.

With several ports (COM1,COM2,/dev/ttyUSB0) the file is checked once, then every card is
written at once, each on its own line: one that fails neither stops nor slows the others,
and Ctrl-C stops all of them with a report per port. Progress is one line per port on a
terminal, lines that name their port in a log. A table ends the output: port, device, card,
result (written, written and verified, differs at ..., wrong family, no card, failed at
register N with the registers on the card) and time taken. The exit code is 0 when every
port succeeded, else the highest code of a port (130, then 5, 4, 3, 1).
)"},
    {"verify", R"(Usage: brovane-cli verify PORT FILE

Identifies the card on PORT, refuses a card whose family differs from the file's (exit code
3, nothing read), reads the card and reports every field where it differs from FILE (exit
code 4 when it differs, 0 when it holds the file's configuration). With several ports
every card is compared at once, and a table ends the output, as write does.
)"},
    {"diff", R"(Usage: brovane-cli diff A B

Compares two configuration files field by field and reports the differences in words
(exit code 4 when they differ).
)"},
    {"show", R"(Usage: brovane-cli show FILE

Shows the configuration of FILE laid out as Brovane's pages lay it out: the four
ports, the inputs and the outputs with the names of their events.
)"},
};

}  // namespace

const CommandHelp* FindCommandHelp(const std::string& name) {
    for (const CommandHelp& candidate : kCommandHelp) {
        if (name == candidate.name) {
            return &candidate;
        }
    }
    return nullptr;
}
