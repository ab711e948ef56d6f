#include "acquisition/Connection.h"

#include "acquisition/Commands.h"

namespace tracebay::acquisition {
namespace {

using platform::MessageIcon;
namespace Cmd = QM1000Cmd;

constexpr const char* ApplicationTitle = "TraceBay";

int twoDigits(const std::string& text, size_t at) {
    if (at + 2 > text.size()) return 0;
    const char a = text[at];
    const char b = text[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') return 0;
    return (a - '0') * 10 + (b - '0');
}

// The text after the first comma, when there is one.
bool dropField(std::string& text) {
    const auto comma = text.find(',');
    if (comma == std::string::npos) return false;
    text.erase(0, comma + 1);
    return true;
}

}  // namespace

int32_t firmwareValue(const std::string& version) {
    const int a = twoDigits(version, 0);
    const int b = twoDigits(version, 3);
    const int c = twoDigits(version, 6);
    return 10000 * a + 100 * b + c;
}

std::string Connection::queryIdentity() {
    std::string reply;
    for (int attempt = 0; attempt < IdentityAttempts; ++attempt) {
        reply = channel_.QueryCommand(std::string(Cmd::IDENTIFY));
        if (reply.compare(0, ExpectedIdentity.size(), ExpectedIdentity) == 0) break;
        channel_.host().sleepMs(RetryPauseMs);
    }
    return reply;
}

ConnectOutcome Connection::ConnectScope() {
    link::LinkState& link = channel_.state();
    link.LinkReady = true;
    if (channel_.usesSerial())
        channel_.serial().SerialOpen();
    else
        channel_.usb().UsbOpen();
    if (!link.LinkReady) {
        setConnected(false);
        return ConnectOutcome::LinkFailed;
    }
    channel_.SendCommand(Cmd::command({Cmd::DISPLAY, Cmd::MENUDISPLAY}, Cmd::OFF));
    channel_.SendCommand(Cmd::keyLockEnable());
    const ConnectOutcome outcome = checkIdentity(queryIdentity());
    setConnected(outcome == ConnectOutcome::Connected);
    return outcome;
}

// A malformed reply never fails on its own: a field that cannot be cut out keeps the previous
// value of the text that held it, and the checks decide.
ConnectOutcome Connection::checkIdentity(const std::string& reply) {
    std::string field;
    if (const auto comma = reply.find(','); comma != std::string::npos)
        field = reply.substr(0, comma);
    if (field != ExpectedIdentity.substr(0, ExpectedIdentity.size() - 4)) {
        deviceNotFound(reply.empty());
        return reply.empty() ? ConnectOutcome::NoReply : ConnectOutcome::NotFound;
    }
    std::string rest = reply;
    dropField(rest);
    if (const auto comma = rest.find(','); comma != std::string::npos)
        field = rest.substr(0, comma);
    ScopeModel = field;
    HasLogicAnalyzer = !field.empty() && field.back() == 'D';
    std::string version = rest;
    dropField(version);
    dropField(version);
    FirmwareVersion = version;
    if (field.compare(0, ModelFamily.size(), ModelFamily) != 0) {
        deviceNotFound(false);
        return ConnectOutcome::NotFound;
    }
    if (firmwareValue(version) < FirmwareMinimum) {
        channel_.host().showMessage("The version of the DSO must be higher than " +
                                        std::string(FirmwareMinimumText) + "\rCurrent Version is " +
                                        version + "\rPlease contact KAVLO at " +
                                        std::string(MakerWebAddress),
                                    ApplicationTitle, MessageIcon::Exclamation);
        return ConnectOutcome::FirmwareTooOld;
    }
    return ConnectOutcome::Connected;
}

// Silence on a serial port that opened is mostly a cable or a baud rate that does not match the
// instrument's: a second line names what was tried.
void Connection::deviceNotFound(bool silence) {
    std::string text = "Device not found";
    if (silence && channel_.usesSerial())
        text += "\rNo answer from " + channel_.serial().portAndRate() +
                ": check the cable and the baud rate set on the instrument";
    channel_.host().showMessage(text, "Connect to Oscilloscope", MessageIcon::Exclamation);
}

void Connection::DisconnectScope() {
    if (ScopeConnected) channel_.SendCommand(Cmd::keyLockEnable());
    setConnected(false);
}

void Connection::setConnected(bool connected) {
    ScopeConnected = connected;
    indicator_.showConnected(connected);
}

}  // namespace tracebay::acquisition
