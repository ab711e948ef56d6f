// The libusb backend against an emulated USB Test and Measurement device: umockdev stands in
// for sysfs, udev and the usbfs device node, and the simulated instrument answers the transfers.

#include <dlfcn.h>
#include <libusb.h>
#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <umockdev.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "sim/UsbtmcDevice.h"
#include "usblink/KavloUsbLink.h"
#include "usblink/LibusbDeviceAccess.h"
#include "usblink/UsbLink.h"

namespace usblink {
namespace {

using tracebay::sim::Faults;
using tracebay::sim::Instrument;
using tracebay::sim::UsbtmcDevice;

constexpr uint8_t BulkOut = 0x01;
constexpr uint8_t BulkIn = 0x82;

// Device, configuration, interface and endpoint descriptors as sysfs gives them.
std::vector<uint8_t> descriptors(uint8_t interfaceClass, uint8_t interfaceSubclass) {
    return {
        18,
        1,
        0x00,
        0x02,
        0,
        0,
        0,
        64,
        0x45,
        0x53,
        0x34,
        0x12,
        0x00,
        0x01,
        1,
        2,
        3,
        1,  // device
        9,
        2,
        32,
        0,
        1,
        1,
        0,
        0x80,
        50,  // config
        9,
        4,
        0,
        0,
        2,
        interfaceClass,
        interfaceSubclass,
        1,
        0,  // interface
        7,
        5,
        BulkOut,
        2,
        0x00,
        0x02,
        0,  // bulk out
        7,
        5,
        BulkIn,
        2,
        0x00,
        0x02,
        0,  // bulk in
    };
}

// The usbfs requests of one emulated device, answered by the simulated instrument's USB side.
class EmulatedDevice {
public:
    explicit EmulatedDevice(UsbtmcDevice& device) : device_(device) {}
    ~EmulatedDevice() {
        for (auto* urb : completed_) g_object_unref(urb);
        for (auto* urb : pending_) g_object_unref(urb);
    }

    static gboolean onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
        return static_cast<EmulatedDevice*>(self)->handle(client);
    }

    std::mutex mutex;
    std::string driver = "usbtmc";  // the kernel driver bound to interface 0, if any
    std::string manufacturer = "KAVLO TECHNOLOGIES";  // string 1; none when empty
    bool stallNextRead = false;
    int claimError = 0;  // errno of a claim another process holds
    int claims = 0;
    int releases = 0;
    int detaches = 0;
    int attaches = 0;
    std::vector<unsigned> clearedHalts;
    int discarded = 0;
    int transfers = 0;

private:
    gboolean handle(UMockdevIoctlClient* client) {
        std::lock_guard lock(mutex);
        UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
        const gulong request = umockdev_ioctl_client_get_request(client);
        switch (request) {
            case USBDEVFS_GET_CAPABILITIES: return complete(client, -1, ENOTTY);
            case USBDEVFS_GETDRIVER: return getDriver(client, arg);
            case USBDEVFS_IOCTL: return driverControl(client, arg);
            case USBDEVFS_CLAIMINTERFACE:
                ++claims;
                return complete(client, claimError ? -1 : 0, claimError);
            case USBDEVFS_RELEASEINTERFACE: ++releases; return complete(client, 0, 0);
            case USBDEVFS_CLEAR_HALT: return clearHalt(client, arg);
            case USBDEVFS_SUBMITURB: return submit(client, arg);
            case USBDEVFS_REAPURBNDELAY: return reap(client, arg);
            case USBDEVFS_DISCARDURB: return discard(client, arg);
            default: return FALSE;
        }
    }

    static gboolean complete(UMockdevIoctlClient* client, glong result, int error) {
        umockdev_ioctl_client_complete(client, result, error);
        return TRUE;
    }

    gboolean getDriver(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
        auto* data = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_getdriver), nullptr);
        if (driver.empty()) return complete(client, -1, ENODATA);
        auto* get = reinterpret_cast<usbdevfs_getdriver*>(data->data);
        std::snprintf(get->driver, sizeof get->driver, "%s", driver.c_str());
        return complete(client, 0, 0);
    }

    gboolean driverControl(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
        auto* data = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_ioctl), nullptr);
        const auto* command = reinterpret_cast<usbdevfs_ioctl*>(data->data);
        if (command->ioctl_code == static_cast<int>(USBDEVFS_DISCONNECT)) {
            if (driver.empty()) return complete(client, -1, ENODATA);
            ++detaches;
            driver.clear();
            return complete(client, 0, 0);
        }
        if (command->ioctl_code == static_cast<int>(USBDEVFS_CONNECT)) {
            ++attaches;
            driver = "usbtmc";
            return complete(client, 0, 0);
        }
        return complete(client, -1, EINVAL);
    }

    gboolean clearHalt(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
        auto* data = umockdev_ioctl_data_resolve(arg, 0, sizeof(unsigned), nullptr);
        clearedHalts.push_back(*reinterpret_cast<unsigned*>(data->data));
        return complete(client, 0, 0);
    }

    gboolean submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
        UMockdevIoctlData* data =
            umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
        auto* urb = reinterpret_cast<usbdevfs_urb*>(data->data);
        umockdev_ioctl_data_resolve(data, offsetof(usbdevfs_urb, buffer),
                                    static_cast<gsize>(urb->buffer_length), nullptr);
        g_object_ref(data);
        ++transfers;
        if (urb->type == USBDEVFS_URB_TYPE_CONTROL)
            control(urb);
        else if (!(urb->endpoint & 0x80))
            finish(urb, 0, urb->buffer_length,
                   device_.bulkOut(static_cast<uint8_t*>(urb->buffer),
                                   static_cast<size_t>(urb->buffer_length)));
        else if (stallNextRead) {
            stallNextRead = false;
            urb->status = -EPIPE;
            urb->actual_length = 0;
        } else if (!bulkIn(urb)) {
            pending_.push_back(data);  // nothing to send: the host waits for its time-out
            return complete(client, 0, 0);
        }
        completed_.push_back(data);
        return complete(client, 0, 0);
    }

    bool bulkIn(usbdevfs_urb* urb) {
        const auto packet = device_.bulkIn(static_cast<size_t>(urb->buffer_length));
        if (!packet) return false;
        std::memcpy(urb->buffer, packet->data(), packet->size());
        finish(urb, 0, static_cast<int>(packet->size()), true);
        return true;
    }

    void control(usbdevfs_urb* urb) {
        auto* setup = static_cast<uint8_t*>(urb->buffer);
        const uint16_t length = static_cast<uint16_t>(setup[6] | (setup[7] << 8));
        if (setup[0] == 0x80 && setup[1] == 6 && setup[3] == 3) {
            const std::string text = stringDescriptor(setup[2]);
            const size_t n = std::min<size_t>(text.size(), length);
            std::memcpy(setup + 8, text.data(), n);
            finish(urb, text.empty() ? -EPIPE : 0, static_cast<int>(n), true);
        } else if (setup[0] == 0xC0) {
            const auto answer = device_.vendorRead(setup[1], 0, 0, length);
            if (answer) std::memcpy(setup + 8, answer->data(), answer->size());
            finish(urb, 0, answer ? static_cast<int>(answer->size()) : 0, answer.has_value());
        } else {
            finish(urb, 0, length, true);
        }
    }

    // String 0 lists the languages (US English); string 1 is the manufacturer, in UTF-16.
    std::string stringDescriptor(uint8_t index) const {
        if (manufacturer.empty() || index > 1) return {};
        if (index == 0) return {4, 3, 0x09, 0x04};
        std::string text{static_cast<char>(2 + 2 * manufacturer.size()), 3};
        for (char c : manufacturer) text += {c, 0};
        return text;
    }

    static void finish(usbdevfs_urb* urb, int status, int length, bool ok) {
        urb->status = ok ? status : -EPROTO;
        urb->actual_length = ok ? length : 0;
    }

    gboolean reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
        if (completed_.empty()) return complete(client, -1, EAGAIN);
        UMockdevIoctlData* urb = completed_.front();
        completed_.pop_front();
        // The argument points to the caller's URB pointer; it gets the reaped URB's address.
        UMockdevIoctlData* slot = umockdev_ioctl_data_resolve(arg, 0, sizeof(void*), nullptr);
        umockdev_ioctl_data_set_ptr(slot, 0, urb);
        g_object_unref(urb);
        return complete(client, 0, 0);
    }

    gboolean discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
        // The argument is the address of the URB to discard.
        gulong target = 0;
        std::memcpy(&target, arg->data, sizeof target);
        for (auto it = pending_.begin(); it != pending_.end(); ++it) {
            if ((*it)->client_addr != target) continue;
            auto* urb = reinterpret_cast<usbdevfs_urb*>((*it)->data);
            urb->status = -ENOENT;
            urb->actual_length = 0;
            completed_.push_back(*it);
            pending_.erase(it);
            ++discarded;
            return complete(client, 0, 0);
        }
        return complete(client, -1, EINVAL);
    }

    UsbtmcDevice& device_;
    std::deque<UMockdevIoctlData*> pending_;
    std::deque<UMockdevIoctlData*> completed_;
};

// A bus of emulated devices, and the library's work over the libusb backend.
class EmulatedBus : public ::testing::Test {
protected:
    void SetUp() override {
        testbed_ = umockdev_testbed_new();
        ASSERT_TRUE(umockdev_in_mock_environment()) << "run under umockdev-wrapper";
        std::filesystem::create_directories(records);
    }

    void TearDown() override {
        link.CloseDevice();  // while the devices are still there
        g_object_unref(testbed_);
        std::filesystem::remove_all(records);
    }

    void addDevice(const char* name, int devnum, uint8_t ifClass, uint8_t ifSubclass,
                   EmulatedDevice* handler) {
        const std::string node = "/dev/bus/usb/001/00" + std::to_string(devnum);
        gchar* sysPath = umockdev_testbed_add_device(
            testbed_, "usb", name, nullptr, "busnum", "1\n", "devnum",
            (std::to_string(devnum) + "\n").c_str(), "speed", "480\n", "bConfigurationValue", "1\n",
            "dev", ("189:" + std::to_string(devnum)).c_str(), nullptr, "DEVNAME", node.c_str(),
            "DEVTYPE", "usb_device", "BUSNUM", "001", "DEVNUM",
            ("00" + std::to_string(devnum)).c_str(), nullptr);
        auto bytes = descriptors(ifClass, ifSubclass);
        umockdev_testbed_set_attribute_binary(testbed_, sysPath, "descriptors", bytes.data(),
                                              static_cast<gint>(bytes.size()));
        g_free(sysPath);
        // The testbed records the node but makes no file for it; the emulated ioctls need one.
        gchar* root = umockdev_testbed_get_root_dir(testbed_);
        const std::filesystem::path file = std::string(root) + node;
        g_free(root);
        std::filesystem::create_directories(file.parent_path());
        std::ofstream{file};
        UMockdevIoctlBase* base = umockdev_ioctl_base_new();
        if (handler)
            g_signal_connect(base, "handle-ioctl", G_CALLBACK(EmulatedDevice::onIoctl), handler);
        GError* error = nullptr;
        ASSERT_TRUE(umockdev_testbed_attach_ioctl(testbed_, node.c_str(), base, &error))
            << (error ? error->message : "");
        g_object_unref(base);
    }

    bool write(const std::string& command, uint8_t tag) {
        return link.WriteUSB(1, tag, static_cast<uint32_t>(command.size()),
                             reinterpret_cast<const uint8_t*>(command.data()));
    }

    std::string query(const std::string& command) {
        static uint8_t tag = 0;
        if (!write(command, ++tag)) return "<write failed>";
        uint8_t status[4] = {};
        if (!link.Vendor_Request_Read(9, 0, 0, 4, status) || !status[0]) return "<not ready>";
        if (!link.WriteUSB(2, ++tag, 0, nullptr)) return "<request failed>";
        std::vector<uint8_t> reply(8192);
        uint32_t length = 0;
        if (!link.ReadUSB(&length, reply.data(), static_cast<uint32_t>(reply.size())))
            return "<read failed>";
        return std::string(reply.begin(), reply.begin() + length);
    }

    Instrument instrument;
    Faults faults;
    UsbtmcDevice device{instrument, faults};
    EmulatedDevice emulated{device};
    std::string records = ::testing::TempDir() + "kavlo-records-" + std::to_string(::getpid());
    LibusbDeviceAccess access{records};
    UsbLink link{access};

private:
    UMockdevTestbed* testbed_ = nullptr;
};

class LibusbBackend : public EmulatedBus {
protected:
    void SetUp() override {
        EmulatedBus::SetUp();
        addDevice("1-1", 2, 0xFF, 0x00, nullptr);  // a vendor device without USBTMC comes first
        addDevice("1-2", 3, 0xFE, 0x03, &emulated);
    }
};

TEST_F(LibusbBackend, FindsTheTestAndMeasurementInterfaceAndTalksToIt) {
    EXPECT_EQ(query("*IDN?").substr(0, 26), "KAVLO TECHNOLOGIES,QM1102D");
    EXPECT_GT(emulated.transfers, 0);
}

// Taking the interface re-creates the driver's device node and makes it probe the device: it is
// done once, not for every call, and undone when the device is closed.
TEST_F(LibusbBackend, ClaimsTheInterfaceOnceAcrossCallsAndGivesItBackAtClose) {
    EXPECT_EQ(query("*IDN?").substr(0, 5), "KAVLO");
    EXPECT_EQ(query(":TIMEBASE:FORMAT?"), "Y-T\n");
    ASSERT_TRUE(write(":KEY:RUN", 1));
    EXPECT_FALSE(instrument.state().running);
    {
        std::lock_guard lock(emulated.mutex);
        EXPECT_EQ(emulated.detaches, 1);
        EXPECT_EQ(emulated.claims, 1);
        EXPECT_EQ(emulated.releases, 0);
        EXPECT_EQ(emulated.attaches, 0);
    }
    EXPECT_FALSE(std::filesystem::is_empty(records));
    EXPECT_NE(link.DeviceHandle, InvalidHandle);
    link.CloseDevice();  // as the library does when it is unloaded
    std::lock_guard lock(emulated.mutex);
    EXPECT_EQ(emulated.releases, 1);
    EXPECT_EQ(emulated.attaches, 1);
    EXPECT_EQ(emulated.driver, "usbtmc");
    EXPECT_TRUE(std::filesystem::is_empty(records));
}

TEST_F(LibusbBackend, InterfaceWithoutADriverIsLeftWithout) {
    emulated.driver.clear();
    ASSERT_TRUE(write(":KEY:RUN", 1));
    std::lock_guard lock(emulated.mutex);
    EXPECT_EQ(emulated.detaches, 0);
    EXPECT_EQ(emulated.attaches, 0);
}

// A note and no driver: the process that wrote the note died holding the interface, and it is
// given back; or it is still running and holds it, and then its note is its own to remove.
TEST_F(LibusbBackend, DriverLeftDetachedIsGivenBackOnlyWhenTheProcessThatTookItIsGone) {
    const std::string note = records + "/kavlousblink-bus1-2-if0";
    for (const bool holderAlive : {false, true}) {
        SCOPED_TRACE(holderAlive ? "still held" : "holder gone");
        emulated.driver.clear();
        emulated.claimError = holderAlive ? EBUSY : 0;
        emulated.attaches = 0;
        std::ofstream(note) << "detached\n";
        EXPECT_EQ(write(":KEY:RUN", 1), !holderAlive);
        EXPECT_TRUE(std::filesystem::exists(note));
        link.CloseDevice();
        std::lock_guard lock(emulated.mutex);
        EXPECT_EQ(emulated.attaches, holderAlive ? 0 : 1);
        EXPECT_EQ(std::filesystem::exists(note), holderAlive);
    }
}

// What kept a call from the instrument names its device node, and goes once a call gets through.
TEST_F(LibusbBackend, OpenProblemNamesTheDeviceUntilACallGetsThrough) {
    emulated.driver.clear();
    emulated.claimError = EBUSY;
    EXPECT_FALSE(write(":KEY:RUN", 1));
    EXPECT_EQ(link.OpenProblem, "in use by another program: /dev/bus/usb/001/003");
    emulated.claimError = 0;
    EXPECT_TRUE(write(":KEY:RUN", 2));
    EXPECT_EQ(link.OpenProblem, "");
}

TEST_F(EmulatedBus, BusWithoutATestAndMeasurementInterfaceHasNoInstrument) {
    addDevice("1-1", 2, 0xFF, 0x00, nullptr);
    EXPECT_FALSE(write(":KEY:RUN", 1));
    EXPECT_EQ(link.OpenProblem, "no instrument found");
}

TEST_F(LibusbBackend, LongReplyCrossesPacketsWhole) {
    const std::string reply = query(":WAVEFORM:DATA? CHANNEL1");
    ASSERT_EQ(reply.size(), 815u);
    const std::string expected = instrument.execute(":WAVEFORM:DATA? CHANNEL1")->bytes;
    EXPECT_EQ(reply, expected);
}

TEST_F(LibusbBackend, DeviceThatSendsNothingTimesOutAndTheCallFails) {
    uint8_t buffer[64];
    uint32_t length = 0;
    ASSERT_TRUE(link.WriteUSB(2, 1, 0, nullptr));  // a reply asked for, none under way
    EXPECT_FALSE(link.ReadUSB(&length, buffer));
    std::lock_guard lock(emulated.mutex);
    EXPECT_EQ(emulated.discarded, 1);
    EXPECT_EQ(emulated.attaches, 1);  // given back after the failed call
}

// The device kept more of its reply than the reply announced; what the backend read of it must
// not become the start of the next reply.
TEST_F(LibusbBackend, RestOfAReplyReadInPartIsNotTakenForTheNext) {
    faults.target = ":WAVEFORM:DATA? CHANNEL1";
    faults.prefixDelta = -10;
    EXPECT_EQ(query(":WAVEFORM:DATA? CHANNEL1").size(), 805u);
    EXPECT_EQ(query(":TIMEBASE:FORMAT?"), "Y-T\n");
}

// The library as the program loads it: the interface stays claimed between its calls and is
// given back when the library is unloaded, as at the end of the process.
TEST_F(LibusbBackend, LibraryGivesTheInterfaceBackWhenUnloaded) {
    void* library = ::dlopen(KAVLOUSBLINK_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << ::dlerror();
    const auto write = reinterpret_cast<WriteUSBProc>(::dlsym(library, "WriteUSB"));
    ASSERT_NE(write, nullptr);
    const std::string command = ":KEY:RUN";
    for (uint8_t tag = 1; tag <= 3; ++tag)
        EXPECT_EQ(write(1, tag, static_cast<uint32_t>(command.size()),
                        reinterpret_cast<const uint8_t*>(command.data())),
                  1);
    {
        std::lock_guard lock(emulated.mutex);
        EXPECT_EQ(emulated.claims, 1);
        EXPECT_EQ(emulated.releases, 0);
    }
    ::dlclose(library);
    ASSERT_EQ(::dlopen(KAVLOUSBLINK_LIBRARY, RTLD_NOW | RTLD_NOLOAD), nullptr) << "still loaded";
    std::lock_guard lock(emulated.mutex);
    EXPECT_EQ(emulated.releases, 1);
    EXPECT_EQ(emulated.attaches, 1);
    EXPECT_EQ(emulated.driver, "usbtmc");
}

TEST_F(LibusbBackend, StalledEndpointIsClearedAndTheNextCallWorks) {
    ASSERT_TRUE(write("*IDN?", 1));
    ASSERT_TRUE(link.WriteUSB(2, 2, 0, nullptr));
    emulated.stallNextRead = true;
    uint8_t buffer[64];
    uint32_t length = 0;
    EXPECT_FALSE(link.ReadUSB(&length, buffer));
    {
        std::lock_guard lock(emulated.mutex);
        EXPECT_EQ(emulated.clearedHalts, std::vector<unsigned>{BulkIn});
    }
    EXPECT_EQ(query(":TIMEBASE:FORMAT?"), "Y-T\n");
}

// The notes that let the next run give back a driver left detached live where only this user
// can write: another user can neither plant one nor point one elsewhere.
TEST(RecordFolder, IsTheUsersRuntimeFolderOrOneOfItsOwnNeverASharedOne) {
    namespace fs = std::filesystem;
    const fs::path top = ::testing::TempDir() + "kavlo-folders-" + std::to_string(::getpid());
    const fs::path runtime = top / "run";
    const fs::path home = top / "home";
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
    const std::string own = (home / ".local/state/KavloUsbLink").string();
    EXPECT_EQ(LibusbDeviceAccess::recordFolder(runtime.c_str(), home.c_str()), runtime.string());
    fs::permissions(runtime, fs::perms::all, fs::perm_options::replace);
    EXPECT_EQ(LibusbDeviceAccess::recordFolder(runtime.c_str(), home.c_str()), own);
    EXPECT_EQ(fs::status(own).permissions(), fs::perms::owner_all);
    EXPECT_EQ(LibusbDeviceAccess::recordFolder("/tmp", home.c_str()), own);
    EXPECT_EQ(LibusbDeviceAccess::recordFolder(nullptr, home.c_str()), own);
    EXPECT_EQ(LibusbDeviceAccess::recordFolder("/tmp", nullptr), "");
    // A link in place of the folder is not followed, and what it points at keeps its mode.
    const fs::path linked = top / "linked";
    const fs::path documents = linked / "Documents";
    fs::create_directories(documents);
    fs::permissions(documents,
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                        fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::replace);
    const fs::perms before = fs::status(documents).permissions();
    fs::create_directories(linked / ".local/state");
    fs::create_directory_symlink(documents, linked / ".local/state/KavloUsbLink");
    EXPECT_EQ(LibusbDeviceAccess::recordFolder(nullptr, linked.c_str()), "");
    EXPECT_EQ(fs::status(documents).permissions(), before);
    fs::remove_all(top);
}

// Another maker's Test and Measurement device (a multimeter) beside the oscilloscope, in
// either socket, and so in either enumeration order.
class TwoInstruments : public EmulatedBus, public ::testing::WithParamInterface<bool> {
protected:
    static constexpr int FirstSocket = 2;  // device numbers
    static constexpr int SecondSocket = 3;

    void SetUp() override {
        EmulatedBus::SetUp();
        meter.manufacturer = "ACME METERS";
        addDevice("1-1", FirstSocket, 0xFE, 0x03, meterInFirstSocket() ? &meter : &emulated);
        addDevice("1-2", SecondSocket, 0xFE, 0x03, meterInFirstSocket() ? &emulated : &meter);
    }

    bool meterInFirstSocket() const { return GetParam(); }

    // Whether libusb lists the meter before the oscilloscope.
    bool meterEnumeratedFirst() const {
        const int meterNumber = meterInFirstSocket() ? FirstSocket : SecondSocket;
        libusb_context* context = nullptr;
        libusb_init(&context);
        libusb_device** list = nullptr;
        const ssize_t count = libusb_get_device_list(context, &list);
        int first = 0;
        for (ssize_t i = 0; i < count && first == 0; ++i) {
            const int number = libusb_get_device_address(list[i]);
            if (number == FirstSocket || number == SecondSocket) first = number;
        }
        libusb_free_device_list(list, 1);
        libusb_exit(context);
        return first == meterNumber;
    }

    Instrument meterInstrument{{"ACME METERS", "DMM-6", "7", "1.0"}};
    UsbtmcDevice meterDevice{meterInstrument, faults};
    EmulatedDevice meter{meterDevice};
};

TEST_P(TwoInstruments, TheMakersInstrumentGetsTheCommands) {
    SCOPED_TRACE(meterEnumeratedFirst() ? "meter enumerated first" : "meter enumerated second");
    EXPECT_EQ(query("*IDN?").substr(0, 26), "KAVLO TECHNOLOGIES,QM1102D");
    EXPECT_TRUE(meterDevice.bulkOutLog.empty());
    std::lock_guard lock(meter.mutex);
    EXPECT_EQ(meter.detaches, 0);
    EXPECT_EQ(meter.claims, 0);
}

// Without a device that names the maker, the first Test and Measurement interface is taken;
// which one that is depends on the socket.
TEST_P(TwoInstruments, WithoutTheMakersNameTheFirstEnumeratedIsTaken) {
    emulated.manufacturer.clear();
    EXPECT_EQ(query("*IDN?").substr(0, 5), meterEnumeratedFirst() ? "ACME " : "KAVLO");
    EXPECT_EQ(meterEnumeratedFirst(), !meterInFirstSocket());
}

INSTANTIATE_TEST_SUITE_P(Sockets, TwoInstruments, ::testing::Bool(), [](const auto& socket) {
    return socket.param ? "MeterInTheFirstSocket" : "MeterInTheSecondSocket";
});

}  // namespace
}  // namespace usblink

// The emulated devices need umockdev's preload library in the process from its start.
int main(int argc, char** argv) {
    const char* preload = std::getenv("LD_PRELOAD");
    if (!preload || !std::strstr(preload, "libumockdev-preload")) {
        std::vector<char*> arguments{const_cast<char*>(UMOCKDEV_WRAPPER)};
        arguments.insert(arguments.end(), argv, argv + argc);
        arguments.push_back(nullptr);
        ::execv(UMOCKDEV_WRAPPER, arguments.data());
        std::perror("umockdev-wrapper");
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
