#include "link/SerialTransport.h"

#include <cmath>
#include <limits>

#include "link/CommEvents.h"
#include "link/LeadingNumber.h"

namespace tracebay::link {

using platform::PortStatus;
using platform::SerialPortControl;

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// What a write to a port that is no longer open says.
constexpr const char* PortNotOpen = "Operation valid only when the port is open";

}  // namespace

int serialPacingMs(const std::string& baudText, size_t commandLength) {
    const double baud = leadingNumber(baudText);
    double perCharacter = baud > 0 ? 30000.0 / baud : 0;
    if (perCharacter < 3) perCharacter = 3;
    // Rounded to the nearest millisecond, halves to even.
    const double total = std::nearbyint(perCharacter * static_cast<double>(commandLength + 1));
    return total > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                   : static_cast<int>(total);
}

SerialTransport::SerialTransport(platform::HostServices& host, SerialPortControl& port)
    : host_(host), port_(port) {
    port_.setOnComm([this] { onComm(); });
}

SerialTransport::~SerialTransport() { port_.setOnComm(nullptr); }

std::string SerialTransport::portAndRate() const {
    return platform::portDeviceName(settings_.ComPort, settings_.DevicePath) + " at " +
           trimmed(settings_.BaudRate) + " baud";
}

// Silence on a port that opened is mostly a cable or a baud rate that does not match the
// instrument's.
std::string SerialTransport::silenceHint() const {
    return "No answer from " + portAndRate() +
           ": check the cable and the baud rate set on the instrument";
}

std::optional<LinkError> SerialTransport::open() {
    std::optional<std::string> lastError;
    const auto note = [&](const PortStatus& status) {
        if (!status.ok) lastError = status.error;
    };
    if (port_.PortOpen()) note(port_.setPortOpen(false));
    note(port_.setSettings(trimmed(settings_.BaudRate) + ",n,8,1"));
    port_.setDevicePath(settings_.DevicePath);
    if (settings_.ComPort < std::numeric_limits<int16_t>::min() ||
        settings_.ComPort > std::numeric_limits<int16_t>::max())
        note(PortStatus::failure("Invalid port number " + std::to_string(settings_.ComPort)));
    else
        note(port_.setCommPort(static_cast<int16_t>(settings_.ComPort)));
    note(port_.setHandshaking(0));
    note(port_.setPortOpen(true));
    if (!lastError) return std::nullopt;
    return LinkError{LinkFailure::OpenFailed, "RS232 Init", *lastError};
}

void SerialTransport::close() {
    if (port_.PortOpen()) port_.setPortOpen(false);
}

// Bytes still waiting when a command goes out belong to an earlier reply that came too late;
// taken as the start of this command's reply they would shift every reply after it.
std::optional<LinkError> SerialTransport::send(const std::string& command) {
    early_.clear();
    port_.discardInput();
    const PortStatus status = port_.Output(command + '\n');
    if (!status.ok)
        return port_.PortOpen() ? LinkError{LinkFailure::SendFailed, SendCaption, status.error}
                                : portClosed();
    host_.sleepMs(serialPacingMs(settings_.BaudRate, command.size()));
    return std::nullopt;
}

// A port that went away fails every later step alike.
LinkError SerialTransport::portClosed() const {
    return LinkError{LinkFailure::PortClosed, SendCaption, PortNotOpen};
}

Reply<std::string> SerialTransport::readLine() {
    LineAssembler line;
    if (auto error = await(line, TextReplyTickLimit)) return {{}, std::move(error)};
    if (line.state() == Assembly::Refused)
        return {{}, LinkError{LinkFailure::TooLong, {}, {}, SerialReplyLimit, SerialReplyLimit}};
    return {line.text(), std::nullopt};
}

Reply<Bytes> SerialTransport::readBlock(size_t capacity) {
    BlockAssembler block(capacity);
    if (auto error = await(block, BlockReplyTickLimit)) return {{}, std::move(error)};
    return block.result();
}

// Nothing when the reply is whole or refused; why it never came otherwise.
template <typename Assembler>
std::optional<LinkError> SerialTransport::await(Assembler& reply, int tickLimit) {
    reply.feed(early_);
    early_.clear();
    reply_ = &reply;
    ticks_ = waitedTicks_ = 0;
    while (reply.state() == Assembly::Incomplete && ticks_ < tickLimit && !overdue(reply.bytes()) &&
           port_.PortOpen() && !host_.givingUp())
        host_.awaitEvents();
    reply_ = std::monostate{};
    if (reply.state() != Assembly::Incomplete) return std::nullopt;
    if (!port_.PortOpen()) return portClosed();
    if (host_.givingUp()) return LinkError{LinkFailure::Abandoned};
    return LinkError{LinkFailure::NoReply};
}

// A byte is ten bits on the line.
bool SerialTransport::overdue(uint64_t bytes) const {
    const double baud = leadingNumber(settings_.BaudRate);
    const double lineMs = baud > 0 ? static_cast<double>(bytes) * 10'000.0 / baud : 0;
    return static_cast<double>(waitedTicks_) * platform::HostServices::ReplyTickMs >=
           ReplyDeadlineMs + lineMs;
}

void SerialTransport::onComm() {
    const int event = port_.CommEvent();
    if (event == SerialPortControl::ComEvReceive) {
        const std::string chunk = port_.Input();
        if (!chunk.empty()) take(chunk);
    } else if (event != SerialPortControl::ComEvSend) {
        lastEventDescription_ = commEventDescription(event);
        commTimerTicksLeft_ = CommTimerTicks;
    }
}

// Every chunk restarts the wait's time-out. Nothing that arrives before a read needs more room
// than the largest reply.
void SerialTransport::take(std::string_view chunk) {
    ticks_ = 0;
    if (auto* line = std::get_if<LineAssembler*>(&reply_))
        (*line)->feed(chunk);
    else if (auto* block = std::get_if<BlockAssembler*>(&reply_))
        (*block)->feed(chunk);
    else
        early_.append(
            chunk.substr(0, SerialReplyLimit + 4 - std::min(early_.size(), SerialReplyLimit + 4)));
}

void SerialTransport::onReplyTick() {
    if (ticks_ < std::numeric_limits<int>::max()) ++ticks_;
    if (waitedTicks_ < std::numeric_limits<int>::max()) ++waitedTicks_;
    if (commTimerTicksLeft_ > 0) --commTimerTicksLeft_;
}

}  // namespace tracebay::link
