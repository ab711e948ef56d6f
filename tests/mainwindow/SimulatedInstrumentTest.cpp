#include "mainwindow/SimulatedInstrument.h"

#include <gtest/gtest.h>

#include "acquisition/Connection.h"
#include "link/CommandChannel.h"
#include "link/SerialTransport.h"
#include "platform/QtHost.h"
#include "platform/QtSerialPortControl.h"

namespace tracebay::mainwindow {
namespace {

TEST(SimulatedInstrument, AnswersOnItsOwnTerminalUntilItIsGone) {
    platform::QtHost host;
    platform::QtSerialPortControl port;
    link::SerialTransport serial(host, port);
    link::CommandChannel channel(host, serial);
    acquisition::Connection connection(channel);
    {
        SimulatedInstrument simulator("logic");
        serial.settings().DevicePath = simulator.devicePath();
        EXPECT_EQ(connection.ConnectScope(), acquisition::ConnectOutcome::Connected);
        EXPECT_TRUE(connection.HasLogicAnalyzer);
        EXPECT_EQ(channel.QueryCommand(":LA:DISPLAY?"), "ON") << "the preset chosen";
    }
    serial.close();
    EXPECT_THROW(SimulatedInstrument("no-such-preset"), std::runtime_error);
}

}  // namespace
}  // namespace tracebay::mainwindow
