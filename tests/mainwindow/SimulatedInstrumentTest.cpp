#include "mainwindow/SimulatedInstrument.h"

#include <gtest/gtest.h>

#include "acquisition/Connection.h"
#include "link/CommandChannel.h"
#include "platform/QtHost.h"
#include "platform/QtSerialPortControl.h"
#include "tests/acquisition/ProgramCore.h"
#include "tests/support/FakeUsbLibrary.h"

namespace tracebay::mainwindow {
namespace {

TEST(SimulatedInstrument, AnswersOnItsOwnTerminalUntilItIsGone) {
    platform::QtHost host;
    platform::QtSerialPortControl port;
    testing::FakeUsbLibrary usb;
    link::CommandChannel channel(host, port, usb);
    acquisition::RecordingIndicator indicator;
    acquisition::Connection connection(channel, indicator);
    channel.IoType = link::CommandChannel::IoTypeSerial;
    {
        SimulatedInstrument simulator("logic");
        channel.serial().settings().DevicePath = simulator.devicePath();
        EXPECT_EQ(connection.ConnectScope(), acquisition::ConnectOutcome::Connected);
        EXPECT_TRUE(connection.HasLogicAnalyzer);
        EXPECT_EQ(channel.QueryCommand(":LA:DISPLAY?"), "ON") << "the preset chosen";
    }
    channel.serial().closePort();
    EXPECT_THROW(SimulatedInstrument("no-such-preset"), std::runtime_error);
}

}  // namespace
}  // namespace tracebay::mainwindow
