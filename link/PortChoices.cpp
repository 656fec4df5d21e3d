#include "link/PortChoices.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>

#include "link/PortNames.h"

namespace {
constexpr int kPortCount = 7;
}

std::vector<PortChoice> ListPortChoices() {
    const QList<QSerialPortInfo> available = QSerialPortInfo::availablePorts();
    std::vector<PortChoice> choices;
    for (int number = 1; number <= kPortCount; ++number) {
        PortChoice choice;
        choice.name = "COM" + std::to_string(number);
        choice.device = ResolvePortName(choice.name);
        const QString device = QString::fromStdString(choice.device);
        const QString real = QFileInfo(device).canonicalFilePath();
        for (const QSerialPortInfo& info : available) {
            if (info.systemLocation() == device || info.portName() == device ||
                (!real.isEmpty() && info.systemLocation() == real)) {
                choice.description = info.description().toStdString();
            }
        }
#ifdef _WIN32
        choice.present =
            std::any_of(available.begin(), available.end(),
                        [&](const QSerialPortInfo& info) { return info.portName() == device; });
#else
        choice.present = QFileInfo::exists(device);
#endif
        choices.push_back(choice);
    }
    return choices;
}
