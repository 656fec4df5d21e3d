#include "ui/SetPort.h"

#include "app/AppState.h"
#include "link/QtSerialLine.h"
#include "link/SerialPortParameter.h"

TTSetPortParam::TTSetPortParam(QWidget* parent) : QDialog(parent) {
    SerialPort = std::make_unique<SerialPortParameter>(MakeSystemSerialLine());
}
