#include "acquisition/Connection.h"

#include <gtest/gtest.h>

#include <deque>

#include "link/SerialTransport.h"
#include "link/UsbTransport.h"
#include "platform/VirtualHost.h"
#include "tests/support/FakeSerialPort.h"
#include "tests/support/FakeUsbLibrary.h"
#include "tests/support/SessionRig.h"

namespace tracebay::acquisition {
namespace {

using testing::SessionRig;
using testing::Transport;

// An instrument that answers "*IDN?" from a script, over a fake serial port.
class ScriptedIdentity : public ::testing::Test {
protected:
    void SetUp() override {
        port.onWrite = [this](const std::string& bytes) {
            if (bytes != "*IDN?\n") return;
            ++identityQueries;
            if (replies.empty()) return;  // silence
            const std::string reply = replies.front();
            if (replies.size() > 1) replies.pop_front();
            host.after(5, [this, reply] { port.deliver(reply + "\n"); });
        };
    }

    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& m : host.messages()) texts.push_back(m.caption + ": " + m.text);
        return texts;
    }

    std::vector<int> pausesOf(int ms) const {
        std::vector<int> found;
        for (int s : host.sleeps())
            if (s == ms) found.push_back(s);
        return found;
    }

    platform::VirtualHost host{1};
    testing::FakeSerialPort port;
    link::SerialTransport serial{host, port};
    link::CommandChannel channel{host, serial};
    Connection connection{channel};
    std::deque<std::string> replies;
    int identityQueries = 0;
};

TEST_F(ScriptedIdentity, SendsMenuOffAndKeyLockBeforeAsking) {
    replies = {"KAVLO TECHNOLOGIES,QM1102D,SN1,01.01.01"};
    EXPECT_EQ(connection.ConnectScope(), ConnectOutcome::Connected);
    EXPECT_EQ(port.written, (std::vector<std::string>{":DISPLAY:MENUDISPLAY OFF\n",
                                                      ":KEY:LOCK:ENABLE\n", "*IDN?\n"}));
    EXPECT_TRUE(connection.ScopeConnected);
    EXPECT_EQ(connection.ScopeModel, "QM1102D");
    EXPECT_TRUE(connection.HasLogicAnalyzer);
    EXPECT_EQ(connection.Maker, "KAVLO TECHNOLOGIES");
    EXPECT_EQ(connection.SerialNumber, "SN1");
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(ScriptedIdentity, SecondAttemptThatMatchesFollowsOnePause) {
    replies = {"garbage", "KAVLO TECHNOLOGIES,QM1102,SN1,01.01.01"};
    EXPECT_EQ(connection.ConnectScope(), ConnectOutcome::Connected);
    EXPECT_EQ(identityQueries, 2);
    EXPECT_EQ(pausesOf(50).size(), 1u);
    EXPECT_FALSE(connection.HasLogicAnalyzer);
}

TEST_F(ScriptedIdentity, ReplyThatNeverMatchesIsAskedThreeTimes) {
    replies = {"ACME INSTRUMENTS,X1,SN,01.00.00"};
    EXPECT_EQ(connection.ConnectScope(), ConnectOutcome::NotFound);
    EXPECT_EQ(identityQueries, 3);
    EXPECT_EQ(pausesOf(50).size(), 3u);
    EXPECT_EQ(messageTexts(),
              std::vector<std::string>{"Connect to Oscilloscope: Device not found"});
    EXPECT_FALSE(connection.ScopeConnected);
}

TEST_F(ScriptedIdentity, SilenceEndsInDeviceNotFoundWithThePortAndRateTried) {
    serial.settings() = {1, " 19200", "/dev/ttyUSB0"};
    EXPECT_EQ(connection.ConnectScope(), ConnectOutcome::NoReply);
    EXPECT_EQ(identityQueries, 3);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{
                                  "Connect to Oscilloscope: Device not found\rNo answer from "
                                  "/dev/ttyUSB0 at 19200 baud: check the cable and the baud rate "
                                  "set on the instrument"});
}

TEST_F(ScriptedIdentity, OtherModelFamilyIsRefusedButRemembered) {
    replies = {"KAVLO TECHNOLOGIES,QM2000D,SN1,01.01.01"};
    EXPECT_EQ(connection.ConnectScope(), ConnectOutcome::NotFound);
    EXPECT_EQ(connection.ScopeModel, "QM2000D");
    EXPECT_TRUE(connection.HasLogicAnalyzer);
}

TEST_F(ScriptedIdentity, OldFirmwareGetsTheThreeLineMessage) {
    replies = {"KAVLO TECHNOLOGIES,QM1102D,SN1,00.04.01.00.02"};
    EXPECT_EQ(connection.ConnectScope(), ConnectOutcome::FirmwareTooOld);
    EXPECT_EQ(connection.ScopeModel, "QM1102D");
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].caption, "TraceBay");
    EXPECT_EQ(host.messages()[0].text,
              "The version of the DSO must be higher than 01.01.01\r"
              "Current Version is 00.04.01.00.02\r"
              "Please contact KAVLO at www.kavlo.example/support");
}

// The version as a USB reply brings it, with its line feed: the message shows it without.
TEST(UsbIdentity, OldFirmwareMessageLeavesTheLineEndOut) {
    platform::VirtualHost host{1};
    testing::FakeUsbLibrary usb;
    link::UsbTransport transport{host, usb};
    link::CommandChannel channel{host, transport};
    Connection connection{channel};
    usb.queueReply("KAVLO TECHNOLOGIES,QM1102,SN1,01.01.00\n");
    EXPECT_EQ(connection.ConnectScope(), ConnectOutcome::FirmwareTooOld);
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_NE(host.messages()[0].text.find("Current Version is 01.01.00\rPlease"),
              std::string::npos)
        << host.messages()[0].text;
}

struct MalformedRow {
    const char* reply;
    const char* model;
};

std::ostream& operator<<(std::ostream& out, const MalformedRow& row) {
    return out << '"' << row.reply << '"';
}

class MalformedIdentity : public ScriptedIdentity,
                          public ::testing::WithParamInterface<MalformedRow> {};

TEST_P(MalformedIdentity, NeverConnectsAndNeverFails) {
    replies = {GetParam().reply};
    EXPECT_NE(connection.ConnectScope(), ConnectOutcome::Connected);
    EXPECT_FALSE(connection.ScopeConnected);
    EXPECT_EQ(connection.ScopeModel, GetParam().model);
    EXPECT_EQ(host.messages().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, MalformedIdentity,
    ::testing::Values(MalformedRow{"KAVLO TECHNOLOGIES", ""},
                      MalformedRow{"KAVLO TECHNOLOGIES,QM1", "KAVLO TECHNOLOGIES"},
                      MalformedRow{"KAVLO TECHNOLOGIES,QM1102D", "KAVLO TECHNOLOGIES"},
                      MalformedRow{"KAVLO TECHNOLOGIES,QM1102D,SN1", "QM1102D"},
                      MalformedRow{"KAVLO TECHNOLOGIES,QM1102D,SN1,", "QM1102D"},
                      MalformedRow{"KAVLO TECHNOLOGIES,QM1102D,SN1,1.1.1", "QM1102D"},
                      MalformedRow{"KAVLO TECHNOLOGIES,QM1102D,SN1,ab.cd.ef", "QM1102D"},
                      MalformedRow{",,,", ""}, MalformedRow{"\xff\xfe,\x01", ""}));

struct FirmwareRow {
    const char* version;
    int32_t value;
    bool accepted;
};

std::ostream& operator<<(std::ostream& out, const FirmwareRow& row) { return out << row.version; }

class FirmwareVersions : public ScriptedIdentity,
                         public ::testing::WithParamInterface<FirmwareRow> {};

TEST_P(FirmwareVersions, AreComparedWith010101) {
    EXPECT_EQ(firmwareValue(GetParam().version), GetParam().value);
    replies = {std::string("KAVLO TECHNOLOGIES,QM1102D,SN1,") + GetParam().version};
    EXPECT_EQ(connection.ConnectScope() == ConnectOutcome::Connected, GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(Versions, FirmwareVersions,
                         ::testing::Values(FirmwareRow{"01.01.01", 10101, true},
                                           FirmwareRow{"01.01.00", 10100, false},
                                           FirmwareRow{"00.99.99", 9999, false},
                                           FirmwareRow{"04.00.00", 40000, true},
                                           FirmwareRow{"01.01.01.00.00", 10101, true},
                                           FirmwareRow{"00.04.01.00.02", 401, false},
                                           FirmwareRow{"01-02-03", 10203, true}));

TEST_F(ScriptedIdentity, FailedLinkSendsNothingAndShowsOnlyItsOwnMessage) {
    port.openFailure = "/dev/ttyS0: No such file or directory";
    EXPECT_EQ(connection.ConnectScope(), ConnectOutcome::LinkFailed);
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(messageTexts(),
              std::vector<std::string>{"RS232 Init: /dev/ttyS0: No such file or directory"});
}

TEST_F(ScriptedIdentity, FailedConnectWhileConnectedTurnsTheIndicatorOff) {
    replies = {"KAVLO TECHNOLOGIES,QM1102D,SN1,01.01.01"};
    ASSERT_EQ(connection.ConnectScope(), ConnectOutcome::Connected);
    replies = {"KAVLO TECHNOLOGIES,QM1102D,SN1,00.01.00"};
    EXPECT_EQ(connection.ConnectScope(), ConnectOutcome::FirmwareTooOld);
    EXPECT_FALSE(connection.ScopeConnected);
}

TEST_F(ScriptedIdentity, DisconnectLocksTheKeysOnlyWhenConnected) {
    connection.DisconnectScope();
    EXPECT_TRUE(port.written.empty());
    replies = {"KAVLO TECHNOLOGIES,QM1102D,SN1,01.01.01"};
    connection.ConnectScope();
    port.written.clear();
    connection.DisconnectScope();
    EXPECT_EQ(port.written, std::vector<std::string>{":KEY:LOCK:ENABLE\n"});
    EXPECT_FALSE(connection.ScopeConnected);
}

class ConnectToSimulator : public ::testing::TestWithParam<Transport> {};

TEST_P(ConnectToSimulator, AcceptsTheSimulatedInstrument) {
    SessionRig rig(GetParam());
    EXPECT_TRUE(rig.connect());
    EXPECT_EQ(rig.outcomes, std::vector<ConnectOutcome>{ConnectOutcome::Connected});
    EXPECT_TRUE(rig.instrument.state().keyLocked);
    EXPECT_FALSE(rig.instrument.state().menuDisplay);
    EXPECT_TRUE(rig.host.messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Transports, ConnectToSimulator,
                         ::testing::Values(Transport::Serial, Transport::Usb));

TEST(ConnectOverUsb, AbsentInstrumentFailsTheLink) {
    SessionRig rig(Transport::Usb);
    rig.device.unplug();
    EXPECT_FALSE(rig.connect());
    EXPECT_EQ(rig.outcomes, std::vector<ConnectOutcome>{ConnectOutcome::LinkFailed});
    EXPECT_EQ(rig.messageTexts(),
              std::vector<std::string>{"USB Init: Cann't Connect to USB Device"});
}

}  // namespace
}  // namespace tracebay::acquisition
