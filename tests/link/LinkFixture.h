#pragma once

#include <gtest/gtest.h>

#include "link/CommandChannel.h"
#include "platform/VirtualHost.h"
#include "tests/support/FakeSerialPort.h"
#include "tests/support/FakeUsbLibrary.h"

namespace tracebay::link {

// A command channel on a virtual clock with a fake serial port and a fake USB library.
class LinkFixture : public ::testing::Test {
protected:
    void useSerial() {
        channel.IoType = CommandChannel::IoTypeSerial;
        channel.state().LinkReady = true;
        channel.serial().SerialOpen();
        ASSERT_TRUE(port.PortOpen());
        host.clearRecords();
    }

    // `bytes` arrive `delayMs` from now.
    void deliverAfter(int64_t delayMs, std::string bytes) {
        host.after(delayMs, [this, bytes] { port.deliver(bytes); });
    }

    static std::string block(const std::string& payload) {
        const auto n = static_cast<uint32_t>(payload.size());
        std::string prefix{static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF),
                           static_cast<char>((n >> 16) & 0xFF), static_cast<char>(n >> 24)};
        return prefix + payload;
    }

    // Waits for a binary block the way the acquisition does.
    ReplyWait awaitBlock(const std::string& request) {
        channel.SendCommand(request);
        LinkState& link = channel.state();
        link.AwaitingReply = true;
        link.BinaryReply = true;
        return channel.serial().awaitReply(SerialTransport::BlockReplyTickLimit);
    }

    platform::VirtualHost host{1};
    testing::FakeSerialPort port;
    testing::FakeUsbLibrary usb;
    CommandChannel channel{host, port, usb};
};

}  // namespace tracebay::link
