// The real shared library, loaded by name as the program loads it: a build of it with the
// simulated instrument inside, from a folder only the tests use.

#include <gtest/gtest.h>

#include <cstdlib>

#include "link/CommandChannel.h"
#include "link/LoadedUsbLibrary.h"
#include "link/UsbTransport.h"
#include "platform/LibraryLoader.h"
#include "platform/VirtualHost.h"
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
    std::string text(const Reply<Bytes>& reply) {
        return std::string(reply.value.begin(), reply.value.end());
    }

    platform::VirtualHost host;
    LoadedUsbLibrary library{{SIMULATED_LIBRARY_DIR}};
    UsbTransport usb{host, library};
    CommandChannel channel{host, usb};
};

TEST_F(SimulatedLibrary, QueryComesBackWithItsLineFeed) {
    EXPECT_FALSE(usb.open());
    EXPECT_EQ(channel.QueryCommand("*IDN?").substr(0, 26), "KAVLO TECHNOLOGIES,QM1052D");
    EXPECT_EQ(channel.QueryCommand(":TIMEBASE:FORMAT?"), "Y-T\n");
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(SimulatedLibrary, BlocksComeWhole) {
    channel.SendCommand(":WAVEFORM:DATA? CHANNEL1");
    const auto block = channel.ReadBlock(6200);
    ASSERT_EQ(block.value.size(), 815u);
    EXPECT_EQ(block.value[0], 0);
    EXPECT_GE(block.value[513], 26);  // screen column 150
    EXPECT_LE(block.value[513], 225);
    channel.SendCommand(":SYSTEM:DATA?");
    const auto system = channel.ReadBlock(4096);
    ASSERT_GE(system.value.size(), 112u);
    EXPECT_EQ(system.value[2], 43);  // ScreenEnd 299 = 0x012B
    EXPECT_EQ(system.value[3], 1);
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(SimulatedLibrary, BlockLongerThanTheProgramTakesIsRefused) {
    channel.SendCommand(":WAVEFORM:DATA? CHANNEL2");
    EXPECT_EQ(channel.ReadBlock(6200).error->shortfall(), "7000 bytes, more than 6200");
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].text, "Cann't Read data from USB Device");
    // The link is usable again at once.
    EXPECT_EQ(channel.QueryCommand(":CHANNEL1:DISPLAY?"), "ON\n");
}

// A copy of the library built from the seven original exports only has no read that a device
// cannot overrun: it is refused as a library that cannot be loaded is, named with what it lacks.
TEST(OlderLibrary, IsRefusedAndNamedWithTheMissingExport) {
    platform::VirtualHost host;
    LoadedUsbLibrary library{{SEVEN_EXPORTS_DIR}};
    UsbTransport usb{host, library};
    const auto error = usb.open();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->text(), "Cann't Connect to USB Device\rCannot use library " SEVEN_EXPORTS_DIR
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
