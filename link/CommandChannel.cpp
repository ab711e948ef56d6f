#include "link/CommandChannel.h"

#include <limits>

namespace tracebay::link {
namespace {

void countTick(int32_t& ticks) {
    if (ticks < std::numeric_limits<int32_t>::max()) ++ticks;
}

}  // namespace

CommandChannel::CommandChannel(platform::HostServices& host, platform::SerialPortControl& port,
                               UsbLibrary& usbLibrary)
    : host_(host), serial_(host, port, link_), usb_(host, link_, usbLibrary) {
    host_.setReplyTickHandler([this] { onReplyTick(); });
}

CommandChannel::~CommandChannel() { host_.setReplyTickHandler(nullptr); }

void CommandChannel::onReplyTick() {
    countTick(link_.SerialTicks);
    countTick(link_.UsbTicks);
    serial_.onReplyTick();
}

// The pause gives the instrument time to act before the next command, also after a failed send.
void CommandChannel::SendCommand(const std::string& command) {
    if (usesSerial())
        serial_.SerialSend(command);
    else
        usb_.UsbSend(command);
    host_.sleepMs(CommandPauseMs);
}

std::string CommandChannel::QueryCommand(const std::string& command) {
    if (!usesSerial()) {
        // No reply can come to a command that never went out.
        if (!usb_.UsbSend(command)) return {};
        return usb_.UsbReadLine();
    }
    link_.BinaryReply = false;
    serial_.SerialSend(command);
    link_.AwaitingReply = true;
    return serial_.SerialReadLine();
}

}  // namespace tracebay::link
