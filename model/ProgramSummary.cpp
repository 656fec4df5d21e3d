#include "model/ProgramSummary.h"

#include "model/Fields.h"
#include "model/RegisterImage.h"

namespace {

// Last baud code each port's cell knows: COM0 4 ("9600"), COM1 and COM3 5 ("19200"),
// COM2 7 ("57600").
constexpr std::array<int, PortSummary::kPortCount> kLastBaudCode = {4, 5, 7, 5};

std::string BaudCell(int port, int code) {
    if (code < 1 || code > kLastBaudCode[port]) {
        return kNoSummaryValue;
    }
    return BaudText(code);
}

}  // namespace

PortSummary SummarizePorts(const RegisterImage& image, const ParityNames& parityNames) {
    PortSummary summary;
    summary.protocol[0] = Com0ProtocolCode(image.High(0)) != 0 ? "KARVO" : "NEXPR";
    summary.baud[0] = BaudCell(0, Com0BaudCode(image.Low(0)));
    for (int port = 1; port < PortSummary::kPortCount; ++port) {
        summary.protocol[port] = PortProtocolCode(image.High(port)) != 0 ? "MODBUS" : "NEXPR";
        const LineSettings line = DecodeLineByte(image.Low(port));
        summary.baud[port] = BaudCell(port, line.baudCode);
        if (line.parityCode >= 1 && line.parityCode <= 3) {
            summary.parity[port] = parityNames[line.parityCode - 1];
        }
        summary.stop[port] = line.stopCode != 0 ? "2" : "1";
    }
    summary.address[2] = std::to_string(image.Low(kAddressRegister));
    return summary;
}
