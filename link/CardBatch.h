#pragma once

#include <functional>

class RegisterImage;
class SerialPortParameter;

// The two batches of exchanges with the card, shared by the dialogs and brovane-cli.

// Where a batch stands after a successful exchange: the device opened, the card identified,
// its hardware bits read, or one more register transferred.
enum class BatchStage { Opened, Identified, HardwareRead, Register };
using BatchProgress = std::function<void(BatchStage stage)>;
// Asked before each register: true ends the batch there (an interrupt), the exchange before it
// complete and the device closed.
using BatchStop = std::function<bool()>;

enum class BatchFailure {
    None,
    CannotOpen,  // the device could not be opened: nothing was sent
    NoAnswer,    // a command failed: the device is already closed
    Stopped,     // the stop asked for it between two registers: the device is closed
};

struct BatchResult {
    BatchFailure failure = BatchFailure::None;
    int registersDone = 0;  // registers transferred, in the order of ExchangedRegisters
    // NoAnswer in a transfer: the failed register's request went out, so the card may hold it.
    bool failedRequestSent = false;
    bool Ok() const { return failure == BatchFailure::None; }
};

// The card read: opens the device, identifies the card, reads its hardware bits, reads the
// registers of its firmware family in ascending order into the image and closes the device.
// `progress` (may be empty) is called after every successful step.
BatchResult ReadCardRegisters(SerialPortParameter& port, RegisterImage& image,
                              const BatchProgress& progress, const BatchStop& stop = {});

// The programming: opens the device, writes the registers of the family of the last
// identification in ascending order from the image and closes the device. On a failure the
// registers before the failed one have reached the card.
BatchResult ProgramCardRegisters(SerialPortParameter& port, const RegisterImage& image,
                                 const BatchProgress& progress, const BatchStop& stop = {});
