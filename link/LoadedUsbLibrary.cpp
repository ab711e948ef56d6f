#include "link/LoadedUsbLibrary.h"

#include <algorithm>
#include <iostream>

#include "usblink/KavloUsbLink.h"

namespace tracebay::link {

LoadedUsbLibrary::LoadedUsbLibrary(std::vector<std::string> folders)
    : loader_(LibraryName, std::move(folders), KAVLOUSBLINK_SOVERSION) {}

std::string LoadedUsbLibrary::loadFailure() const { return loader_.failure(); }

bool LoadedUsbLibrary::WriteUSB(uint8_t messageId, uint8_t tag, uint32_t transferSize,
                                const uint8_t* data) {
    const auto write = function<WriteUSBProc>("WriteUSB");
    return write && write(messageId, tag, transferSize, data) != 0;
}

bool LoadedUsbLibrary::ReadUSB(uint32_t& length, uint8_t* destination, uint32_t capacity) {
    if (const auto read = function<ReadUSBBoundedProc>("ReadUSBBounded"))
        return read(&length, destination, capacity) != 0;
    return readWithoutBound(length, destination, capacity);
}

// That ReadUSB writes as many bytes as the device announces; the margin takes a reply somewhat
// longer than any the program accepts, which is then refused as the bounded read refuses it.
bool LoadedUsbLibrary::readWithoutBound(uint32_t& length, uint8_t* destination, uint32_t capacity) {
    const auto read = function<ReadUSBProc>("ReadUSB");
    if (!read) return false;
    if (!fallbackNoted_) {
        fallbackNoted_ = true;
        std::cerr << LibraryName << " has no ReadUSBBounded; replies are read with ReadUSB into "
                  << FallbackBufferSize << " bytes" << std::endl;
    }
    std::vector<uint8_t> buffer(FallbackBufferSize);
    uint32_t announced = 0;
    if (read(&announced, buffer.data()) == 0) return false;
    length = announced;
    if (announced > capacity) return false;
    std::copy_n(buffer.begin(), announced, destination);
    return true;
}

bool LoadedUsbLibrary::Vendor_Request_Read(uint8_t request, uint16_t value, uint16_t index,
                                           uint16_t length, uint8_t* destination) {
    const auto read = function<VendorRequestReadProc>("Vendor_Request_Read");
    return read && read(request, value, index, length, destination) != 0;
}

}  // namespace tracebay::link
