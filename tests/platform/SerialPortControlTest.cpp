#include "platform/SerialPortControl.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tracebay::platform
