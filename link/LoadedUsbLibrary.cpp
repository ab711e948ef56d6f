#include "link/LoadedUsbLibrary.h"

#include <algorithm>

#include "usblink/KavloUsbLink.h"

namespace tracebay::link {

LoadedUsbLibrary::LoadedUsbLibrary(std::vector<std::string> folders)
    : loader_(LibraryName, std::move(folders), KAVLOUSBLINK_SOVERSION,
              {"WriteUSB", "ReadUSBBounded", "Vendor_Request_Read"}) {}

std::string LoadedUsbLibrary::loadFailure() const { return loader_.failure(); }

std::string LoadedUsbLibrary::openProblem() {
    const auto problem = function<USBOpenProblemProc>("USBOpenProblem");
    if (!problem) return {};
    char text[256];
    const uint32_t length = problem(text, sizeof text);
    return std::string(text, std::min<size_t>(length, sizeof text - 1));
}

bool LoadedUsbLibrary::WriteUSB(uint8_t messageId, uint8_t tag, uint32_t transferSize,
                                const uint8_t* data) {
    const auto write = function<WriteUSBProc>("WriteUSB");
    return write && write(messageId, tag, transferSize, data) != 0;
}

bool LoadedUsbLibrary::ReadUSB(uint32_t& length, uint8_t* destination, uint32_t capacity) {
    const auto read = function<ReadUSBBoundedProc>("ReadUSBBounded");
    return read && read(&length, destination, capacity) != 0;
}

bool LoadedUsbLibrary::Vendor_Request_Read(uint8_t request, uint16_t value, uint16_t index,
                                           uint16_t length, uint8_t* destination) {
    const auto read = function<VendorRequestReadProc>("Vendor_Request_Read");
    return read && read(request, value, index, length, destination) != 0;
}

}  // namespace tracebay::link
