#include "platform/SerialPortControl.h"

namespace tracebay::platform {

PortStatus SerialPortControl::setCommPort(int16_t port) {
    if (open_) return PortStatus::failure("Port already open");
    if (port < 1) return PortStatus::failure("Invalid port number " + std::to_string(port));
    commPort_ = port;
    return PortStatus::success();
}

PortStatus SerialPortControl::setSettings(std::string text) {
    settings_ = std::move(text);
    return PortStatus::success();
}

PortStatus SerialPortControl::setHandshaking(int mode) {
    if (mode < 0 || mode > 3) return PortStatus::failure("Invalid handshaking mode");
    handshaking_ = mode;
    return PortStatus::success();
}

PortStatus SerialPortControl::setPortOpen(bool open) {
    if (open == open_) return open ? PortStatus::failure("Port already open") : PortStatus{};
    if (!open) {
        closeDevice();
        open_ = false;
        return PortStatus::success();
    }
    const auto parsed = parseLineSettings(settings_);
    if (!parsed.settings) return PortStatus::failure(parsed.error);
    auto status =
        openDevice(portDeviceName(commPort_, devicePath_), *parsed.settings, handshaking_);
    open_ = status.ok;
    return status;
}

PortStatus SerialPortControl::Output(const std::string& bytes) {
    if (!open_) return PortStatus::failure("Operation valid only when the port is open");
    return writeDevice(bytes);
}

std::string SerialPortControl::Input() { return open_ ? readDevice() : std::string(); }

void SerialPortControl::discardInput() {
    if (open_) discardDeviceInput();
}

void SerialPortControl::raiseCommEvent(int code) {
    commEvent_ = code;
    if (onComm_) onComm_();
}

void SerialPortControl::deviceLost() {
    if (!open_) return;
    closeDevice();
    open_ = false;
    raiseCommEvent(ComEvPortLost);
}

}  // namespace tracebay::platform
