#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <thread>

#include "link/CommandChannel.h"
#include "link/SerialTransport.h"
#include "platform/QtHost.h"
#include "platform/QtSerialPortControl.h"
#include "tests/support/PseudoTerminal.h"

namespace tracebay::link {
namespace {

using namespace std::chrono_literals;

// The serial transport through a real QSerialPort on a pseudo-terminal, with a small scripted
// instrument on the far end.
class SerialOverPty : public ::testing::Test {
protected:
    void SetUp() override {
        serial.settings().DevicePath = pty.devicePath();
        serial.settings().BaudRate = "38400";
        ASSERT_FALSE(serial.open());
        ASSERT_TRUE(port.PortOpen());
    }

    void TearDown() override {
        if (peer.joinable()) peer.join();
    }

    // The instrument answers the next command line with `replies`, 30 ms apart.
    void answerNextCommand(std::vector<std::string> replies) {
        peer = std::thread([this, replies] {
            command = pty.readLine();
            for (const auto& reply : replies) {
                std::this_thread::sleep_for(30ms);
                pty.write(reply);
            }
        });
    }

    testing::PseudoTerminal pty;
    platform::QtHost host;
    platform::QtSerialPortControl port;
    SerialTransport serial{host, port};
    CommandChannel channel{host, serial};
    std::thread peer;
    std::string command;
};

TEST_F(SerialOverPty, TextQueryComesBackWithoutItsLineFeed) {
    answerNextCommand({"KAVLO TECHNOLOGIES,QM11", "02D,SN0001,01.01.01\n"});
    EXPECT_EQ(channel.QueryCommand("*IDN?"), "KAVLO TECHNOLOGIES,QM1102D,SN0001,01.01.01");
    peer.join();
    EXPECT_EQ(command, "*IDN?\n");
}

TEST_F(SerialOverPty, BinaryBlockArrivesWhole) {
    std::string payload;
    for (int i = 0; i < 600; ++i) payload += static_cast<char>(26 + i % 200);
    const std::string whole = std::string("\x58\x02\x00\x00", 4) + payload;
    answerNextCommand({whole.substr(0, 2), whole.substr(2, 250), whole.substr(252)});
    channel.SendCommand(":WAVEFORM:DATA? CHANNEL1");
    const auto block = channel.ReadBlock(6200);
    ASSERT_TRUE(block.ok());
    EXPECT_EQ(std::string(block.value.begin(), block.value.end()), payload);
}

// The late bytes sit in the driver, not yet read by the port, when the query goes out.
TEST_F(SerialOverPty, BytesWaitingAtTheSendAreDropped) {
    pty.write("EDGE\n");
    std::this_thread::sleep_for(50ms);
    answerNextCommand({"ON\n"});
    EXPECT_EQ(channel.QueryCommand(":CHANNEL1:DISPLAY?"), "ON");
}

TEST_F(SerialOverPty, PortAnotherProgramHoldsIsBusy) {
    platform::QtSerialPortControl other;
    other.setDevicePath(pty.devicePath());
    const auto status = other.setPortOpen(true);
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.error, pty.devicePath() +
                                ": the port is busy: another program has it open. Close that "
                                "program and connect again.");
}

TEST_F(SerialOverPty, ClosedFarEndClosesThePortWithOneEvent) {
    int lostEvents = 0;
    int events = 0;
    port.setOnComm([&] {
        ++events;
        if (port.CommEvent() == platform::SerialPortControl::ComEvPortLost) ++lostEvents;
    });
    pty.closeFarEnd();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 500) host.processEvents();
    EXPECT_EQ(lostEvents, 1);
    EXPECT_LE(events, 2);
    EXPECT_FALSE(port.PortOpen());
}

}  // namespace
}  // namespace tracebay::link
