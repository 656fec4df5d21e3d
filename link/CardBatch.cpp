#include "link/CardBatch.h"

#include "link/SerialPortParameter.h"
#include "model/FirmwareVariant.h"
#include "model/RegisterImage.h"

namespace {

constexpr int kReadMode = 0;
constexpr int kWriteMode = 1;

void Report(const BatchProgress& progress, BatchStage stage) {
    if (progress) {
        progress(stage);
    }
}

// Transfers the registers of the family of the last identification in ascending order, then
// closes the device; a failed transfer has closed it already.
BatchResult TransferRegisters(SerialPortParameter& port, int mode, RegisterImage& image,
                              const BatchProgress& progress, const BatchStop& stop) {
    BatchResult result;
    for (const int reg : ExchangedRegisters(port.FirmwareVariant)) {
        if (stop && stop()) {
            port.ClosePort();
            result.failure = BatchFailure::Stopped;
            return result;
        }
        if (port.TransferRegister(mode, reg, image) != 1) {
            // A stop asked for during the exchange may be what cut it short (a signal ends the
            // wait): the batch was stopped, and what reached the card is reported as for a stop.
            result.failure = stop && stop() ? BatchFailure::Stopped : BatchFailure::NoAnswer;
            result.failedRegister = reg;
            result.diagnosis = port.LastDiagnosis();
            result.failedRequestSent = port.LastRequestSent();
            result.cardAnswered = port.CardAnswered();
            return result;
        }
        ++result.registersDone;
        Report(progress, BatchStage::Register);
    }
    port.ClosePort();
    return result;
}

// The identification or the hardware read failed: no register was read.
BatchResult NoAnswerBefore(const SerialPortParameter& port, const BatchStop& stop) {
    BatchResult result;
    result.failure = stop && stop() ? BatchFailure::Stopped : BatchFailure::NoAnswer;
    result.diagnosis = port.LastDiagnosis();
    result.cardAnswered = port.CardAnswered();
    return result;
}

}  // namespace

BatchResult ReadCardRegisters(SerialPortParameter& port, RegisterImage& image,
                              const BatchProgress& progress, const BatchStop& stop,
                              BatchDevice device) {
    if (!(device == BatchDevice::CardDevice ? port.OpenCardDevice() : port.OpenPort())) {
        return {BatchFailure::CannotOpen, 0};
    }
    Report(progress, BatchStage::Opened);
    // A failed command has closed the device itself.
    if (!port.Identify()) {
        return NoAnswerBefore(port, stop);
    }
    Report(progress, BatchStage::Identified);
    if (!port.ReadHardware()) {
        return NoAnswerBefore(port, stop);
    }
    Report(progress, BatchStage::HardwareRead);
    return TransferRegisters(port, kReadMode, image, progress, stop);
}

BatchResult ProgramCardRegisters(SerialPortParameter& port, const RegisterImage& image,
                                 const BatchProgress& progress, const BatchStop& stop) {
    if (!port.OpenCardDevice()) {
        return {BatchFailure::CannotOpen, 0};
    }
    Report(progress, BatchStage::Opened);
    // A write only reads the image; the command takes it unqualified.
    RegisterImage source = image;
    return TransferRegisters(port, kWriteMode, source, progress, stop);
}
