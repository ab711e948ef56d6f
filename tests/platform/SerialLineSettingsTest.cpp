#include "platform/SerialLineSettings.h"

#include <gtest/gtest.h>

namespace tracebay::platform {
namespace {

TEST(SerialLineSettings, ReadsTheFourFields) {
    const auto parsed = parseLineSettings("19200,e,7,2");
    ASSERT_TRUE(parsed.settings);
    EXPECT_EQ(parsed.settings->baud, 19200);
    EXPECT_EQ(parsed.settings->parity, SerialLineSettings::Parity::Even);
    EXPECT_EQ(parsed.settings->dataBits, 7);
    EXPECT_EQ(parsed.settings->stopBits, SerialLineSettings::StopBits::Two);
}

TEST(SerialLineSettings, AcceptsBlanksAroundFieldsAndCapitalLetters) {
    const auto parsed = parseLineSettings(" 9600 ,N, 8 ,1.5");
    ASSERT_TRUE(parsed.settings);
    EXPECT_EQ(parsed.settings->baud, 9600);
    EXPECT_EQ(parsed.settings->parity, SerialLineSettings::Parity::None);
    EXPECT_EQ(parsed.settings->stopBits, SerialLineSettings::StopBits::OneAndHalf);
}

TEST(SerialLineSettings, BaudRateRunsFrom110To4000000) {
    EXPECT_EQ(parseLineSettings("110,n,8,1").settings->baud, 110);
    EXPECT_EQ(parseLineSettings("4000000,n,8,1").settings->baud, 4000000);
    EXPECT_EQ(baudRateFromText(" 38400"), 38400);
    for (const char* refused : {"1", "109", "4000001", "9600.5", ""})
        EXPECT_EQ(baudRateFromText(refused), std::nullopt) << refused;
}

class InvalidLineSettings : public ::testing::TestWithParam<const char*> {};

TEST_P(InvalidLineSettings, AreRefusedWithTheReason) {
    const auto parsed = parseLineSettings(GetParam());
    EXPECT_FALSE(parsed.settings);
    EXPECT_NE(parsed.error.find("Invalid port settings"), std::string::npos) << parsed.error;
}

INSTANTIATE_TEST_SUITE_P(Texts, InvalidLineSettings,
                         ::testing::Values("", "9600", "9600,n,8", "9600,n,8,1,1", "abc,n,8,1",
                                           "0,n,8,1", "-300,n,8,1", "96x0,n,8,1", "9600,x,8,1",
                                           "9600,n,9,1", "9600,n,4,1", "9600,n,8,3", "9600,nn,8,1",
                                           "1,n,8,1", "4000001,n,8,1"));

TEST(PortDeviceName, ConfiguredPathWins) {
    EXPECT_EQ(portDeviceName(3, "/dev/ttyUSB0"), "/dev/ttyUSB0");
}

TEST(PortDeviceName, NumberNamesThePlatformPort) {
#ifdef _WIN32
    EXPECT_EQ(portDeviceName(1, ""), "COM1");
    EXPECT_EQ(portDeviceName(2, ""), "COM2");
#else
    EXPECT_EQ(portDeviceName(1, ""), "/dev/ttyS0");
    EXPECT_EQ(portDeviceName(2, ""), "/dev/ttyS1");
#endif
}

}  // namespace
}  // namespace tracebay::platform
