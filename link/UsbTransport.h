#pragma once

#include <cstdint>
#include <string>

#include "link/Transport.h"
#include "link/UsbLibrary.h"
#include "platform/HostServices.h"

namespace tracebay::link {

// Commands as USB Test and Measurement messages through the USB link library: a reply is
// polled for with the status request until it is ready, asked for, and read.
class UsbTransport : public Transport {
public:
    static constexpr size_t CommandCapacity = 257;
    static constexpr size_t TextReplyCapacity = 257;
    static constexpr int ReplyTickLimit = 50;  // 5 s from the start of the poll

    UsbTransport(platform::HostServices& host, UsbLibrary& library)
        : host_(host), library_(library) {}

    std::optional<LinkError> open() override;
    void close() override {}
    std::optional<LinkError> send(const std::string& command) override;
    // The reply as received: a line feed the instrument ends it with is part of it.
    Reply<std::string> readLine() override;
    Reply<Bytes> readBlock(size_t capacity) override;
    void onReplyTick() override;

    // The tag of the last message; it keeps counting for the whole run, 1..254 then 0.
    uint8_t UsbTag() const { return UsbTag_; }

private:
    void UsbNextTag();
    // Polls until the instrument has a reply ready, then asks for it.
    std::optional<LinkError> awaitReply();
    bool statusRequest(uint8_t* status);
    Reply<Bytes> read(size_t capacity);
    LinkError noDevice(const char* caption);

    platform::HostServices& host_;
    UsbLibrary& library_;
    uint8_t UsbTag_ = 0;
    int ticks_ = 0;  // reply ticks since the poll began
};

}  // namespace tracebay::link
