#include "link/SystemDevices.h"

#include <QSerialPortInfo>

#include "link/SerialPlatform.h"

DeviceList ListSerialDevices() {
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    std::vector<SerialDevice> devices;
    for (const QSerialPortInfo& info : infos) {
        SerialDevice device;
#ifdef _WIN32
        device.path = info.portName().toStdString();
#else
        device.path = info.systemLocation().toStdString();
        device.byIdName = ByIdName(device.path);
        device.usbConnection = UsbConnection(device.path);
#endif
        device.description = info.description().toStdString();
        // Without a device database Qt knows no vendor; the kernel still knows a USB adapter.
        device.adapter = info.hasVendorIdentifier() || IsUsbSerialDevice(device.path);
        if (info.hasVendorIdentifier()) {
            device.usbModel = QStringLiteral("%1:%2")
                                  .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                                  .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'))
                                  .toStdString();
        }
        device.serialNumber = info.serialNumber().toStdString();
        devices.push_back(std::move(device));
    }
    return DeviceList(std::move(devices), ActiveConsoles());
}

std::vector<PortChoice> ListPortChoices(const PortOverrides& overrides) {
    return MapPortChoices(ListSerialDevices(), overrides);
}
