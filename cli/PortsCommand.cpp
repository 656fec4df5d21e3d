// ports: the port names, their devices, and on request whether a card answers on each.
#include <QThread>
#include <cstring>
#include <iomanip>

#include "cli/CardLine.h"
#include "cli/CardSession.h"
#include "cli/CommandUnits.h"
#include "cli/ExitCodes.h"
#include "link/QtSerialLine.h"
#include "link/SystemDevices.h"
#include "model/FirmwareVariant.h"

int PortsCommand(CliContext& context, bool probe) {
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
            probes.emplace_back(QThread::create([&context, &choices, &findings, i] {
                SerialPortParameter port(CardLine(context, choices[i].name));
                std::strncpy(port.PortName, choices[i].name.c_str(), sizeof port.PortName - 1);
                const BatchFailure failure = OpenAndIdentify(port);
                if (failure == BatchFailure::CannotOpen) {
                    findings[i] = "cannot be opened";
                } else if (failure != BatchFailure::None || !port.OpenPort() ||
                           !port.ReadHardware()) {
                    findings[i] = "no Quorix card answers";
                } else {
                    port.ClosePort();
                    findings[i] = "Quorix card " + Printable(port.Identity) + ", family " +
                                  FamilyName(*FamilyOfVariant(port.FirmwareVariant)) +
                                  ", hardware value " + std::to_string(port.HardwareBits);
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
        context.out << std::left << std::setw(6) << choice.name << std::setw(23) << choice.device
                    << " "
                    << (choice.present
                            ? (choice.description.empty() ? "serial device" : choice.description)
                            : "no device");
        if (!findings[i].empty()) {
            context.out << ": " << findings[i];
        }
        context.out << "\n";
    }
    return kExitOk;
}
