#include "cli/CardLine.h"

#include "link/QtSerialLine.h"
#include "link/SerialPortParameter.h"

std::unique_ptr<SerialLine> CardLine(const CliContext& context, const std::string& port) {
    std::unique_ptr<SerialLine> line = MakeSystemSerialLine();
    return context.trace ? TraceLine(std::move(line), context.trace, port) : std::move(line);
}

BatchResult NoAnswerOf(const SerialPortParameter& port, int failedRegister) {
    BatchResult result;
    result.failure = BatchFailure::NoAnswer;
    result.failedRegister = failedRegister;
    result.diagnosis = port.LastDiagnosis();
    result.cardAnswered = port.CardAnswered();
    return result;
}

std::optional<std::shared_ptr<TraceSink>> OpenTrace(const std::string& file, std::ostream& err) {
    auto sink = file == "-" ? std::make_shared<TraceSink>() : std::make_shared<TraceSink>(file);
    if (!sink->Ok()) {
        err << "brovane-cli: cannot write the trace " << file << " (" << sink->OpenReason()
            << "); nothing was sent\n";
        return std::nullopt;
    }
    return sink;
}
