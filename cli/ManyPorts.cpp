#include "cli/ManyPorts.h"

#include <QThread>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <vector>

#include "cli/CardFileText.h"
#include "cli/CardSession.h"
#include "cli/ExitCodes.h"
#include "cli/InputFile.h"
#include "cli/Manifest.h"
#include "cli/PortConsole.h"
#include "cli/PortJobs.h"
#include "cli/PortProbe.h"
#include "cli/PortTable.h"
#include "cli/SafeFile.h"
#include "cli/ShownText.h"
#include "link/SystemDevices.h"

namespace {

constexpr char kSeparator = ',';

using PortJob = std::function<PortOutcome(CliContext& context, const std::string& port)>;

// The ports of the list, each a name one port accepts and none twice, by name or by the
// device it leads to; nothing after a message.
std::optional<std::vector<std::string>> PortsOfList(CliContext& context, const std::string& list) {
    std::vector<std::string> ports;
    std::istringstream items(list);
    std::map<std::string, std::string> named;  // device -> the first name leading to it
    const DeviceList devices = ListSerialDevices();
    for (std::string name; std::getline(items, name, kSeparator);) {
        if (!MakePort(context, name)) {
            return std::nullopt;
        }
        // A device opened twice at once would answer one of its names "in use".
        const std::string device = DeviceOfName(devices, name, context.overrides);
        const auto [first, isNew] = named.emplace(device.empty() ? name : device, name);
        if (!isNew) {
            context.err << "brovane-cli: "
                        << (first->second == name
                                ? Shown(name) + " stands twice in the list of ports"
                                : Shown(first->second) + " and " + Shown(name) +
                                      " are one device, " + Shown(device) + ": name it once")
                        << "; nothing was sent\n";
            return std::nullopt;
        }
        ports.push_back(name);
    }
    if (list.back() == kSeparator) {
        MakePort(context, "");
        return std::nullopt;
    }
    return ports;
}

// Every port's job on a thread of its own, all at once; returns when all have ended.
std::vector<PortOutcome> RunOnPorts(CliContext& context, const std::vector<std::string>& ports,
                                    const PortJob& job) {
    PortConsole console(context.err, context.progress.Style(), ports, context.progress.Screen());
    std::vector<PortOutcome> outcomes(ports.size());
    std::vector<std::unique_ptr<QThread>> threads;
    for (size_t i = 0; i < ports.size(); ++i) {
        // QThread rather than std::thread: the serial port's notifiers need its event dispatcher.
        threads.emplace_back(QThread::create([&, i] {
            std::ostringstream out;
            std::ostringstream err;
            CliContext own{
                out,           err,           Progress(console.Stream(i), console.Style()),
                context.names, context.trace, context.overrides};
            const auto start = std::chrono::steady_clock::now();
            PortOutcome outcome = job(own, ports[i]);
            outcome.time = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - start);
            outcome.port = ports[i];
            outcome.results = out.str();
            outcome.report = err.str();
            outcomes[i] = std::move(outcome);
        }));
        threads.back()->start();
    }
    for (const std::unique_ptr<QThread>& thread : threads) {
        thread->wait();
    }
    return outcomes;
}

// Each line of `text` under the name of its port: "[COM2] …"; escaped, as the port's name and
// the messages that name it may hold control characters.
std::string UnderPort(const std::string& port, const std::string& text) {
    std::istringstream lines(text);
    std::string tagged;
    for (std::string line; std::getline(lines, line);) {
        tagged += "[" + Shown(port) + "] " + Shown(line) + "\n";
    }
    return tagged;
}

// The reports of every port, their results and the table; the exit code of the worst.
int Finish(CliContext& context, const std::vector<PortOutcome>& outcomes) {
    for (const PortOutcome& outcome : outcomes) {
        context.err << UnderPort(outcome.port, outcome.report);
    }
    for (const PortOutcome& outcome : outcomes) {
        context.out << UnderPort(outcome.port, outcome.results);
    }
    context.out << FormatPortTable(outcomes);
    return WorstExitCode(outcomes);
}

// "COM1.cfg"; a device path gives its last name ("ttyUSB0.cfg").
std::filesystem::path FileOfPort(const std::string& port) {
    return std::filesystem::path(port).filename().string() + ".cfg";
}

// A safe file per port in `folder`, made before any card is asked; nothing after a message.
std::optional<std::vector<SafeFile>> FilesInFolder(CliContext& context,
                                                   const std::vector<std::string>& ports,
                                                   const std::string& folder) {
    std::error_code ignored;
    if (!std::filesystem::is_directory(folder, ignored)) {
        context.err << "brovane-cli: cannot write into " << folder
                    << ": it is not a folder; the cards were not asked\n";
        return std::nullopt;
    }
    std::vector<SafeFile> files;
    std::set<std::filesystem::path> names;
    for (const std::string& port : ports) {
        const std::filesystem::path path = std::filesystem::path(folder) / FileOfPort(port);
        std::string reason = "two ports give this name";
        std::optional<SafeFile> file =
            names.insert(path).second ? SafeFile::Create(path, reason) : std::nullopt;
        if (!file) {
            context.err << "brovane-cli: cannot write " << path.string() << ": " << reason
                        << "; the cards were not asked\n";
            return std::nullopt;
        }
        files.push_back(std::move(*file));
    }
    return files;
}

// The card's file committed in the place of the port's; the outcome says how it went.
void SaveCard(CliContext& context, PortOutcome& outcome, SafeFile& file,
              const std::string& folder) {
    const std::string path = (std::filesystem::path(folder) / FileOfPort(outcome.port)).string();
    std::string reason;
    if (file.Commit(CardFileText(*outcome.card, context.names, outcome.port, outcome.identity,
                                 outcome.hardwareBits),
                    reason)) {
        outcome.result = "read into " + path;
        return;
    }
    context.err << "[" << Shown(outcome.port) << "] brovane-cli: cannot write " << path << ": "
                << reason << "; an old file of that name is unchanged\n";
    outcome.result = "cannot write " + path;
    outcome.exitCode = kExitCannotWrite;
}

}  // namespace

bool IsPortList(const std::string& operand) {
    return operand.find(kSeparator) != std::string::npos;
}

namespace {

using FileJob = std::function<PortOutcome(CliContext& context, const std::string& port,
                                          const CardConfiguration& wanted)>;

// The template checked once, before anything is sent, then `job` with it on every port at once.
int FileOnPorts(CliContext& context, const std::string& list, const std::string& file,
                const std::vector<std::string>& sets, const FileJob& job) {
    const std::optional<CardConfiguration> wanted = LoadTemplate(context, file, sets);
    const std::optional<std::vector<std::string>> ports =
        wanted ? PortsOfList(context, list) : std::nullopt;
    if (!ports) {
        return kExitBadInput;
    }
    return Finish(context,
                  RunOnPorts(context, *ports, [&](CliContext& own, const std::string& port) {
                      return job(own, port, *wanted);
                  }));
}

// The template and the manifest checked whole, before anything is sent, then `job` on every
// card of the manifest at once, each with its own configuration.
int ManifestOnPorts(CliContext& context, const std::string& manifest, const std::string& file,
                    const std::vector<std::string>& sets, const FileJob& job) {
    const std::optional<CardConfiguration> base = LoadTemplate(context, file, sets);
    const std::optional<std::vector<ManifestCard>> cards =
        base ? LoadManifest(context, manifest, *base) : std::nullopt;
    if (!cards) {
        return kExitBadInput;
    }
    std::vector<std::string> ports;
    std::map<std::string, const ManifestCard*> cardOfPort;
    for (const ManifestCard& card : *cards) {
        ports.push_back(card.port);
        cardOfPort.emplace(card.port, &card);
    }
    std::vector<PortOutcome> outcomes =
        RunOnPorts(context, ports, [&](CliContext& own, const std::string& port) {
            return job(own, port, cardOfPort.at(port)->wanted);
        });
    for (PortOutcome& outcome : outcomes) {
        outcome.set = SetFieldsText(cardOfPort.at(outcome.port)->fields);
    }
    return Finish(context, outcomes);
}

FileJob WriteJob(const std::string& file, const WriteOptions& options) {
    return [&file, &options](CliContext& own, const std::string& port,
                             const CardConfiguration& wanted) {
        return WriteOnPort(own, port, file, wanted, options);
    };
}

FileJob VerifyJob(const std::string& file) {
    return [&file](CliContext& own, const std::string& port, const CardConfiguration& wanted) {
        return VerifyOnPort(own, port, file, wanted);
    };
}

}  // namespace

int WriteOnPorts(CliContext& context, const std::string& list, const std::string& file,
                 const std::vector<std::string>& sets, const WriteOptions& options) {
    return FileOnPorts(context, list, file, sets, WriteJob(file, options));
}

int VerifyOnPorts(CliContext& context, const std::string& list, const std::string& file,
                  const std::vector<std::string>& sets) {
    return FileOnPorts(context, list, file, sets, VerifyJob(file));
}

int WriteManifest(CliContext& context, const std::string& manifest, const std::string& file,
                  const std::vector<std::string>& sets, const WriteOptions& options) {
    return ManifestOnPorts(context, manifest, file, sets, WriteJob(file, options));
}

int VerifyManifest(CliContext& context, const std::string& manifest, const std::string& file,
                   const std::vector<std::string>& sets) {
    return ManifestOnPorts(context, manifest, file, sets, VerifyJob(file));
}

int ReadOnPorts(CliContext& context, const std::string& list, const std::string& folder) {
    if (folder.empty() || folder == "-") {
        context.err << "brovane-cli: a read of several ports needs -o FOLDER, the folder for "
                       "one file per card; nothing was sent\n";
        return kExitBadInput;
    }
    const std::optional<std::vector<std::string>> ports = PortsOfList(context, list);
    if (!ports) {
        return kExitBadInput;
    }
    for (const std::string& port : *ports) {
        if (HasControlCharacter(port)) {
            context.err << "brovane-cli: the port name " << Shown(port)
                        << " holds control characters, which no file name may; the cards were "
                           "not asked\n";
            return kExitBadInput;
        }
    }
    std::optional<std::vector<SafeFile>> files = FilesInFolder(context, *ports, folder);
    if (!files) {
        return kExitCannotWrite;
    }
    std::vector<PortOutcome> outcomes = RunOnPorts(context, *ports, ReadOnPort);
    for (size_t i = 0; i < outcomes.size(); ++i) {
        if (outcomes[i].card) {
            SaveCard(context, outcomes[i], (*files)[i], folder);
        }
    }
    return Finish(context, outcomes);
}
