#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "link/CardDevice.h"
#include "link/CardFrame.h"
#include "link/ReplyDiagnosis.h"
#include "link/SerialLine.h"
#include "link/SerialPlatform.h"

class RegisterImage;

// The one connection to the card: the port to use, the open line during a batch, and what the
// identification found out. Every card command that fails closes the line itself.
class SerialPortParameter {
  public:
    // The line is owned: the system's serial port (MakeSystemSerialLine) or a test line.
    explicit SerialPortParameter(std::unique_ptr<SerialLine> line);

    char PortName[5] = {};    // at most four characters, NUL-terminated
    int FirmwareVariant = 0;  // 0-5, set by Identify
    char Identity[20] = {};   // up to 12 characters, always NUL-terminated
    int HardwareBits = 0;     // 0-31, set by ReadHardware

    // Names the device to open directly, for a name that PortName cannot hold or that is no
    // port name at all: a path ("/dev/serial/by-id/...", "card" in the working folder), or on
    // Windows a port of any number ("COM12"). OpenPort then opens that device, never asking for
    // the devices present, and PortName is not used; an empty text goes back to PortName.
    void NameDevice(std::string device) { namedDevice_ = std::move(device); }
    // The device named directly, as it was given; empty when PortName is used.
    const std::string& NamedDevice() const { return namedDevice_; }
    // The devices set by hand for COM1 to COM7, read once at start-up (ReadPortOverrides); none
    // until handed over.
    void UsePortOverrides(PortOverrides overrides) { overrides_ = std::move(overrides); }

    // Opens the device named directly, else the one that PortName leads to among the devices
    // present now, as a card read does; the card found there by a later Identify is remembered
    // with its device.
    bool OpenPort();
    // Opens the device on which the last Identify found the card, and no other, as the
    // programming does (FindReadDevice): a USB adapter by its connection, or plugged in again
    // under another kernel name by a serial number of its own; a path only while it leads where
    // it led. When that device is gone it fails with OpenFailure::NoSuchDevice, when it cannot
    // be told for sure from another with OpenFailure::IdenticalAdapter or OtherDevice, and
    // nothing is opened. Before any identification it opens as OpenPort does.
    bool OpenCardDevice();
    // The device the last open tried ("" when the name led to none), and why it failed
    // (OpenFailure::None if it did not).
    const std::string& OpenedDevice() const { return openedRead_.device.path; }
    OpenFailure LastOpenFailure() const;
    // The line that follows the "cannot open" message: "/dev/ttyUSB0: no such device", or the
    // port name where it led to no device; a device named directly shows as it was given.
    std::string OpenFailureText() const;
    // Writes the request, then reads until one read delivers exactly `expected` bytes; at most
    // five reads, and only the first four can succeed. Never closes the line.
    bool Transact(const uint8_t* request, size_t count, uint8_t* reply, size_t expected);
    // Whether the request of the last Transact left the port whole: when its answer then failed,
    // the card may have taken it.
    bool LastRequestSent() const { return lastRequestSent_; }
    int ClosePort();

    // Fails, with the line closed and Identity and FirmwareVariant unchanged, when the card does
    // not answer correctly or reports an identity of none of the three families.
    bool Identify();
    // The identity the card answered the last identification with, of a known family or not;
    // empty when it did not answer correctly.
    const std::string& AnsweredIdentity() const { return answeredIdentity_; }
    bool ReadHardware();
    // mode 1 writes register reg from the image; any other mode reads it into the image.
    // 1 on success, 0 on failure (line closed). A register outside 0-47 fails without a frame.
    int TransferRegister(int mode, int reg, RegisterImage& image);

    // Encodes the digits of the command text and lays out its frame in `transmit` (which holds
    // card::kBufferSize bytes); the frame length is then FrameLength().
    void BuildFrame(std::string_view commandText, uint8_t* transmit);
    size_t FrameLength() const { return frameLength_; }

    bool IsOpen() const;
    SerialLine& Line() { return *line_; }
    // Why the last command that failed got no valid reply (ReplyFault::None after one that
    // worked, and after one that failed on what a valid reply said).
    const ReplyDiagnosis& LastDiagnosis() const { return diagnosis_; }
    // Whether a card has answered on the open device: a command of it succeeded since the open,
    // or it is the device on which the last identification found the card.
    bool CardAnswered() const { return cardAnswered_; }

  private:
    // Clears both buffers for a new command.
    void ClearBuffers();
    // Builds the frame of the text and exchanges it for a reply of `expected` bytes that carries
    // `echo` at offset 3; on a failure says why in diagnosis_.
    bool Exchange(std::string_view commandText, size_t expected, std::string_view echo);
    bool EchoIs(std::string_view echo) const;
    // Closes the line and reports the failure of a command.
    bool Fail();
    // Opens the device, or fails with no such device when there is none.
    bool OpenDevice(SerialDevice device, bool hadTwin);

    std::unique_ptr<SerialLine> line_;
    std::string namedDevice_;  // set by NameDevice
    PortOverrides overrides_;
    uint8_t transmit_[card::kBufferSize] = {};
    uint8_t receive_[card::kBufferSize] = {};
    size_t frameLength_ = 0;
    ReadDevice openedRead_;                 // the device of the last open, as found again later
    std::optional<OpenFailure> refusal_;    // set when no device was there to try
    std::optional<ReadDevice> cardDevice_;  // where the last Identify found the card
    // What the last Transact sent and the first read that brought anything.
    std::vector<uint8_t> request_;
    std::vector<uint8_t> firstPiece_;
    ReplyFault lineFault_ = ReplyFault::None;  // NotSent or LineLost: the line itself failed
    ReplyDiagnosis diagnosis_;
    std::string answeredIdentity_;
    bool lastRequestSent_ = false;
    bool cardAnswered_ = false;
};
