#include "panel/frmV_Key.h"

#include <QAbstractButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include "acquisition/KeyNames.h"
#include "link/CommandChannel.h"
#include "link/SerialTransport.h"
#include "panel/KeyButton.h"
#include "panel/PanelLayout.h"
#include "sim/Signals.h"
#include "tests/support/SessionRig.h"

namespace tracebay::panel {
namespace {

using testing::SessionRig;
using testing::Transport;

// The panel over the serial line to the simulated instrument, whose log has every command with
// the virtual time it arrived at.
class FrontPanel : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.connect());
        rig.commands.clear();
        rig.commandTimes.clear();
        panel.show();
    }

    QAbstractButton* key(const std::string& name) {
        auto* button = panel.findChild<QAbstractButton*>(QString::fromStdString(name));
        EXPECT_NE(button, nullptr) << name;
        return button;
    }
    QPoint centreOf(const std::string& name) {
        QAbstractButton* button = key(name);
        return button ? button->geometry().center() : QPoint();
    }

    // The mouse as a person moves it: through the window, so that Qt routes every event as it
    // does on a desktop.
    void press(const std::string& name, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(panel.windowHandle(), button, {}, centreOf(name));
    }
    void dragTo(QPoint place) { QTest::mouseMove(panel.windowHandle(), place); }
    void releaseAt(QPoint place, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseRelease(panel.windowHandle(), button, {}, place);
    }
    void release(const std::string& name) { releaseAt(centreOf(name)); }

    // The time a serial send holds the thread: the line itself, then the channel's pause.
    static int64_t sendMs(const std::string& command) {
        return link::serialPacingMs("9600", command.size()) + link::CommandChannel::CommandPauseMs;
    }

    SessionRig rig{Transport::Serial};
    frmV_Key panel{rig.host, rig.session()};
};

TEST_F(FrontPanel, EveryKeySendsItsOwnCommandOnceOnAQuickClick) {
    const std::vector<std::pair<std::string, std::string>> keys = {
        {"VK_Menu_Off", ":KEY:MNUOFF"},
        {"VK_F1", ":KEY:F1"},
        {"VK_F2", ":KEY:F2"},
        {"VK_F3", ":KEY:F3"},
        {"VK_F4", ":KEY:F4"},
        {"VK_F5", ":KEY:F5"},
        {"VK_F_DEC", ":KEY:-FUNCTION"},
        {"VK_F_F", ":KEY:FUNCTION"},
        {"VK_F_INC", ":KEY:+FUNCTION"},
        {"VK_Measure", ":KEY:MEASURE"},
        {"VK_Acquire", ":KEY:ACQUIRE"},
        {"VK_Storage", ":KEY:STORAGE"},
        {"VK_Cursor", ":KEY:CURSOR"},
        {"VK_Display", ":KEY:DISPLAY"},
        {"VK_Utility", ":KEY:UTILITY"},
        {"VK_Auto", ":KEY:AUTO"},
        {"VK_Run", ":KEY:RUN"},
        {"VK_CH1", ":KEY:CHANNEL1"},
        {"VK_CH2", ":KEY:CHANNEL2"},
        {"VK_Math", ":KEY:MATH"},
        {"VK_Ref", ":KEY:REF"},
        {"VK_La", ":KEY:LA"},
        {"VK_CH_Off", ":KEY:OFF"},
        {"VK_V_Pos_Inc", ":KEY:V_POS_INC"},
        {"VK_V_Pos_Dec", ":KEY:V_POS_DEC"},
        {"VK_P_V_P", ":KEY:PROMPT_V_POS"},
        {"VK_V_Inc", ":KEY:V_SCALE_DEC"},
        {"VK_V_Dec", ":KEY:V_SCALE_INC"},
        {"VK_P_V", ":KEY:PROMPT_V"},
        {"VK_H_Pos_Dec", ":KEY:H_POS_INC"},
        {"VK_P_H_P", ":KEY:PROMPT_H_POS"},
        {"VK_H_Pos_Inc", ":KEY:H_POS_DEC"},
        {"VK_TimeMenu", ":KEY:MNUTIME"},
        {"VK_H_Dec", ":KEY:H_SCALE_DEC"},
        {"VK_P_H", ":KEY:PROMPT_H"},
        {"VK_H_Inc", ":KEY:H_SCALE_INC"},
        {"VK_Trig_Lvl_Inc", ":KEY:TRIG_LVL_INC"},
        {"VK_Trig_Lvl_Dec", ":KEY:TRIG_LVL_DEC"},
        {"VK_P_L", ":KEY:PROMPT_TRIG_LVL"},
        {"VK_Trig_Menu", ":KEY:MNUTRIG"},
        {"VK_Trig_50", ":KEY:TRIG%50"},
        {"VK_Trig_Force", ":KEY:FORCE"},
    };
    EXPECT_EQ(panel.findChildren<KeyButton*>().size(), keys.size());
    for (const auto& [name, command] : keys) {
        rig.commands.clear();
        press(name);
        rig.host.advance(60);  // shorter than one repeat interval
        release(name);
        rig.host.advance(300);
        EXPECT_EQ(rig.commands, std::vector<std::string>{command}) << name;
    }
}

TEST_F(FrontPanel, HoldingAnArrowRepeatsOncePerTickAfterEachSendAndClicksOnRelease) {
    const std::string command = ":KEY:V_POS_DEC";
    const int64_t pressedAt = rig.host.nowMs();
    press("VK_V_Pos_Dec");
    rig.host.advance(1000);
    const int64_t releasedAt = rig.host.nowMs();
    release("VK_V_Pos_Dec");
    rig.host.advance(500);

    ASSERT_GE(rig.commands.size(), 6u);
    EXPECT_EQ(rig.commands, std::vector<std::string>(rig.commands.size(), command));
    EXPECT_GE(rig.commandTimes.front(), pressedAt + frmV_Key::RepeatIntervalMs)
        << "nothing is sent at the press";
    EXPECT_EQ(rig.commandTimes.back(), releasedAt) << "the click, and nothing after it";
    for (size_t i = 1; i < rig.commandTimes.size(); ++i) {
        const int64_t gap = rig.commandTimes[i] - rig.commandTimes[i - 1];
        EXPECT_GE(gap, sendMs(command)) << "never more often than a tick after each send";
        if (i + 1 < rig.commandTimes.size()) {
            EXPECT_LE(gap, sendMs(command) + 2) << "a tick due during the send runs right after";
        }
    }
}

TEST_F(FrontPanel, DraggingOffAHeldArrowStopsItWithoutAClick) {
    press("VK_Trig_Lvl_Dec");
    rig.host.advance(400);
    dragTo({5, 5});
    const int64_t releasedAt = rig.host.nowMs();
    releaseAt({5, 5});
    rig.host.advance(500);
    EXPECT_GE(rig.commands.size(), 2u);
    EXPECT_EQ(rig.commands, std::vector<std::string>(rig.commands.size(), ":KEY:TRIG_LVL_DEC"));
    EXPECT_LT(rig.commandTimes.back(), releasedAt);
}

TEST_F(FrontPanel, AnyMouseButtonHoldsButOnlyTheLeftOneClicks) {
    press("VK_H_Pos_Dec", Qt::RightButton);
    rig.host.advance(400);
    const int64_t releasedAt = rig.host.nowMs();
    releaseAt(centreOf("VK_H_Pos_Dec"), Qt::RightButton);
    rig.host.advance(500);
    EXPECT_GE(rig.commands.size(), 2u);
    EXPECT_EQ(rig.commands, std::vector<std::string>(rig.commands.size(), ":KEY:H_POS_INC"));
    EXPECT_LT(rig.commandTimes.back(), releasedAt);
}

// The window sees Esc before its keys do, even before a key held down with the space bar.
TEST_F(FrontPanel, EscClosesWithoutSendingWhereverTheFocusIs) {
    key("VK_Run")->setFocus();
    rig.host.after(50, [&] {
        QTest::keyPress(key("VK_Run"), Qt::Key_Space);
        QTest::keyClick(key("VK_Run"), Qt::Key_Escape);
    });
    EXPECT_EQ(rig.host.runModal(panel), QDialog::Rejected);
    EXPECT_LT(rig.host.nowMs(), 1000) << "closed by Esc, not given up on";
    EXPECT_FALSE(panel.isVisible());
    EXPECT_TRUE(rig.commands.empty());
}

TEST_F(FrontPanel, ClosingWhileAnArrowIsHeldStopsTheRepeat) {
    press("VK_V_Pos_Inc");
    rig.host.advance(300);
    const int64_t closedAt = rig.host.nowMs();
    panel.close();
    rig.host.advance(1000);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_FALSE(rig.commands.empty());
    EXPECT_LT(rig.commandTimes.back(), closedAt);
    releaseAt({5, 5});
}

TEST_F(FrontPanel, WindowAndKeysSitWhereTheInstrumentPanelHasThem) {
    EXPECT_EQ(panel.windowTitle(), "Virtual Keyboard");
    EXPECT_EQ(panel.size(), QSize(442, 298));
    EXPECT_EQ(panel.minimumSize(), panel.maximumSize()) << "not resizable";
    EXPECT_TRUE(panel.isModal());
    EXPECT_EQ(panel.geometry().center(), panel.screen()->availableGeometry().center());

    const std::vector<std::pair<std::string, QRect>> places = {
        {"VK_Run", {386, 34, 31, 21}},      {"VK_Menu_Off", {10, 46, 26, 18}},
        {"VK_Trig_50", {348, 212, 31, 21}}, {"VK_V_Pos_Dec", {170, 162, 17, 15}},
        {"VK_P_L", {356, 152, 15, 13}},
    };
    for (const auto& [name, place] : places) EXPECT_EQ(key(name)->geometry(), place) << name;
    EXPECT_EQ(key("VK_Trig_50")->text(), "50%");
    // No label lies over a key where a person clicks it.
    for (auto* button : panel.findChildren<KeyButton*>())
        EXPECT_EQ(panel.childAt(button->geometry().center()), button)
            << button->objectName().toStdString();
}

TEST(FrontPanelKeys, OnlyTheKnobTurnsThatMoveAPositionOrLevelRepeat) {
    std::vector<std::string> repeating;
    for (const PanelKey& key : PanelKeys)
        if (key.repeats) repeating.emplace_back(key.name);
    EXPECT_EQ(repeating,
              (std::vector<std::string>{"VK_V_Pos_Inc", "VK_V_Pos_Dec", "VK_H_Pos_Dec",
                                        "VK_H_Pos_Inc", "VK_Trig_Lvl_Inc", "VK_Trig_Lvl_Dec"}));
}

// A box or another window that comes up during a hold takes the mouse and its release.
TEST_F(FrontPanel, HoldEndsWhenAnotherWindowTakesTheMouse) {
    press("VK_V_Pos_Inc");
    rig.host.advance(250);
    const int64_t takenAt = rig.host.nowMs();
    QEvent deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(&panel, &deactivate);
    rig.host.advance(1000);
    ASSERT_FALSE(rig.commands.empty());
    EXPECT_LE(rig.commandTimes.back(), takenAt);
    releaseAt({5, 5});
}

// The first repeat that does not go out says so once, and the repeat ends: over USB with the
// instrument gone, over a serial port that refuses to write.
TEST(FrontPanelFailedSend, HoldEndsAtTheFirstRepeatThatDoesNotGoOut) {
    for (const Transport transport : {Transport::Usb, Transport::Serial}) {
        SessionRig rig(transport);
        ASSERT_TRUE(rig.connect());
        frmV_Key panel(rig.host, rig.session());
        panel.show();
        rig.device.unplug();
        rig.port.writeFailure = "Input/output error";
        const QPoint arrow =
            panel.findChild<QAbstractButton*>("VK_Trig_Lvl_Inc")->geometry().center();
        QTest::mousePress(panel.windowHandle(), Qt::LeftButton, {}, arrow);
        rig.host.advance(3000);
        EXPECT_EQ(rig.messageTexts(),
                  std::vector<std::string>{transport == Transport::Usb
                                               ? "USB Send Message: Cann't Connect to USB Device"
                                               : "RS232 Send Message: Input/output error"});
        QTest::mouseRelease(panel.windowHandle(), Qt::LeftButton, {}, {5, 5});
    }
}

// Work queued until the test runs it: a session on another thread, seen one step at a time.
struct QueuedWork : session::Executor {
    void post(std::function<void()> work) override { queue.push_back(std::move(work)); }
    void run() {
        while (!queue.empty()) {
            auto work = std::move(queue.front());
            queue.erase(queue.begin());
            work();
        }
    }
    std::vector<std::function<void()>> queue;
};

// The repeat is on the wire and not yet done when the button is released: the release sends its
// click, and nothing follows it, not even for the tick that fell due meanwhile.
TEST(FrontPanelOnAnotherThread, ReleaseDuringASendSendsItsClickAndNothingAfter) {
    testing::SimulatedLink link(sim::Identity{}, "yt");
    std::vector<std::string> commands;
    link.face.onCommand = [&](const std::string& c) { commands.push_back(c); };
    QueuedWork worker;
    QueuedWork views;
    testing::RecordingObserver observer;
    session::Session session({link.host, link.port, link.usb}, worker, views, observer);
    session::LinkOptions serial;
    serial.IoType = session::LinkOptions::IoTypeSerial;
    session.connect(serial);
    worker.run();
    views.run();
    commands.clear();
    frmV_Key panel(link.host, session);
    panel.show();
    const QPoint arrow = panel.findChild<QAbstractButton*>("VK_V_Pos_Dec")->geometry().center();
    QTest::mousePress(panel.windowHandle(), Qt::LeftButton, {}, arrow);
    link.host.advance(100);  // the first tick asks for a repeat
    worker.run();            // ... which goes out; its end is not yet heard
    link.host.advance(100);  // a tick falls due meanwhile
    QTest::mouseRelease(panel.windowHandle(), Qt::LeftButton, {}, arrow);
    worker.run();
    views.run();
    link.host.advance(1000);
    worker.run();
    views.run();
    EXPECT_EQ(commands, (std::vector<std::string>{":KEY:V_POS_DEC", ":KEY:V_POS_DEC"}));
}

TEST_F(FrontPanel, TheInstrumentFollowsTheKeys) {
    const sim::InstrumentState& state = rig.instrument.state();
    const double voltsPerDiv = state.channels[0].scale;
    const double offset = state.channels[0].offset;
    press("VK_Run");
    release("VK_Run");
    EXPECT_FALSE(state.running);

    rig.commands.clear();
    press("VK_V_Pos_Dec");
    rig.host.advance(500);
    release("VK_V_Pos_Dec");
    const auto rowsDown = static_cast<double>(rig.commands.size());
    EXPECT_GE(rowsDown, 3);
    EXPECT_DOUBLE_EQ(state.channels[0].offset,
                     offset - rowsDown * voltsPerDiv / sim::RowsPerDivision);

    press("VK_V_Inc");  // up on the scale knob: finer volts per division
    release("VK_V_Inc");
    EXPECT_LT(state.channels[0].scale, voltsPerDiv);
}

}  // namespace
}  // namespace tracebay::panel
