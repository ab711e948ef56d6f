#include "usblink/SimulatedDeviceAccess.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace usblink {
namespace {

constexpr uint32_t ErrorAccessDenied = 5;
constexpr uint32_t ErrorNoMoreItems = 259;

}  // namespace

Handle SimulatedDeviceAccess::OpenDevice(const Guid&, uint32_t memberIndex, uint32_t& error) {
    if (memberIndex != 0 || !device_.present()) {
        openProblem_ = noInstrumentFound();
        error = ErrorNoMoreItems;
        return InvalidHandle;
    }
    if (denied) {
        openProblem_ = permissionDenied(DeviceNode);
        error = ErrorAccessDenied;
        return InvalidHandle;
    }
    openProblem_.clear();
    ++opens;
    error = 0;
    return OpenHandle;
}

void SimulatedDeviceAccess::closeHandle(Handle) { ++closes; }

bool SimulatedDeviceAccess::writeFile(Handle handle, const uint8_t* data, uint32_t length,
                                      uint32_t& written) {
    written = 0;
    if (!valid(handle) || !device_.bulkOut(data, length)) return false;
    written = length;
    return true;
}

bool SimulatedDeviceAccess::readFile(Handle handle, uint8_t* data, uint32_t length,
                                     uint32_t& read) {
    read = 0;
    if (!valid(handle)) return false;
    const auto packet = device_.bulkIn(length);
    if (!packet) return false;  // nothing came before the time-out
    read = static_cast<uint32_t>(packet->size());
    std::memcpy(data, packet->data(), packet->size());
    return true;
}

bool SimulatedDeviceAccess::deviceIoControl(Handle handle, uint32_t code, const uint8_t* input,
                                            uint32_t, uint8_t* output, uint32_t outputLength,
                                            uint32_t& returned) {
    returned = 0;
    if (!valid(handle)) return false;
    const uint8_t request = input[0];
    const auto word = [&](int at) {
        return static_cast<uint16_t>(input[at] | (input[at + 1] << 8));
    };
    const uint16_t length = word(5);
    if (code == IoctlVendorRead) {
        const auto answer = device_.vendorRead(request, word(1), word(3), length);
        if (!answer) return false;
        returned = static_cast<uint32_t>(std::min<size_t>(answer->size(), outputLength));
        std::memcpy(output, answer->data(), returned);
        return true;
    }
    if (code == IoctlClassReadInterface || code == IoctlClassReadEndpoint) {
        returned = std::min<uint32_t>(length, outputLength);
        std::memset(output, 0, returned);
        return true;
    }
    return code == IoctlVendorWrite || code == IoctlClassWriteInterface ||
           code == IoctlClassWriteEndpoint;
}

void SimulatedDeviceAccess::messageBox(const char* text, const char* caption) {
    messages.push_back(std::string(caption) + ": " + text);
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

}  // namespace usblink
