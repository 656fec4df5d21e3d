#pragma once

#include <functional>

#include "link/ReplyDiagnosis.h"

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
    // NoAnswer: the register whose exchange failed (-1: the identification or the hardware
    // read), and why the card's reply was not valid.
    int failedRegister = -1;
    ReplyDiagnosis diagnosis = {};
    // NoAnswer in a transfer: the failed register's request went out, so the card may hold it.
    bool failedRequestSent = false;
    // NoAnswer: a card had answered on the device before the failed command (this batch's
    // identification, or the read that found the card on it).
    bool cardAnswered = false;
    bool Ok() const { return failure == BatchFailure::None; }
};

// Which device a batch opens: the one the port name leads to now, or the one on which the last
// identification found the card (SerialPortParameter::OpenCardDevice).
enum class BatchDevice { MapPortName, CardDevice };

// The card read: opens the device, identifies the card, reads its hardware bits, reads the
// registers of its firmware family in ascending order into the image and closes the device.
// `progress` (may be empty) is called after every successful step.
BatchResult ReadCardRegisters(SerialPortParameter& port, RegisterImage& image,
                              const BatchProgress& progress, const BatchStop& stop = {},
                              BatchDevice device = BatchDevice::MapPortName);

// The programming: opens the device on which the last identification found the card (never
// another that the port name leads to now), writes the registers of its family in ascending
// order from the image and closes the device. On a failure the registers before the failed one
// have reached the card.
BatchResult ProgramCardRegisters(SerialPortParameter& port, const RegisterImage& image,
                                 const BatchProgress& progress, const BatchStop& stop = {});
