#include "usblink/UsbLink.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace usblink {
namespace {

constexpr uint8_t DeviceDependentOut = 1;
constexpr uint8_t RequestDeviceDependentIn = 2;
constexpr uint8_t VendorSpecificOut = 126;
constexpr uint8_t RequestVendorSpecificIn = 127;
constexpr uint8_t EndOfMessage = 0x01;
// The instrument answers a request for a reply with at most this many bytes.
constexpr uint32_t RequestedReplySize = 64;

void putLittleEndian32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t littleEndian32(const uint8_t* at) {
    return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

std::unique_ptr<uint8_t[]> transferBuffer() {
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[UsbLink::ChunkSize]);
}

}  // namespace

void fillBulkOutHeader(uint8_t* header, uint8_t messageId, uint8_t tag, uint32_t transferSize) {
    std::memset(header, 0, UsbLink::HeaderSize);
    header[0] = messageId;
    header[1] = tag;
    header[2] = static_cast<uint8_t>(~tag);
    switch (messageId) {
        case DeviceDependentOut:
            putLittleEndian32(header + 4, transferSize);
            header[8] = EndOfMessage;
            break;
        case RequestDeviceDependentIn:
            putLittleEndian32(header + 4, RequestedReplySize);
            header[8] = EndOfMessage;
            header[9] = '\n';  // the reply ends with a line feed
            break;
        case VendorSpecificOut:
        case RequestVendorSpecificIn: putLittleEndian32(header + 4, transferSize); break;
        default: break;  // a trigger, or a message ID of the caller's own: nothing more
    }
}

void UsbLink::CloseDevice() {
    if (DeviceHandle == InvalidHandle) return;
    access_.closeHandle(DeviceHandle);
    DeviceHandle = InvalidHandle;
}

bool UsbLink::CloseDeviceTrue() {
    if (!access_.keepsDeviceOpen()) CloseDevice();
    return true;
}

bool UsbLink::CloseDeviceFalse() {
    CloseDevice();
    return false;
}

bool UsbLink::EnsureDeviceOpen() {
    if (DeviceHandle == InvalidHandle) {
        uint32_t error = 0;
        DeviceHandle = access_.OpenDevice(InterfaceClass, 0, error);
    }
    OpenProblem = DeviceHandle == InvalidHandle ? access_.openProblem() : std::string();
    return DeviceHandle != InvalidHandle;
}

bool UsbLink::SendBulkHeader(uint8_t messageId, uint8_t tag, uint32_t transferSize) {
    uint8_t block[16];
    fillBulkOutHeader(block, messageId, tag, transferSize);
    uint32_t written = 0;
    if (!access_.writeFile(DeviceHandle, block, HeaderSize, written)) return CloseDeviceFalse();
    return true;
}

bool UsbLink::WriteUSB(uint8_t messageId, uint8_t tag, uint32_t transferSize, const uint8_t* data) {
    if (!EnsureDeviceOpen()) return CloseDeviceFalse();
    const auto buffer = transferBuffer();
    if (!buffer) return CloseDeviceFalse();
    if (!SendBulkHeader(messageId, tag, transferSize)) return CloseDeviceFalse();
    uint32_t remaining = transferSize;
    const uint32_t chunks = (transferSize + ChunkSize - 1) / ChunkSize;
    for (uint32_t chunk = 0; chunk < chunks; ++chunk) {
        const uint32_t n = std::min(remaining, ChunkSize);
        std::memcpy(buffer.get(), data + (transferSize - remaining), n);
        uint32_t written = 0;
        if (!access_.writeFile(DeviceHandle, buffer.get(), n, written)) return CloseDeviceFalse();
        remaining -= std::min(written, remaining);
    }
    return CloseDeviceTrue();
}

std::optional<uint32_t> UsbLink::ReadFirstPacket(uint8_t* buffer, uint32_t& payloadLength) {
    uint32_t read = 0;
    // A packet too short for its header is as much a failed read as no packet at all.
    if (!access_.readFile(DeviceHandle, buffer, FirstPacketSize, read) || read < HeaderSize) {
        CloseDevice();
        return std::nullopt;
    }
    if (buffer[0] == RequestDeviceDependentIn || buffer[0] == RequestVendorSpecificIn) {
        payloadLength = littleEndian32(buffer + 4);
    } else {
        access_.messageBox(
            "Transfer protocols erros ouccrs,please send Initiate_abort_bulk_in request!",
            "Kavlo Device");
        payloadLength = 0;
    }
    return read - HeaderSize;
}

bool UsbLink::overdue(std::chrono::steady_clock::time_point started, uint64_t bytes) const {
    constexpr auto Deadline = std::chrono::seconds(10);
    constexpr uint64_t BusBytesPerSecond = 12'000'000 / 8;
    return access_.now() - started >
           Deadline + std::chrono::microseconds(bytes * 1'000'000 / BusBytesPerSecond);
}

bool UsbLink::ReadUSB(uint32_t* length, uint8_t* destination, std::optional<uint32_t> capacity) {
    const auto started = access_.now();
    uint32_t position = 0;
    if (!EnsureDeviceOpen()) return CloseDeviceFalse();
    const auto buffer = transferBuffer();
    if (!buffer) return CloseDeviceFalse();
    uint32_t payloadLength = 0;
    const auto inFirst = ReadFirstPacket(buffer.get(), payloadLength);
    if (!inFirst) return false;
    // An empty reply leaves the device open for the next call.
    if (payloadLength == 0) return false;
    *length = payloadLength;
    if (capacity && payloadLength > *capacity) {
        DiscardReply(buffer.get(), payloadLength - std::min(*inFirst, payloadLength), started);
        return CloseDeviceFalse();
    }
    const uint32_t copied = std::min(*inFirst, payloadLength);
    std::memcpy(destination, buffer.get() + HeaderSize, copied);
    position += copied;
    uint32_t remaining = payloadLength - copied;
    const uint32_t chunks = (remaining + ChunkSize - 1) / ChunkSize;
    for (uint32_t chunk = 0; chunk < chunks; ++chunk) {
        uint32_t read = 0;
        if (overdue(started, position) ||
            !access_.readFile(DeviceHandle, buffer.get(), std::min(remaining, ChunkSize), read)) {
            CloseDevice();
            return false;
        }
        const uint32_t n = std::min(remaining, read);
        std::memcpy(destination + position, buffer.get(), n);
        position += n;
        remaining -= n;
    }
    // A bounded read hands over whole replies only.
    if (capacity && remaining > 0) return CloseDeviceFalse();
    return CloseDeviceTrue();
}

// Reads and drops the rest of a reply, so that the next reply starts with its own header.
void UsbLink::DiscardReply(uint8_t* buffer, uint32_t remaining,
                           std::chrono::steady_clock::time_point started) {
    for (uint64_t dropped = 0; remaining > 0 && !overdue(started, dropped);) {
        uint32_t read = 0;
        if (!access_.readFile(DeviceHandle, buffer, std::min(remaining, ChunkSize), read) ||
            read == 0)
            return;
        remaining -= std::min(read, remaining);
        dropped += read;
    }
}

bool UsbLink::ioControl(uint32_t code, uint8_t request, uint16_t value, uint16_t index,
                        uint16_t length, uint8_t* output, uint32_t& returned) {
    const auto input = std::make_unique<uint8_t[]>(ControlBufferSize);
    input[0] = request;
    input[1] = static_cast<uint8_t>(value);
    input[2] = static_cast<uint8_t>(value >> 8);
    input[3] = static_cast<uint8_t>(index);
    input[4] = static_cast<uint8_t>(index >> 8);
    input[5] = static_cast<uint8_t>(length);
    input[6] = static_cast<uint8_t>(length >> 8);
    if (!EnsureDeviceOpen()) return false;
    return access_.deviceIoControl(DeviceHandle, code, input.get(), ControlBufferSize, output,
                                   ControlBufferSize, returned);
}

bool UsbLink::ControlWrite(uint32_t code, uint8_t request, uint16_t value, uint16_t index,
                           uint16_t length) {
    const auto output = std::make_unique<uint8_t[]>(ControlBufferSize);
    uint32_t returned = 0;
    if (!ioControl(code, request, value, index, length, output.get(), returned))
        return CloseDeviceFalse();
    return CloseDeviceTrue();
}

// The caller's buffer is sized for the request's length: never more is copied into it.
bool UsbLink::ControlRead(uint32_t code, uint8_t request, uint16_t value, uint16_t index,
                          uint16_t length, uint8_t* destination) {
    const auto output = std::make_unique<uint8_t[]>(ControlBufferSize);
    uint32_t returned = 0;
    if (!ioControl(code, request, value, index, length, output.get(), returned))
        return CloseDeviceFalse();
    const uint32_t n = std::min({returned, static_cast<uint32_t>(length), ControlBufferSize});
    std::memcpy(destination, output.get(), n);
    return CloseDeviceTrue();
}

bool UsbLink::Class_Request_Write(uint8_t request, uint16_t value, uint16_t index, uint16_t length,
                                  uint8_t selector) {
    return ControlWrite(selector == 1 ? IoctlClassWriteInterface : IoctlClassWriteEndpoint, request,
                        value, index, length);
}

bool UsbLink::Class_Request_Read(uint8_t request, uint16_t value, uint16_t index, uint16_t length,
                                 uint8_t* destination, uint8_t selector) {
    return ControlRead(selector == 1 ? IoctlClassReadInterface : IoctlClassReadEndpoint, request,
                       value, index, length, destination);
}

bool UsbLink::Vendor_Request_Write(uint8_t request, uint16_t value, uint16_t index,
                                   uint16_t length) {
    return ControlWrite(IoctlVendorWrite, request, value, index, length);
}

bool UsbLink::Vendor_Request_Read(uint8_t request, uint16_t value, uint16_t index, uint16_t length,
                                  uint8_t* destination) {
    return ControlRead(IoctlVendorRead, request, value, index, length, destination);
}

}  // namespace usblink
