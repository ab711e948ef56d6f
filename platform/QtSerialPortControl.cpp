#include "platform/QtSerialPortControl.h"

#include "platform/PortRefusal.h"

namespace tracebay::platform {
namespace {

QSerialPort::Parity toQt(SerialLineSettings::Parity parity) {
    switch (parity) {
        case SerialLineSettings::Parity::Even: return QSerialPort::EvenParity;
        case SerialLineSettings::Parity::Odd: return QSerialPort::OddParity;
        case SerialLineSettings::Parity::Mark: return QSerialPort::MarkParity;
        case SerialLineSettings::Parity::Space: return QSerialPort::SpaceParity;
        case SerialLineSettings::Parity::None: break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits toQt(SerialLineSettings::StopBits stopBits) {
    switch (stopBits) {
        case SerialLineSettings::StopBits::OneAndHalf: return QSerialPort::OneAndHalfStop;
        case SerialLineSettings::StopBits::Two: return QSerialPort::TwoStop;
        case SerialLineSettings::StopBits::One: break;
    }
    return QSerialPort::OneStop;
}

QSerialPort::FlowControl flowControl(int handshaking) {
    switch (handshaking) {
        case 0: return QSerialPort::NoFlowControl;
        case 1: return QSerialPort::SoftwareControl;
        default: return QSerialPort::HardwareControl;
    }
}

}  // namespace

QtSerialPortControl::QtSerialPortControl() {
    QObject::connect(&port_, &QSerialPort::readyRead, [this] { raiseCommEvent(ComEvReceive); });
    QObject::connect(&port_, &QSerialPort::errorOccurred,
                     [this](QSerialPort::SerialPortError error) { onError(error); });
}

QtSerialPortControl::~QtSerialPortControl() {
    closing_ = true;
    port_.close();
}

PortStatus QtSerialPortControl::openDevice(const std::string& name, const SerialLineSettings& line,
                                           int handshaking) {
    port_.setPortName(QString::fromStdString(name));
    if (!port_.open(QIODevice::ReadWrite)) return PortStatus::failure(openFailure(name));
    const bool configured = port_.setBaudRate(line.baud) &&
                            port_.setDataBits(static_cast<QSerialPort::DataBits>(line.dataBits)) &&
                            port_.setParity(toQt(line.parity)) &&
                            port_.setStopBits(toQt(line.stopBits)) &&
                            port_.setFlowControl(flowControl(handshaking));
    if (!configured) {
        auto status = PortStatus::failure(name + ": " + port_.errorString().toStdString());
        closeDevice();
        return status;
    }
    port_.clearError();
    return PortStatus::success();
}

// Qt says "permission" both for a port another program holds (its lock, or its exclusive open)
// and for one this user may not open; the user needs to know which.
std::string QtSerialPortControl::openFailure(const std::string& name) const {
    if (port_.error() != QSerialPort::PermissionError)
        return name + ": " + port_.errorString().toStdString();
    return portRefusalText(name, portRefusal(name), deviceGroup(name));
}

void QtSerialPortControl::closeDevice() {
    closing_ = true;
    port_.close();
    port_.clearError();
    closing_ = false;
}

PortStatus QtSerialPortControl::writeDevice(const std::string& bytes) {
    const auto written = port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
    if (written != static_cast<qint64>(bytes.size()))
        return PortStatus::failure(port_.errorString().toStdString());
    // Hand the bytes to the driver now: the caller blocks while they go out on the line.
    port_.flush();
    return PortStatus::success();
}

std::string QtSerialPortControl::readDevice() {
    const QByteArray bytes = port_.readAll();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// Bytes the driver holds, not only those Qt has read, go too.
void QtSerialPortControl::discardDeviceInput() { port_.clear(QSerialPort::Input); }

// Qt reports read errors again and again once the device has gone (a closed pseudo-terminal,
// an unplugged adapter); any real error therefore ends the port, reported once.
void QtSerialPortControl::onError(QSerialPort::SerialPortError error) {
    if (closing_ || error == QSerialPort::NoError || error == QSerialPort::TimeoutError) return;
    if (!port_.isOpen()) return;
    deviceLost();
}

}  // namespace tracebay::platform
