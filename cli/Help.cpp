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
  write --manifest CSV FILE   write a batch from one template, each card with its row's fields
  verify --manifest CSV FILE  check each card of a batch against the template and its row
  diff A B                    the differences between two configuration files
  show FILE                   a configuration laid out as Brovane's pages lay it out
read, write and verify take several ports at once: COM1,COM2,/dev/ttyUSB0.
write and verify take --set "FIELD=VALUE" (as often as needed): a field named as show names
it ("COM2 address", "Input 3 delay", "Output 2 logic") set for this run.
write --verify --record FOLDER keeps a commissioning record per card (one more read each).

Options:
  -q, --quiet          no progress on standard error
  --language NN        the language of lang_NN.ini (default 00, English) for the event
                       names of the files' comments and for what brovane-cli says about
                       the card and the line: why a port cannot be opened, why a card does
                       not answer, what a write that stopped part-way left on the card
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
  5    the output file, a record or standard output cannot be written (old file kept)
  6    the language file with the event names cannot be loaded
  130  interrupted (Ctrl-C, SIGTERM, SIGHUP): the part-way report says what reached
       the card
With several ports: 0 when every port succeeded, else the code of the worst port, worst
first: 130 (interrupted), 1 for a card left part-way (a write that stopped after some
registers reached it), 5, 4, 3, then 1 for a card that cannot be reached, then 2.
)";
