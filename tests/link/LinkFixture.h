#pragma once

#include <gtest/gtest.h>

#include "link/CommandChannel.h"
#include "link/SerialTransport.h"
#include "link/UsbTransport.h"
#include "platform/VirtualHost.h"
#include "tests/support/FakeSerialPort.h"
#include "tests/support/FakeUsbLibrary.h"

namespace tracebay::link {

// Both transports and the command channel on a virtual clock, over a fake serial port and a fake
// USB library; the channel starts on USB.
class LinkFixture : public ::testing::Test {
protected:
    void useSerial() {
        channel.use(serial);
        ASSERT_FALSE(serial.open());
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

    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& m : host.messages()) texts.push_back(m.caption + ": " + m.text);
        return texts;
    }

    platform::VirtualHost host{1};
    testing::FakeSerialPort port;
    testing::FakeUsbLibrary usb;
    SerialTransport serial{host, port};
    UsbTransport usbTransport{host, usb};
    CommandChannel channel{host, usbTransport};
};

}  // namespace tracebay::link
