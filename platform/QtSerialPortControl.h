#pragma once

#include <QSerialPort>

#include "platform/SerialPortControl.h"

namespace tracebay::platform {

// The serial port control over QSerialPort. Receive events arrive through the Qt event loop.
class QtSerialPortControl : public SerialPortControl {
public:
    QtSerialPortControl();
    ~QtSerialPortControl() override;

protected:
    PortStatus openDevice(const std::string& name, const SerialLineSettings& line,
                          int handshaking) override;
    void closeDevice() override;
    PortStatus writeDevice(const std::string& bytes) override;
    std::string readDevice() override;
    void discardDeviceInput() override;

private:
    void onError(QSerialPort::SerialPortError error);
    std::string openFailure(const std::string& name) const;

    QSerialPort port_;
    bool closing_ = false;
};

}  // namespace tracebay::platform
