#include "session/Session.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "session/UploadHistory.h"
#include "tests/support/SessionRig.h"

namespace tracebay::session {
namespace {

using testing::SessionRig;
using testing::Transport;

constexpr const char* KeyLock = ":KEY:LOCK:ENABLE";

bool has(const std::vector<std::string>& commands, const std::string& command) {
    return std::find(commands.begin(), commands.end(), command) != commands.end();
}

size_t indexOf(const std::vector<std::string>& commands, const std::string& command) {
    return static_cast<size_t>(std::find(commands.begin(), commands.end(), command) -
                               commands.begin());
}

class EitherLink : public ::testing::TestWithParam<Transport> {};

// The key waits for the upload to end: nothing comes between a block's request and the block.
TEST_P(EitherLink, KeyPressedDuringASlowBlockGoesOutAfterTheUpload) {
    SessionRig rig(GetParam());
    ASSERT_TRUE(rig.connect());
    rig.faults.target = "DATA? CHANNEL1";
    rig.faults.trickleMs = 2;
    bool asked = false;
    rig.host.onEveryPump([&] {
        if (asked || rig.commands.empty() || rig.commands.back() != ":WAVEFORM:DATA? CHANNEL1")
            return;
        asked = true;
        rig.session().pressKey(":RUN");
    });
    const acquisition::ScopeState& s = rig.upload(true, true);
    ASSERT_TRUE(asked);
    EXPECT_FALSE(s.missing("CH1"));
    EXPECT_FALSE(s.missing("CH2"));
    EXPECT_EQ(rig.commands.back(), ":KEY:RUN");
    EXPECT_EQ(indexOf(rig.commands, ":KEY:RUN"),
              indexOf(rig.commands, ":WAVEFORM:DATA? CHANNEL2") + 1);
    EXPECT_TRUE(rig.host.messages().empty());
}

// One lost link, one message; the session is disconnected and later requests find it so.
TEST_P(EitherLink, LinkLostDuringAnUploadEndsItWithOneMessage) {
    SessionRig rig(GetParam());
    ASSERT_TRUE(rig.connect());
    rig.host.onEveryPump([&] {
        if (!has(rig.commands, ":WAVEFORM:DATA? CHANNEL1")) return;
        rig.port.setPortOpen(false);
        rig.device.unplug();
    });
    rig.upload(true, true, true, true);
    rig.host.onEveryPump(nullptr);
    ASSERT_EQ(rig.host.messages().size(), 1u) << rig.messageTexts()[1];
    EXPECT_EQ(rig.messageTexts()[0],
              GetParam() == Transport::Serial
                  ? "RS232 Send Message: Operation valid only when the port is open"
                  : "USB Read Message: Cann't Connect to USB Device");
    ASSERT_EQ(rig.uploads.size(), 1u);
    EXPECT_TRUE(rig.uploads[0].lost);
    EXPECT_EQ(rig.session().state(), State::Disconnected);
    rig.commands.clear();
    rig.session().refresh({true});
    bool sent = true;
    rig.session().pressKey(":RUN", [&sent](bool ok) { sent = ok; });
    EXPECT_TRUE(rig.commands.empty());
    EXPECT_FALSE(sent);
    EXPECT_EQ(rig.messageTexts().back(), "TraceBay: Please Connect Oscilloscope First");
}

// Nobody was told of a part that came short or not at all: the upload says so for its views.
TEST_P(EitherLink, MissingPartNobodyWasToldOfComesWithTheUpload) {
    SessionRig rig(GetParam());
    ASSERT_TRUE(rig.connect());
    rig.faults.target = "DATA? CHANNEL2";
    rig.faults.garbage = true;
    rig.upload(true, true);
    EXPECT_EQ(rig.uploads.back().untold,
              std::vector<std::string>{"CH2: no data (12 bytes, 812 needed)"});
    EXPECT_TRUE(rig.host.messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Links, EitherLink, ::testing::Values(Transport::Serial, Transport::Usb),
                         [](const auto& row) {
                             return row.param == Transport::Serial ? "Serial" : "Usb";
                         });

TEST(Session, SerialSilenceIsUntoldAndAUsbTimeOutIsToldOnce) {
    for (const Transport transport : {Transport::Serial, Transport::Usb}) {
        SessionRig rig(transport);
        ASSERT_TRUE(rig.connect());
        rig.faults.target = "DATA? CHANNEL2";
        rig.faults.silent = true;
        rig.upload(true, true);
        const bool serial = transport == Transport::Serial;
        EXPECT_EQ(rig.uploads.back().untold,
                  serial ? std::vector<std::string>{"CH2: no data (time-out)"}
                         : std::vector<std::string>{});
        EXPECT_EQ(rig.messageTexts(),
                  serial ? std::vector<std::string>{}
                         : std::vector<std::string>{"USB Read Message: Read USB time out"});
    }
}

TEST(Session, SecondConnectWhileConnectingDoesNothing) {
    SessionRig rig(Transport::Serial);
    rig.faults.silent = true;  // three identity queries of 4 s each
    rig.host.after(1000, [&] { rig.session().connect(rig.options); });
    rig.host.after(5000, [&] { rig.session().connect(rig.options); });
    EXPECT_FALSE(rig.connect());
    EXPECT_EQ(std::count(rig.commands.begin(), rig.commands.end(), "*IDN?"), 3);
    EXPECT_EQ(rig.outcomes.size(), 1u);
}

TEST(Session, RefreshWhileUploadingIsRefusedAndDisconnectWaitsForIt) {
    SessionRig rig(Transport::Serial);
    ASSERT_TRUE(rig.connect());
    rig.host.after(300, [&] {
        rig.session().refresh({true});
        rig.session().disconnect();
    });
    rig.upload(true);
    EXPECT_EQ(rig.uploads.size(), 1u);
    EXPECT_EQ(rig.commands.back(), KeyLock);
    EXPECT_EQ(std::count(rig.commands.begin(), rig.commands.end(), ":TRIGGER:STATUS?"), 1);
    EXPECT_EQ(rig.session().state(), State::Disconnected);
}

TEST(Session, KeysGoOutBetweenTwoUploadsOfARepetition) {
    SessionRig rig(Transport::Usb);
    ASSERT_TRUE(rig.connect());
    rig.commands.clear();
    rig.session().startRefreshing({true});
    rig.session().pressKey(":RUN");
    rig.host.advance(100);
    rig.session().stopRefreshing();
    rig.host.advance(5000);
    ASSERT_GE(rig.uploads.size(), 2u);
    const size_t key = indexOf(rig.commands, ":KEY:RUN");
    ASSERT_LT(key, rig.commands.size());
    EXPECT_EQ(rig.commands[key - 1], ":WAVEFORM:DATA? CHANNEL1");
    EXPECT_EQ(rig.commands[key + 1], ":TRIGGER:STATUS?");
    EXPECT_EQ(rig.repeating, (std::vector<bool>{true, false}));
}

// A part that does not come ends the repetition with its message; so does a lost link.
TEST(Session, RepetitionEndsAtAMissingPart) {
    SessionRig rig(Transport::Serial);
    ASSERT_TRUE(rig.connect());
    rig.faults.target = "DATA? CHANNEL1";
    rig.faults.silent = true;
    rig.session().startRefreshing({true});
    rig.host.advance(30'000);
    EXPECT_EQ(rig.uploads.size(), 1u);
    EXPECT_EQ(rig.repeating, (std::vector<bool>{true, false}));
    EXPECT_EQ(rig.uploads.back().untold, std::vector<std::string>{"CH1: no data (time-out)"});
}

TEST(Session, CloseDuringARepetitionEndsAfterTheUploadInProgress) {
    SessionRig rig(Transport::Serial);
    ASSERT_TRUE(rig.connect());
    rig.host.after(500, [&] { rig.session().close(); });
    rig.session().startRefreshing({true});
    EXPECT_EQ(rig.uploads.size(), 1u);
    EXPECT_EQ(rig.closings, 1);
    EXPECT_EQ(rig.commands.back(), KeyLock);
    EXPECT_FALSE(rig.port.PortOpen());
    EXPECT_TRUE(rig.host.messages().empty());
    rig.host.advance(5000);
    EXPECT_EQ(rig.uploads.size(), 1u);
}

// Closing does not wait for the keys and uploads that have not started; each press hears that
// it did not go out, and so does one asked for after the close.
TEST(Session, CloseDropsWhatHasNotStarted) {
    SessionRig rig(Transport::Usb);
    ASSERT_TRUE(rig.connect());
    std::vector<bool> heard;
    rig.host.after(50, [&] {
        rig.session().pressKey(":RUN", [&heard](bool sent) { heard.push_back(sent); });
        rig.session().close();
        rig.session().pressKey(":AUTO", [&heard](bool sent) { heard.push_back(sent); });
    });
    rig.upload(true);
    EXPECT_EQ(heard, (std::vector<bool>{false, false}));
    EXPECT_FALSE(has(rig.commands, ":KEY:RUN"));
    EXPECT_EQ(rig.commands.back(), KeyLock);
}

// A press withdrawn before its turn never goes out.
TEST(Session, WithdrawnKeyIsNotSent) {
    SessionRig rig(Transport::Usb);
    ASSERT_TRUE(rig.connect());
    rig.host.after(50, [&] {
        const uint64_t press = rig.session().pressKey(":V_POS_INC");
        rig.session().withdrawKey(press);
    });
    rig.upload(true);
    EXPECT_FALSE(has(rig.commands, ":KEY:V_POS_INC"));
}

// An upload of every trace, captured as `captured` says.
Screen fullUpload(const std::string& captured) {
    auto full = std::make_shared<acquisition::ScopeState>();
    for (auto* samples : {&full->Ch1Samples, &full->Ch2Samples, &full->FftSamples,
                          &full->MathSamples, &full->LaSamples})
        samples->assign(acquisition::ScopeState::SampleCount, 1);
    full->Captured = captured;
    return full;
}

TEST(UploadHistoryBounds, TheHundredAndFirstDropsTheOldestAndAHundredFitTheLimit) {
    UploadHistory history;
    for (int i = 1; i <= 101; ++i) history.add(fullUpload(std::to_string(i)), {});
    EXPECT_EQ(history.count(), UploadHistory::Capacity);
    EXPECT_EQ(history.place(), 100u);
    for (int i = 0; i < 99; ++i) history.step(-1);
    EXPECT_EQ(history.shown()->upload->Captured, "2");
    EXPECT_EQ(history.step(-1), nullptr);
    EXPECT_LE(history.bytes(), UploadHistory::ByteLimit);
}

struct StepRow {
    const char* name;
    int uploads;             // captured "1", "2", ...
    std::vector<int> steps;  // -1 back, 1 forward
    bool lastStepMoved;
    const char* shown;  // what is shown after the steps
};

std::ostream& operator<<(std::ostream& out, const StepRow& row) { return out << row.name; }

class UploadHistorySteps : public ::testing::TestWithParam<StepRow> {};

// A step past either end returns nothing and the place stays.
TEST_P(UploadHistorySteps, StepsStopAtEitherEnd) {
    const StepRow& row = GetParam();
    UploadHistory history;
    for (int i = 1; i <= row.uploads; ++i) history.add(fullUpload(std::to_string(i)), {});
    const UploadHistory::Entry* last = nullptr;
    for (const int direction : row.steps) last = history.step(direction);
    EXPECT_EQ(last != nullptr, row.lastStepMoved);
    EXPECT_EQ(history.shown()->upload->Captured, row.shown);
    EXPECT_EQ(history.place(), static_cast<size_t>(std::stoi(row.shown)));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, UploadHistorySteps, ::testing::Values(
    StepRow{"ForwardPastTheNewest", 2, {1}, false, "2"},
    StepRow{"BackPastTheOldest", 2, {-1, -1}, false, "1"},
    StepRow{"BackAndForwardAgain", 3, {-1, -1, 1}, true, "2"},
    StepRow{"BackToTheOldestThenPastTheNewest", 2, {-1, 1, 1}, false, "2"}),
    [](const auto& row) { return row.param.name; });
// clang-format on

}  // namespace
}  // namespace tracebay::session
