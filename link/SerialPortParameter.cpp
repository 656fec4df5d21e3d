#include "link/SerialPortParameter.h"

#include "model/RegisterImage.h"

// Stand-in until the card commands land.
SerialPortParameter::SerialPortParameter(std::unique_ptr<SerialLine> line)
    : line_(std::move(line)) {}
bool SerialPortParameter::OpenPort() {
    return false;
}
bool SerialPortParameter::Transact(const uint8_t*, size_t, uint8_t*, size_t) {
    return false;
}
int SerialPortParameter::ClosePort() {
    return 0;
}
bool SerialPortParameter::Identify() {
    return false;
}
bool SerialPortParameter::ReadHardware() {
    return false;
}
int SerialPortParameter::TransferRegister(int, int, RegisterImage&) {
    return 0;
}
bool SerialPortParameter::IsOpen() const {
    return false;
}
