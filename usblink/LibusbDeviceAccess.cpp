#include "usblink/LibusbDeviceAccess.h"

#include <fcntl.h>
#include <libusb.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace usblink {
namespace {

constexpr uint8_t TestAndMeasurementClass = 0xFE;
constexpr uint8_t TestAndMeasurementSubclass = 0x03;
constexpr std::string_view MakerPrefix = "KAVLO";

struct Candidate {
    libusb_device* device;
    int interfaceNumber;
    uint8_t bulkIn;
    uint8_t bulkOut;
    uint16_t inPacketSize;
};

// The USB Test and Measurement interfaces of a device, with their bulk endpoints.
void collectInterfaces(libusb_device* device, std::vector<Candidate>& candidates) {
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != 0 &&
        libusb_get_config_descriptor(device, 0, &config) != 0)
        return;
    for (int i = 0; i < config->bNumInterfaces; ++i) {
        if (config->interface[i].num_altsetting < 1) continue;
        const libusb_interface_descriptor& alt = config->interface[i].altsetting[0];
        if (alt.bInterfaceClass != TestAndMeasurementClass ||
            alt.bInterfaceSubClass != TestAndMeasurementSubclass)
            continue;
        Candidate candidate{device, alt.bInterfaceNumber, 0, 0, 64};
        for (int e = 0; e < alt.bNumEndpoints; ++e) {
            const libusb_endpoint_descriptor& ep = alt.endpoint[e];
            if ((ep.bmAttributes & 0x03) != LIBUSB_TRANSFER_TYPE_BULK) continue;
            if (ep.bEndpointAddress & LIBUSB_ENDPOINT_IN) {
                candidate.bulkIn = ep.bEndpointAddress;
                candidate.inPacketSize = std::max<uint16_t>(ep.wMaxPacketSize, 1);
            } else {
                candidate.bulkOut = ep.bEndpointAddress;
            }
        }
        if (candidate.bulkIn && candidate.bulkOut) candidates.push_back(candidate);
    }
    libusb_free_config_descriptor(config);
}

// The device descriptor's manufacturer string begins with the maker's name. A device that
// cannot be opened to read it does not.
bool madeByKavlo(libusb_device* device) {
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) != 0 || descriptor.iManufacturer == 0)
        return false;
    libusb_device_handle* handle = nullptr;
    if (libusb_open(device, &handle) != 0) return false;
    unsigned char text[256] = {};
    const int length =
        libusb_get_string_descriptor_ascii(handle, descriptor.iManufacturer, text, sizeof text - 1);
    libusb_close(handle);
    return length >= static_cast<int>(MakerPrefix.size()) &&
           std::string_view(reinterpret_cast<const char*>(text), MakerPrefix.size()) == MakerPrefix;
}

// The maker's instruments first: another maker's Test and Measurement device, a multimeter
// plugged in earlier, must not receive the oscilloscope's commands. Otherwise the order stays.
void makersInstrumentsFirst(std::vector<Candidate>& candidates) {
    std::stable_partition(candidates.begin(), candidates.end(),
                          [](const Candidate& c) { return madeByKavlo(c.device); });
}

// Bus, port path and interface: the same for the same socket, whatever the device number.
std::string interfaceKey(libusb_device* device, int interfaceNumber) {
    uint8_t ports[8];
    const int depth = libusb_get_port_numbers(device, ports, sizeof ports);
    std::string key = "bus" + std::to_string(libusb_get_bus_number(device));
    for (int i = 0; i < depth; ++i) key += "-" + std::to_string(ports[i]);
    return key + "-if" + std::to_string(interfaceNumber);
}

// The usbfs node that libusb opens, as a user would look it up.
std::string deviceNode(libusb_device* device) {
    char node[32];
    std::snprintf(node, sizeof node, "/dev/bus/usb/%03u/%03u",
                  static_cast<unsigned>(libusb_get_bus_number(device)),
                  static_cast<unsigned>(libusb_get_device_address(device)));
    return node;
}

bool exists(const std::string& path) { return std::ifstream(path).good(); }

// A folder of this user's own that no other user may write to: a note there can be neither
// planted nor redirected by anybody else.
bool isPrivateFolder(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::geteuid() && (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// Makes the user's own folder at `path` private. Whatever else is there, a link above all, is
// left as it is: its target may be any folder of the user's (their documents).
void closeToOthers(const std::string& path) {
    const int folder = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) return;
    struct stat status {};
    if (::fstat(folder, &status) == 0 && status.st_uid == ::geteuid()) ::fchmod(folder, S_IRWXU);
    ::close(folder);
}

uint8_t requestType(uint32_t code) {
    switch (code) {
        case IoctlClassReadInterface: return 0xA1;
        case IoctlClassWriteInterface: return 0x21;
        case IoctlVendorRead: return 0xC0;
        case IoctlVendorWrite: return 0x40;
        case IoctlClassReadEndpoint: return 0xA2;
        case IoctlClassWriteEndpoint: return 0x22;
        default: return 0;
    }
}

}  // namespace

LibusbDeviceAccess::LibusbDeviceAccess(std::string recordFolder)
    : recordFolder_(std::move(recordFolder)) {}

LibusbDeviceAccess::~LibusbDeviceAccess() { release(); }

std::string LibusbDeviceAccess::defaultRecordFolder() {
    return recordFolder(std::getenv("XDG_RUNTIME_DIR"), std::getenv("HOME"));
}

std::string LibusbDeviceAccess::recordFolder(const char* runtimeFolder, const char* homeFolder) {
    if (runtimeFolder && *runtimeFolder && isPrivateFolder(runtimeFolder)) return runtimeFolder;
    if (!homeFolder || !*homeFolder) return {};
    const std::string own = std::string(homeFolder) + "/.local/state/KavloUsbLink";
    std::error_code ignored;
    std::filesystem::create_directories(own, ignored);
    closeToOthers(own);
    return isPrivateFolder(own) ? own : std::string();
}

std::string LibusbDeviceAccess::problemText(int libusbError, const std::string& deviceNode) {
    switch (libusbError) {
        case LIBUSB_SUCCESS: return {};
        case LIBUSB_ERROR_NOT_FOUND: return noInstrumentFound();
        case LIBUSB_ERROR_ACCESS: return permissionDenied(deviceNode);
        case LIBUSB_ERROR_BUSY: return "in use by another program: " + deviceNode;
        default: return libusb_strerror(libusbError) + (": " + deviceNode);
    }
}

Handle LibusbDeviceAccess::OpenDevice(const Guid&, uint32_t memberIndex, uint32_t& error) {
    release();
    auto open = std::make_unique<OpenInterface>();
    if (const int rc = libusb_init(&open->context); rc != 0) {
        openProblem_ = std::string("libusb: ") + libusb_strerror(rc);
        error = static_cast<uint32_t>(-rc);
        return InvalidHandle;
    }
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(open->context, &list);
    std::vector<Candidate> candidates;
    for (ssize_t i = 0; i < count; ++i) collectInterfaces(list[i], candidates);
    makersInstrumentsFirst(candidates);
    int rc = LIBUSB_ERROR_NOT_FOUND;
    std::string node;
    if (memberIndex < candidates.size()) {
        const Candidate& c = candidates[memberIndex];
        open->interfaceNumber = c.interfaceNumber;
        open->bulkIn = c.bulkIn;
        open->bulkOut = c.bulkOut;
        open->inPacketSize = c.inPacketSize;
        if (!recordFolder_.empty())
            open->record =
                recordFolder_ + "/kavlousblink-" + interfaceKey(c.device, c.interfaceNumber);
        node = deviceNode(c.device);
        rc = libusb_open(c.device, &open->device);
        if (rc == 0) rc = takeInterface(*open);
    }
    openProblem_ = problemText(rc, node);
    if (list) libusb_free_device_list(list, 1);
    open_ = std::move(open);
    if (rc != 0) {
        release();
        error = static_cast<uint32_t>(-rc);
        return InvalidHandle;
    }
    error = 0;
    return OpenHandle;
}

// A note without a driver bound means another process took the interface. Once the claim
// succeeds, that process is gone and the interface is ours to give back; while the claim fails,
// it still holds the interface, and the note stays its own.
int LibusbDeviceAccess::takeInterface(OpenInterface& open) {
    const bool noted = exists(open.record);
    if (libusb_kernel_driver_active(open.device, open.interfaceNumber) == 1) {
        std::ofstream(open.record) << "detached\n";
        open.giveBackToDriver = true;
        if (const int rc = libusb_detach_kernel_driver(open.device, open.interfaceNumber); rc != 0)
            return rc;
    }
    const int rc = libusb_claim_interface(open.device, open.interfaceNumber);
    if (rc == 0 && noted) open.giveBackToDriver = true;
    return rc;
}

void LibusbDeviceAccess::release() {
    if (!open_) return;
    if (open_->device) {
        libusb_release_interface(open_->device, open_->interfaceNumber);
        if (open_->giveBackToDriver) {
            libusb_attach_kernel_driver(open_->device, open_->interfaceNumber);
            std::remove(open_->record.c_str());
        }
        libusb_close(open_->device);
    }
    if (open_->context) libusb_exit(open_->context);
    open_.reset();
}

// A message out starts a new exchange: what was left of a reply read only in part (one shorter
// than its bytes on the wire) must not become the start of the next reply.
void LibusbDeviceAccess::forgetEarlierReply() {
    open_->readAhead.clear();
    open_->transferEnded = false;
}

void LibusbDeviceAccess::closeHandle(Handle handle) {
    if (isOpen(handle)) release();
}

bool LibusbDeviceAccess::writeFile(Handle handle, const uint8_t* data, uint32_t length,
                                   uint32_t& written) {
    written = 0;
    if (!isOpen(handle)) return false;
    forgetEarlierReply();
    int transferred = 0;
    const int rc = libusb_bulk_transfer(open_->device, open_->bulkOut, const_cast<uint8_t*>(data),
                                        static_cast<int>(length), &transferred, BulkTimeoutMs);
    // A halted endpoint is cleared so that the next call starts afresh.
    if (rc == LIBUSB_ERROR_PIPE) libusb_clear_halt(open_->device, open_->bulkOut);
    written = static_cast<uint32_t>(transferred);
    return rc == 0;
}

// Reads as a driver would: whole packets, as many as the read asks for, and no further than
// the end of the device's transfer (a short packet). Bytes of a packet beyond what the read asked
// for are kept for the next read.
bool LibusbDeviceAccess::readFile(Handle handle, uint8_t* data, uint32_t length, uint32_t& read) {
    read = 0;
    if (!isOpen(handle)) return false;
    auto& ahead = open_->readAhead;
    read = std::min<uint32_t>(length, static_cast<uint32_t>(ahead.size()));
    std::copy_n(ahead.begin(), read, data);  // also right for an empty read-ahead without storage
    ahead.erase(ahead.begin(), ahead.begin() + read);
    if (read == length || (read > 0 && open_->transferEnded)) return true;
    const uint32_t packet = open_->inPacketSize;
    const uint32_t wanted = length - read;
    std::vector<uint8_t> buffer(std::max<uint32_t>((wanted + packet - 1) / packet, 1) * packet);
    int transferred = 0;
    const int rc =
        libusb_bulk_transfer(open_->device, open_->bulkIn, buffer.data(),
                             static_cast<int>(buffer.size()), &transferred, BulkTimeoutMs);
    if (rc == LIBUSB_ERROR_PIPE) libusb_clear_halt(open_->device, open_->bulkIn);
    if (rc != 0 && transferred == 0) return read > 0;
    open_->transferEnded = static_cast<size_t>(transferred) < buffer.size();
    const uint32_t taken = std::min<uint32_t>(wanted, static_cast<uint32_t>(transferred));
    std::memcpy(data + read, buffer.data(), taken);
    read += taken;
    ahead.assign(buffer.begin() + taken, buffer.begin() + transferred);
    return true;
}

bool LibusbDeviceAccess::deviceIoControl(Handle handle, uint32_t code, const uint8_t* input,
                                         uint32_t inputLength, uint8_t* output,
                                         uint32_t outputLength, uint32_t& returned) {
    returned = 0;
    const uint8_t type = requestType(code);
    if (!isOpen(handle) || type == 0 || inputLength < 7) return false;
    const auto word = [&](int at) {
        return static_cast<uint16_t>(input[at] | (input[at + 1] << 8));
    };
    const bool read = (type & LIBUSB_ENDPOINT_IN) != 0;
    // Write requests carry no data stage.
    const uint16_t length =
        read ? static_cast<uint16_t>(std::min<uint32_t>(word(5), outputLength)) : 0;
    const int rc = libusb_control_transfer(open_->device, type, input[0], word(1), word(3),
                                           read ? output : nullptr, length, ControlTimeoutMs);
    if (rc < 0) return false;
    returned = static_cast<uint32_t>(rc);
    return true;
}

void LibusbDeviceAccess::messageBox(const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

}  // namespace usblink
