// ports: the port names, their devices, and on request whether a card answers on each.
#include <QThread>
#include <algorithm>
#include <iomanip>
#include <memory>

#include "cli/CardLine.h"
#include "cli/CommandUnits.h"
#include "cli/ExitCodes.h"
#include "cli/PortProbe.h"
#include "cli/ShownText.h"
#include "link/SystemDevices.h"

int PortsCommand(CliContext& context, bool probe, const std::vector<std::string>& named) {
    const std::vector<ProbeTarget> targets =
        PlanProbes(ListSerialDevices(), named, context.overrides);
    std::vector<ProbeFinding> findings(targets.size());
    if (probe) {
        // Each port on a thread of its own with its own line, so that silent ports cost their
        // timeouts only once.
        std::vector<std::unique_ptr<QThread>> probes;
        for (size_t i = 0; i < targets.size(); ++i) {
            findings[i].words = targets[i].skipped;
            if (!targets[i].probe) {
                continue;
            }
            // QThread rather than std::thread: the serial port's notifiers need one.
            probes.emplace_back(QThread::create([&context, &targets, &findings, i] {
                findings[i] = ProbeCard(targets[i], CardLine(context, targets[i].name));
            }));
            probes.back()->start();
        }
        for (const std::unique_ptr<QThread>& thread : probes) {
            thread->wait();
        }
    }
    // Columns as wide as their longest entry, so that a device path never runs into the next.
    size_t nameWidth = 5;
    size_t deviceWidth = 22;
    for (const ProbeTarget& target : targets) {
        nameWidth = std::max(nameWidth, Shown(target.name).size());
        deviceWidth = std::max(deviceWidth, Shown(target.device).size());
    }
    for (size_t i = 0; i < targets.size(); ++i) {
        const ProbeTarget& target = targets[i];
        context.out << std::left << std::setw(static_cast<int>(nameWidth)) << Shown(target.name)
                    << " " << std::setw(static_cast<int>(deviceWidth)) << Shown(target.device)
                    << " " << target.description;
        if (!findings[i].words.empty()) {
            context.out << ": " << findings[i].words;
        }
        context.out << "\n";
    }
    // A port named for the probe is asked for a card: without one the probe failed. A name
    // skipped as the twin of an earlier one stands for that one's finding.
    bool missing = false;
    for (size_t i = 0; i < targets.size(); ++i) {
        missing = missing || ((targets[i].probe || targets[i].device.empty()) && !findings[i].card);
    }
    return probe && !named.empty() && missing ? kExitCardFailure : kExitOk;
}
