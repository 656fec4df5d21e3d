#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "link/SerialLine.h"

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

    bool OpenPort();
    // Writes the request, then reads until one read delivers exactly `expected` bytes; at most
    // five reads, and only the first four can succeed. Never closes the line.
    bool Transact(const uint8_t* request, size_t count, uint8_t* reply, size_t expected);
    int ClosePort();

    bool Identify();
    bool ReadHardware();
    // mode 1 writes register reg from the image; any other mode reads it into the image.
    // 1 on success, 0 on failure (line closed).
    int TransferRegister(int mode, int reg, RegisterImage& image);

    bool IsOpen() const;
    SerialLine& Line() { return *line_; }

  private:
    std::unique_ptr<SerialLine> line_;
};
