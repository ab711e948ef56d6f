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

// The text without the line end a USB reply carries.
std::string withoutLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

// The text after the first comma, when there is one.
bool dropField(std::string& text) {
    const auto comma = text.find(',');
    if (comma == std::string::npos) return false;
    text.erase(0, comma + 1);
    return true;
}

}  // namespace

InstrumentIdentity Connection::identity() const {
    return {Maker, ScopeModel, withoutLineEnd(FirmwareVersion), SerialNumber};
}

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
    ScopeConnected = false;
    if (const auto error = channel_.transport().open()) {
        message(error->text(), error->caption);
        return ConnectOutcome::LinkFailed;
    }
    channel_.SendCommand(Cmd::command({Cmd::DISPLAY, Cmd::MENUDISPLAY}, Cmd::OFF));
    channel_.SendCommand(Cmd::keyLockEnable());
    const ConnectOutcome outcome = checkIdentity(queryIdentity());
    ScopeConnected = outcome == ConnectOutcome::Connected;
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
    Maker = field;
    std::string rest = reply;
    dropField(rest);
    if (const auto comma = rest.find(','); comma != std::string::npos)
        field = rest.substr(0, comma);
    ScopeModel = field;
    HasLogicAnalyzer = !field.empty() && field.back() == 'D';
    std::string version = rest;
    dropField(version);
    SerialNumber = version.substr(0, version.find(','));
    dropField(version);
    FirmwareVersion = version;
    if (field.compare(0, ModelFamily.size(), ModelFamily) != 0) {
        deviceNotFound(false);
        return ConnectOutcome::NotFound;
    }
    if (firmwareValue(version) < FirmwareMinimum) {
        message("The version of the DSO must be higher than " + std::string(FirmwareMinimumText) +
                    "\rCurrent Version is " + withoutLineEnd(version) +
                    "\rPlease contact KAVLO at " + std::string(MakerWebAddress),
                ApplicationTitle);
        return ConnectOutcome::FirmwareTooOld;
    }
    return ConnectOutcome::Connected;
}

// Silence is explained on a second line where the transport knows what was tried.
void Connection::deviceNotFound(bool silence) {
    std::string text = "Device not found";
    if (const std::string hint = channel_.transport().silenceHint(); silence && !hint.empty())
        text += "\r" + hint;
    message(text, "Connect to Oscilloscope");
}

void Connection::DisconnectScope() {
    const bool wasConnected = ScopeConnected;
    ScopeConnected = false;
    if (wasConnected) channel_.SendCommand(Cmd::keyLockEnable());
}

void Connection::message(const std::string& text, const std::string& caption) {
    channel_.host().showMessage(text, caption, MessageIcon::Exclamation);
}

}  // namespace tracebay::acquisition
