#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tracebay::link {

// The state shared by the command channel, both transports and the block readers of the
// acquisition. One instance, owned by the CommandChannel.
struct LinkState {
    static constexpr size_t RxBufferSize = 65537;
    static constexpr size_t RawSamplesSize = 6201;  // index 0 holds no sample
    static constexpr size_t SystemDataSize = 112;

    bool LinkReady = false;      // the transport initialisation succeeded
    bool AwaitingReply = false;  // a serial reply is awaited
    bool BinaryReply = false;    // ... and it is a length-prefixed block
    bool ReplyStarted = false;   // a chunk of the current serial reply has arrived
    std::string ReplyText;       // the serial reply so far, one character per byte
    std::array<uint8_t, RxBufferSize> RxBuffer{};  // serial payload bytes
    int32_t RxCount = 0;                           // payload bytes stored in RxBuffer
    int32_t RxTotal = 0;      // bytes received for the current reply, prefix included
    double RxExpected = 0;    // payload length announced by a block's prefix
    int32_t SerialTicks = 0;  // reply ticks since the last serial activity
    int32_t UsbTicks = 0;     // reply ticks since the USB reply poll began

    // A block's length prefix may arrive split over several chunks.
    std::array<uint8_t, 4> RxPrefix{};
    int32_t RxPrefixCount = 0;
    // The current serial reply can never be stored whole (longer than RxBuffer, or announced
    // so); it ended at once and is not to be used.
    bool ReplyRefused = false;

    // Destinations of the block readers: waveform bytes at indices 1.., and the system block.
    std::array<int32_t, RawSamplesSize> RawSamples{};
    std::array<uint8_t, SystemDataSize> SystemDataRecord{};
};

}  // namespace tracebay::link
