// The real shared library, loaded by name as the program loads it: a build of it with the
// simulated instrument inside, from a folder only the tests use.

#include <gtest/gtest.h>

#include <cstdlib>

#include "link/CommandChannel.h"
#include "link/LoadedUsbLibrary.h"
#include "platform/LibraryLoader.h"
#include "platform/VirtualHost.h"
#include "tests/support/FakeSerialPort.h"
#include "usblink/KavloUsbLink.h"

namespace tracebay::link {
namespace {

// The library reads its environment once, when it is first called: the instrument is set up
// before any test runs, for all of them.
class SimulatedInstrumentSetup : public ::testing::Environment {
public:
    void SetUp() override {
        ::setenv("KAVLO_SIM_MODEL", "QM1052D", 1);
        ::setenv("KAVLO_SIM_FAULTS", "oversize=7000,target=CHANNEL2", 1);
    }
};

[[maybe_unused]] const auto* const setup =
    ::testing::AddGlobalTestEnvironment(new SimulatedInstrumentSetup);

class SimulatedLibrary : public ::testing::Test {
protected:
    platform::VirtualHost host;
    testing::FakeSerialPort port;
    LoadedUsbLibrary library{{SIMULATED_LIBRARY_DIR}};
    CommandChannel channel{host, port, library};
};

TEST_F(SimulatedLibrary, QueryComesBackWithItsLineFeed) {
    channel.usb().UsbOpen();
    EXPECT_TRUE(channel.state().LinkReady);
    EXPECT_EQ(channel.QueryCommand("*IDN?").substr(0, 26), "KAVLO TECHNOLOGIES,QM1052D");
    EXPECT_EQ(channel.QueryCommand(":TIMEBASE:FORMAT?"), "Y-T\n");
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(SimulatedLibrary, WaveformBlockFillsRawSamples) {
    channel.SendCommand(":WAVEFORM:DATA? CHANNEL1");
    int32_t length = 0;
    const std::string block = channel.usb().UsbReadBlock(length);
    EXPECT_EQ(length, 815);
    EXPECT_EQ(block.size(), 815u);
    const auto& raw = channel.state().RawSamples;
    EXPECT_EQ(raw[1], 0);
    EXPECT_GE(raw[514], 26);  // screen column 150
    EXPECT_LE(raw[514], 225);
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(SimulatedLibrary, SystemBlockLandsInTheRecord) {
    channel.SendCommand(":SYSTEM:DATA?");
    channel.usb().UsbReadSystemBlock();
    EXPECT_EQ(channel.state().SystemDataRecord[2], 43);  // ScreenEnd 299 = 0x012B
    EXPECT_EQ(channel.state().SystemDataRecord[3], 1);
}

TEST_F(SimulatedLibrary, BlockLongerThanTheProgramTakesIsRefused) {
    channel.SendCommand(":WAVEFORM:DATA? CHANNEL2");
    int32_t length = -1;
    EXPECT_EQ(channel.usb().UsbReadBlock(length), "");
    EXPECT_EQ(length, -1);
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].text, "Cann't Read data from USB Device");
    // The link is usable again at once.
    EXPECT_EQ(channel.QueryCommand(":CHANNEL1:DISPLAY?"), "ON\n");
}

// A copy of the library built from the seven original exports only has no read that a device
// cannot overrun: it is refused as a library that cannot be loaded is, named with what it lacks.
TEST(OlderLibrary, IsRefusedAndNamedWithTheMissingExport) {
    platform::VirtualHost host;
    testing::FakeSerialPort port;
    LoadedUsbLibrary library{{SEVEN_EXPORTS_DIR}};
    CommandChannel channel{host, port, library};
    channel.usb().UsbOpen();
    EXPECT_FALSE(channel.state().LinkReady);
    EXPECT_EQ(channel.QueryCommand("*IDN?"), "");
    ASSERT_FALSE(host.messages().empty());
    EXPECT_EQ(host.messages()[0].text,
              "Cann't Connect to USB Device\rCannot use library " SEVEN_EXPORTS_DIR
              "/libKavloUsbLink.so.1: it has no ReadUSBBounded");
    platform::LibraryLoader loader("KavloUsbLink", {SEVEN_EXPORTS_DIR});
    EXPECT_NE(loader.resolve("ReadUSB"), nullptr) << "the file itself loads";
}

TEST(SimulatedLibraryExports, ClearFeatureAlwaysFails) {
    platform::LibraryLoader loader("KavloUsbLink", {SIMULATED_LIBRARY_DIR});
    using ClearFeature = KavloBool(KAVLO_CALL*)(uint32_t, uint32_t, uint32_t, uint32_t);
    const auto clear = reinterpret_cast<ClearFeature>(loader.resolve("USB_Clear_Feature"));
    ASSERT_NE(clear, nullptr);
    EXPECT_EQ(clear(1, 2, 3, 4), 0);
    EXPECT_EQ(loader.resolve("fillBulkOutHeader"), nullptr);  // nothing else leaves it
}

}  // namespace
}  // namespace tracebay::link
