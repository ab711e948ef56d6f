#include "platform/SerialPortControl.h"

#include <grp.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/PortRefusal.h"
#include "tests/support/FakeSerialPort.h"

namespace tracebay::platform {
namespace {

using testing::FakeSerialPort;

TEST(SerialPortControl, InvalidSettingsFailPortOpenWithADescription) {
    FakeSerialPort port;
    EXPECT_TRUE(port.setSettings("fast,n,8,1").ok);
    const auto status = port.setPortOpen(true);
    EXPECT_FALSE(status.ok);
    EXPECT_NE(status.error.find("fast,n,8,1"), std::string::npos) << status.error;
    EXPECT_FALSE(port.PortOpen());
    EXPECT_EQ(port.opens, 0);
}

TEST(SerialPortControl, OpensTheDeviceNamedByPortOrPath) {
    FakeSerialPort port;
    ASSERT_TRUE(port.setCommPort(2).ok);
    ASSERT_TRUE(port.setPortOpen(true).ok);
    EXPECT_EQ(port.openedName, portDeviceName(2, ""));
    ASSERT_TRUE(port.setPortOpen(false).ok);
    port.setDevicePath("/dev/ttyACM0");
    ASSERT_TRUE(port.setPortOpen(true).ok);
    EXPECT_EQ(port.openedName, "/dev/ttyACM0");
}

TEST(SerialPortControl, PortNumberCannotChangeWhileOpen) {
    FakeSerialPort port;
    ASSERT_TRUE(port.setPortOpen(true).ok);
    EXPECT_FALSE(port.setCommPort(3).ok);
    EXPECT_EQ(port.CommPort(), 1);
    EXPECT_FALSE(port.setPortOpen(true).ok);
}

TEST(SerialPortControl, OutputNeedsAnOpenPort) {
    FakeSerialPort port;
    EXPECT_FALSE(port.Output("X").ok);
    EXPECT_TRUE(port.written.empty());
}

TEST(SerialPortControl, LostDeviceClosesThePortAndReportsOnce) {
    FakeSerialPort port;
    int events = 0;
    port.setOnComm([&] { ++events; });
    ASSERT_TRUE(port.setPortOpen(true).ok);
    port.unplug();
    port.unplug();
    EXPECT_FALSE(port.PortOpen());
    EXPECT_EQ(events, 1);
    EXPECT_EQ(port.CommEvent(), SerialPortControl::ComEvPortLost);
    EXPECT_EQ(port.closes, 1);
}

TEST(PortRefusal, SaysWhatToDoAboutIt) {
    EXPECT_EQ(portRefusalText("/dev/ttyUSB0", PortRefusal::Busy, "dialout"),
              "/dev/ttyUSB0: the port is busy: another program has it open. Close that program "
              "and connect again.");
    EXPECT_EQ(portRefusalText("/dev/ttyUSB0", PortRefusal::Forbidden, "uucp"),
              "/dev/ttyUSB0: permission denied: this user may not open the port. Add the user to "
              "the group uucp (sudo usermod -aG uucp $USER), then log out and in again; see the "
              "README.");
}

// Root may open anything, so only another user sees the port forbidden.
TEST(PortRefusal, TellsAForbiddenDeviceFromABusyOne) {
    const std::string device = ::testing::TempDir() + "tracebay-port-" + std::to_string(::getpid());
    std::ofstream{device};
    EXPECT_EQ(portRefusal(device), PortRefusal::Busy);
    EXPECT_EQ(deviceGroup(device), ::getgrgid(::getegid())->gr_name);
    std::filesystem::permissions(device, std::filesystem::perms::none);
    if (::geteuid() != 0) {
        EXPECT_EQ(portRefusal(device), PortRefusal::Forbidden);
    }
    std::filesystem::remove(device);
    EXPECT_EQ(deviceGroup(device), "dialout");
}

}  // namespace
}  // namespace tracebay::platform
