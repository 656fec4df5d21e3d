#include "cli/Commands.h"

#include <QThread>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <iomanip>
#include <memory>
#include <optional>
#include <sstream>

#include "app/LanguageTable.h"
#include "app/ProgramDirectory.h"
#include "app/TextDecoding.h"
#include "cli/Progress.h"
#include "link/CardBatch.h"
#include "link/OpenFailure.h"
#include "link/PortMapping.h"
#include "link/QtSerialLine.h"
#include "link/SerialPortParameter.h"
#include "link/SystemDevices.h"
#include "model/ConfigFile.h"
#include "model/FirmwareVariant.h"
#include "model/Inputs.h"
#include "model/RegisterImage.h"

namespace {

constexpr int kFirstEventText = 60;
constexpr int kEventCount = 32;
constexpr int kLongestPortName = 4;

const char kProgramHelp[] =
    R"(Usage: brovane-cli [--quiet] [--language NN] COMMAND [ARGUMENTS]

Saves, compares, clones and verifies the configuration of Quorix cards, with the
card commands and register rules of Brovane.

Commands:
  ports [--probe]             the port names, their devices and what the devices are
  read PORT [-o FILE]         read a card into a configuration file (default: standard output)
  write PORT FILE [--verify]  check a file, then write it to a card of the same family
  verify PORT FILE            read a card and report where it differs from a file
  diff A B                    the differences between two configuration files
  show FILE                   a configuration laid out as Brovane's pages lay it out

Options:
  -q, --quiet          no progress on standard error
  --language NN        event names for comments from lang_NN.ini (default 00, English)
  -h, --help           this help; "brovane-cli COMMAND --help" explains a command

Exit codes: 0 success, 1 port or card failure, 2 bad file or command line (nothing
was sent), 3 the card's family differs from the file's, 4 differences found.
)";

struct CommandHelp {
    const char* name;
    const char* text;
};

const CommandHelp kCommandHelp[] = {
    {"ports", R"(Usage: brovane-cli ports [--probe]

Lists COM1 to COM7, the device each one opens and what that device is, as Brovane's
port list does. With --probe every present port is asked, all at the same time,
whether a Quorix card answers; the card's identity, family and hardware value are shown.
)"},
    {"read", R"(Usage: brovane-cli read PORT [-o FILE]

Identifies the card on PORT (COM1 to COM7, or a device name of at most four characters),
reads its hardware value and the registers of its family, as Brovane's port dialog does,
and writes the configuration file to FILE or to standard output.
)"},
    {"write", R"(Usage: brovane-cli write PORT FILE [--verify]

Checks the whole file first; if anything in it is wrong, every error is shown and
nothing is sent (exit code 2). Then identifies the card and refuses a card whose family
differs from the file's (exit code 3). Writes the registers in the order of Brovane's
programming dialog. With --verify, reads the card back and reports any difference.
A write that fails part-way names the registers that reached the card.
)"},
    {"verify", R"(Usage: brovane-cli verify PORT FILE

Reads the card on PORT and reports every field where it differs from FILE
(exit code 4 when it differs, 0 when it holds the file's configuration).
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

// What the command line asks for.
struct Request {
    std::string command;
    std::vector<std::string> operands;
    std::string outputFile;
    bool probe = false;
    bool verify = false;
    bool quiet = false;
    bool help = false;
    int language = 0;
};

class Cli {
  public:
    Cli(std::ostream& out, std::ostream& err, bool errIsTerminal)
        : out_(out), err_(err), errIsTerminal_(errIsTerminal) {}

    int Run(const std::vector<std::string>& arguments);

  private:
    std::optional<Request> Parse(const std::vector<std::string>& arguments);
    bool LoadEventNames(int language);

    int Ports(bool probe);
    int Read(const std::string& port, const std::string& outputFile);
    int Write(const std::string& port, const std::string& file, bool verify);
    int Verify(const std::string& port, const std::string& file);
    int Diff(const std::string& a, const std::string& b);
    int Show(const std::string& file);

    // Reads and checks a configuration file; prints every error.
    std::optional<CardConfiguration> LoadFile(const std::string& file);
    // The card's configuration, read as the port dialog reads it; prints the failure.
    std::optional<CardConfiguration> ReadCard(SerialPortParameter& port,
                                              BatchDevice device = BatchDevice::MapPortName);
    // The card's family differs from the file's: says so and gives the exit code.
    int ReportFamilyMismatch(const SerialPortParameter& port,
                             std::optional<FirmwareFamily> cardFamily, const std::string& file,
                             FirmwareFamily fileFamily, const std::string& consequence);
    std::unique_ptr<SerialPortParameter> MakePort(const std::string& name);
    int ReportDifferences(const std::vector<std::string>& differences, const std::string& same);
    BatchProgress StepProgress() {
        return [this](BatchStage) { progress_->Step(); };
    }

    std::ostream& out_;
    std::ostream& err_;
    bool errIsTerminal_;
    std::unique_ptr<Progress> progress_;
    EventNames names_;
};

// The card's identity as text: its bytes come from the card, and one that is not a printable
// character (a line break, a byte of another encoding) shows as "?", so that it can neither
// break a line of the file nor make the file other than UTF-8.
std::string Printable(const char* identity) {
    std::string text = identity;
    for (char& c : text) {
        if (c < ' ' || c > '~') {
            c = '?';
        }
    }
    return text;
}

// One line of a table: every cell but the last padded to a column of 14 characters (not bytes:
// "°C" is three bytes).
std::string Row(const std::vector<std::string>& cells) {
    constexpr size_t kColumn = 14;
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i) {
        line += cells[i];
        if (i + 1 < cells.size()) {
            const auto characters = static_cast<size_t>(std::count_if(
                cells[i].begin(), cells[i].end(), [](char c) { return (c & 0xC0) != 0x80; }));
            line += std::string(characters < kColumn ? kColumn - characters : 1, ' ');
        }
    }
    return line + "\n";
}

std::optional<Request> Cli::Parse(const std::vector<std::string>& arguments) {
    Request request;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "-h" || argument == "--help") {
            request.help = true;
        } else if (argument == "-q" || argument == "--quiet") {
            request.quiet = true;
        } else if (argument == "--probe" && request.command == "ports") {
            request.probe = true;
        } else if (argument == "--verify" && request.command == "write") {
            request.verify = true;
        } else if ((argument == "-o" || argument == "--output") && request.command == "read") {
            if (++i == arguments.size()) {
                err_ << "brovane-cli: " << argument << " needs a file name\n";
                return std::nullopt;
            }
            request.outputFile = arguments[i];
        } else if (argument == "--language") {
            if (++i == arguments.size() || arguments[i].size() > 2 ||
                arguments[i].find_first_not_of("0123456789") != std::string::npos) {
                err_ << "brovane-cli: --language needs a number 00 to 99\n";
                return std::nullopt;
            }
            request.language = std::stoi(arguments[i]);
        } else if (argument.size() > 1 && argument[0] == '-') {
            err_ << "brovane-cli: unknown option " << argument
                 << " (brovane-cli --help lists the options)\n";
            return std::nullopt;
        } else if (request.command.empty()) {
            request.command = argument;
        } else {
            request.operands.push_back(argument);
        }
    }
    return request;
}

bool Cli::LoadEventNames(int language) {
    if (ProgramDirectory.empty()) {
        ProgramDirectory = ExecutableDirectory();
    }
    if (LanguageEntry(0)[0] == '\0' && CreateLanguageTable() != 0) {
        err_ << "brovane-cli: low memory for strings\n";
        return false;
    }
    if (LoadLanguageTable(static_cast<int8_t>(language)) != 0) {
        err_ << "brovane-cli: cannot load the event names from " << LanguageFilePath(language)
             << "\n";
        return false;
    }
    for (int event = 1; event <= kEventCount; ++event) {
        names_[static_cast<size_t>(event - 1)] =
            DecodeLanguageBytes(LanguageEntry(kFirstEventText + event - 1)).toStdString();
    }
    return true;
}

int Cli::Run(const std::vector<std::string>& arguments) {
    const std::optional<Request> request = Parse(arguments);
    if (!request) {
        return kExitBadInput;
    }
    if (request->command.empty()) {
        (request->help ? out_ : err_) << kProgramHelp;
        return request->help ? kExitOk : kExitBadInput;
    }
    const CommandHelp* help = nullptr;
    for (const CommandHelp& candidate : kCommandHelp) {
        if (request->command == candidate.name) {
            help = &candidate;
        }
    }
    if (help == nullptr) {
        err_ << "brovane-cli: unknown command " << request->command
             << " (brovane-cli --help lists the commands)\n";
        return kExitBadInput;
    }
    if (request->help) {
        out_ << help->text;
        return kExitOk;
    }
    const std::string& command = request->command;
    const std::vector<std::string>& operands = request->operands;
    const size_t wanted = command == "ports" ? 0 : command == "read" || command == "show" ? 1 : 2;
    if (operands.size() != wanted) {
        err_ << "brovane-cli: " << command << " takes " << wanted << " argument"
             << (wanted == 1 ? "" : "s") << "\n\n"
             << help->text;
        return kExitBadInput;
    }
    progress_ = std::make_unique<Progress>(err_, request->quiet   ? ProgressStyle::Quiet
                                                 : errIsTerminal_ ? ProgressStyle::Bar
                                                                  : ProgressStyle::Lines);
    if (command != "ports" && !LoadEventNames(request->language)) {
        return kExitCardFailure;
    }
    if (command == "ports") {
        return Ports(request->probe);
    }
    if (command == "read") {
        return Read(operands[0], request->outputFile);
    }
    if (command == "write") {
        return Write(operands[0], operands[1], request->verify);
    }
    if (command == "verify") {
        return Verify(operands[0], operands[1]);
    }
    if (command == "diff") {
        return Diff(operands[0], operands[1]);
    }
    return Show(operands[0]);
}

std::unique_ptr<SerialPortParameter> Cli::MakePort(const std::string& name) {
    if (name.empty() || name.size() > kLongestPortName) {
        err_ << "brovane-cli: the port name \"" << name
             << "\" is not COM1 to COM7 or a name of at most four characters\n";
        return nullptr;
    }
    auto port = std::make_unique<SerialPortParameter>(MakeSystemSerialLine());
    std::strncpy(port->PortName, name.c_str(), sizeof port->PortName - 1);
    return port;
}

std::string DescribePortFailure(const SerialPortParameter& port, BatchFailure failure) {
    if (failure == BatchFailure::CannotOpen) {
        // The same device and reason as Brovane's message.
        return "cannot open " + std::string(port.PortName) + ": " + port.OpenFailureText();
    }
    const std::string where = std::string(port.PortName) + " (" + port.OpenedDevice() + ")";
    return "the card on " + where +
           " did not answer correctly; check the cable, the card's power supply and the port";
}

std::optional<CardConfiguration> Cli::ReadCard(SerialPortParameter& port, BatchDevice device) {
    RegisterImage image;
    // Opening, identification and hardware value, then the registers of the family; until the
    // identification tells the family, the bar counts with the longest.
    constexpr int kSetupSteps = 3;
    constexpr int kVariantCount = 6;
    size_t longest = 0;
    for (int variant = 0; variant < kVariantCount; ++variant) {
        longest = std::max(longest, ExchangedRegisters(variant).size());
    }
    progress_->Begin(std::string("reading ") + port.PortName,
                     kSetupSteps + static_cast<int>(longest));
    const BatchResult result = ReadCardRegisters(
        port, image,
        [&](BatchStage stage) {
            if (stage == BatchStage::HardwareRead) {
                progress_->SetTotal(
                    kSetupSteps +
                    static_cast<int>(ExchangedRegisters(port.FirmwareVariant).size()));
            }
            progress_->Step();
        },
        device);
    progress_->End();
    if (!result.Ok()) {
        err_ << "brovane-cli: " << DescribePortFailure(port, result.failure) << "\n";
        return std::nullopt;
    }
    const std::optional<FirmwareFamily> family = FamilyOfVariant(port.FirmwareVariant);
    if (!family) {
        err_ << "brovane-cli: the card reports the unknown identity " << Printable(port.Identity)
             << "\n";
        return std::nullopt;
    }
    return CardConfiguration{*family, image};
}

std::optional<CardConfiguration> Cli::LoadFile(const std::string& file) {
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        err_ << "brovane-cli: cannot read " << file << "\n";
        return std::nullopt;
    }
    // A configuration file is a few kilobytes; anything beyond a mebibyte is not one.
    constexpr size_t kLargestFile = size_t{1} << 20;
    std::string text(kLargestFile + 1, '\0');
    stream.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(stream.gcount()));
    if (text.size() > kLargestFile) {
        err_ << "brovane-cli: " << file << " is larger than a configuration file can be (1 MiB)\n";
        return std::nullopt;
    }
    const ConfigReading reading = ReadConfigFile(text, names_);
    for (const ConfigError& error : reading.errors) {
        err_ << FormatConfigError(file, error) << "\n";
    }
    if (!reading.errors.empty()) {
        err_ << file << ": " << reading.errors.size() << " error"
             << (reading.errors.size() == 1 ? "" : "s") << "; nothing was sent\n";
    }
    return reading.configuration;
}

int Cli::ReportDifferences(const std::vector<std::string>& differences, const std::string& same) {
    for (const std::string& difference : differences) {
        out_ << difference << "\n";
    }
    if (differences.empty()) {
        out_ << same << "\n";
        return kExitOk;
    }
    return kExitDifferent;
}

int Cli::Read(const std::string& portName, const std::string& outputFile) {
    const std::unique_ptr<SerialPortParameter> port = MakePort(portName);
    if (!port) {
        return kExitBadInput;
    }
    const std::optional<CardConfiguration> card = ReadCard(*port);
    if (!card) {
        return kExitCardFailure;
    }
    const std::string text =
        FormatConfigFile(DescribeConfiguration(*card, names_),
                         {"Quorix card configuration, read by brovane-cli from " + portName + ".",
                          "Identity " + Printable(port->Identity) + ", hardware value " +
                              std::to_string(port->HardwareBits) + ".",
                          "Events are numbered 1 to 32; their names follow as comments.",
                          "\"raw N\" keeps a code for which Brovane's sheet has no entry."});
    if (outputFile.empty()) {
        out_ << text;
        return kExitOk;
    }
    std::ofstream stream(outputFile, std::ios::binary | std::ios::trunc);
    stream << text;
    stream.close();
    if (!stream) {
        err_ << "brovane-cli: cannot write " << outputFile << "\n";
        return kExitCardFailure;
    }
    return kExitOk;
}

// "0-4, 7-12": registers in ascending runs.
std::string RegisterRuns(const std::vector<int>& registers) {
    std::string text;
    for (size_t i = 0; i < registers.size();) {
        size_t end = i;
        while (end + 1 < registers.size() && registers[end + 1] == registers[end] + 1) {
            ++end;
        }
        text += (text.empty() ? "" : ", ") + std::to_string(registers[i]);
        if (end > i) {
            text += "-" + std::to_string(registers[end]);
        }
        i = end + 1;
    }
    return text.empty() ? "none" : text;
}

int Cli::ReportFamilyMismatch(const SerialPortParameter& port,
                              std::optional<FirmwareFamily> cardFamily, const std::string& file,
                              FirmwareFamily fileFamily, const std::string& consequence) {
    err_ << "brovane-cli: the card on " << port.PortName << " is " << Printable(port.Identity)
         << " (family " << (cardFamily ? FamilyName(*cardFamily) : "unknown") << "), but " << file
         << " is for " << FamilyName(fileFamily) << consequence << "\n";
    return kExitFamilyMismatch;
}

int Cli::Write(const std::string& portName, const std::string& file, bool verify) {
    const std::optional<CardConfiguration> wanted = LoadFile(file);
    if (!wanted) {
        return kExitBadInput;
    }
    const std::unique_ptr<SerialPortParameter> port = MakePort(portName);
    if (!port) {
        return kExitBadInput;
    }
    if (!port->OpenPort()) {
        err_ << "brovane-cli: " << DescribePortFailure(*port, BatchFailure::CannotOpen) << "\n";
        return kExitCardFailure;
    }
    if (!port->Identify()) {
        err_ << "brovane-cli: " << DescribePortFailure(*port, BatchFailure::NoAnswer) << "\n";
        return kExitCardFailure;
    }
    port->ClosePort();
    const std::optional<FirmwareFamily> family = FamilyOfVariant(port->FirmwareVariant);
    if (family != wanted->family) {
        return ReportFamilyMismatch(*port, family, file, wanted->family, "; nothing was written");
    }

    const std::vector<int> registers = ExchangedRegisters(port->FirmwareVariant);
    progress_->Begin("writing " + portName, 1 + static_cast<int>(registers.size()));
    const BatchResult result = ProgramCardRegisters(*port, wanted->image, StepProgress());
    progress_->End();
    if (!result.Ok()) {
        err_ << "brovane-cli: " << DescribePortFailure(*port, result.failure) << "\n";
        if (result.failure == BatchFailure::NoAnswer) {
            const auto done = registers.begin() + result.registersDone;
            err_ << "brovane-cli: registers written to the card: "
                 << RegisterRuns({registers.begin(), done}) << "; failed at register " << *done
                 << "; not written: " << RegisterRuns({done, registers.end()})
                 << ". The card holds a mix of old and new settings: write the file again.\n";
        }
        return kExitCardFailure;
    }
    if (!verify) {
        out_ << "wrote " << registers.size() << " registers of " << file << " to " << portName
             << " (" << Printable(port->Identity) << ")\n";
        return kExitOk;
    }
    // Read back from the device that was written, whatever the port name leads to now.
    const std::optional<CardConfiguration> card = ReadCard(*port, BatchDevice::CardDevice);
    if (!card) {
        return kExitCardFailure;
    }
    return ReportDifferences(DescribeDifferences(*wanted, *card, names_, "the file", "the card"),
                             "wrote and verified " + std::to_string(registers.size()) +
                                 " registers of " + file + " on " + portName + " (" +
                                 Printable(port->Identity) + ")");
}

int Cli::Verify(const std::string& portName, const std::string& file) {
    const std::optional<CardConfiguration> wanted = LoadFile(file);
    if (!wanted) {
        return kExitBadInput;
    }
    const std::unique_ptr<SerialPortParameter> port = MakePort(portName);
    if (!port) {
        return kExitBadInput;
    }
    const std::optional<CardConfiguration> card = ReadCard(*port);
    if (!card) {
        return kExitCardFailure;
    }
    if (card->family != wanted->family) {
        return ReportFamilyMismatch(*port, card->family, file, wanted->family, "");
    }
    return ReportDifferences(DescribeDifferences(*wanted, *card, names_, "the file", "the card"),
                             "the card on " + portName + " holds the configuration of " + file);
}

int Cli::Diff(const std::string& a, const std::string& b) {
    const std::optional<CardConfiguration> first = LoadFile(a);
    const std::optional<CardConfiguration> second = LoadFile(b);
    if (!first || !second) {
        return kExitBadInput;
    }
    return ReportDifferences(DescribeDifferences(*first, *second, names_, a, b),
                             a + " and " + b + " hold the same configuration");
}

int Cli::Show(const std::string& file) {
    const std::optional<CardConfiguration> configuration = LoadFile(file);
    if (!configuration) {
        return kExitBadInput;
    }
    const std::vector<ConfigSection> sections = DescribeConfiguration(*configuration, names_);
    const auto value = [&](const std::string& section, const std::string& key) -> std::string {
        for (const ConfigSection& candidate : sections) {
            for (const ConfigEntry& entry : candidate.entries) {
                if (candidate.name == section && entry.key == key) {
                    return entry.value;
                }
            }
        }
        return "---";
    };
    out_ << "Quorix " << FamilyName(configuration->family) << " (" << file << ")\n\n";
    out_ << Row({"", "COM0", "COM1", "COM2", "COM3"});
    for (const char* key : {"protocol", "baud", "parity", "stop", "address"}) {
        out_ << Row(
            {key, value("COM0", key), value("COM1", key), value("COM2", key), value("COM3", key)});
    }
    if (configuration->family != FirmwareFamily::Kft018) {
        return kExitOk;
    }
    out_ << "\n" << Row({"Inputs", "type", "lower", "upper", "delay"});
    for (int input = 1; input <= 8; ++input) {
        const std::string section = "Input " + std::to_string(input);
        out_ << Row({section, value(section, "type"), value(section, "lower"),
                     value(section, "upper"), value(section, "delay")});
    }
    out_ << "\nOutputs\n";
    OutputEvents outputs;
    for (int word = 0; word < 16; ++word) {
        outputs.words[static_cast<size_t>(word)] = configuration->image.Value(8 + word);
    }
    for (int output = 1; output <= 8; ++output) {
        const std::string section = "Output " + std::to_string(output);
        out_ << "Output" << output << "  " << value(section, "logic") << "\n";
        // The events in the order the assigned list shows them: 1, 17, 2, 18, ...
        EventNames all = names_;
        for (int event = 1; event <= kEventCount; ++event) {
            std::string& name = all[static_cast<size_t>(event - 1)];
            name = std::to_string(event) + " " + (name.empty() ? "(no name)" : name);
        }
        for (const int event : outputs.AssignedEvents(output, all)) {
            out_ << "    " << all[static_cast<size_t>(event - 1)] << "\n";
        }
    }
    return kExitOk;
}

int Cli::Ports(bool probe) {
    const std::vector<PortChoice> choices = ListPortChoices();
    std::vector<std::string> findings(choices.size());
    if (probe) {
        // Each port on a thread of its own with its own line, so that silent ports cost their
        // timeouts only once.
        std::vector<std::unique_ptr<QThread>> probes;
        for (size_t i = 0; i < choices.size(); ++i) {
            if (!choices[i].present) {
                continue;
            }
            // QThread rather than std::thread: the serial port's notifiers need one.
            probes.emplace_back(QThread::create([&choices, &findings, i] {
                SerialPortParameter port(MakeSystemSerialLine());
                std::strncpy(port.PortName, choices[i].name.c_str(), sizeof port.PortName - 1);
                if (!port.OpenPort()) {
                    findings[i] = "cannot be opened";
                } else if (!port.Identify() || !port.ReadHardware()) {
                    findings[i] = "no Quorix card answers";
                } else {
                    port.ClosePort();
                    const auto family = FamilyOfVariant(port.FirmwareVariant);
                    findings[i] = "Quorix card " + Printable(port.Identity) + ", family " +
                                  (family ? FamilyName(*family) : "unknown") + ", hardware value " +
                                  std::to_string(port.HardwareBits);
                }
            }));
            probes.back()->start();
        }
        for (const std::unique_ptr<QThread>& thread : probes) {
            thread->wait();
        }
    }
    for (size_t i = 0; i < choices.size(); ++i) {
        const PortChoice& choice = choices[i];
        out_ << std::left << std::setw(6) << choice.name << std::setw(23) << choice.device << " "
             << (choice.present
                     ? (choice.description.empty() ? "serial device" : choice.description)
                     : "no device");
        if (!findings[i].empty()) {
            out_ << ": " << findings[i];
        }
        out_ << "\n";
    }
    return kExitOk;
}

}  // namespace

int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           bool errIsTerminal) {
    return Cli(out, err, errIsTerminal).Run(arguments);
}
