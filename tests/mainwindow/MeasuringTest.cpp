#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "mainwindow/CursorDrag.h"
#include "mainwindow/Icons.h"
#include "mainwindow/WavePicture.h"
#include "mainwindow/frmPrgress.h"
#include "tests/mainwindow/MainWindowRig.h"

namespace tracebay::mainwindow {
namespace {

using CursorDrag::Pointer;

TEST(CursorDrag, APressTakesHoldOfTheNearestCursorsOfEachPairThatIsOn) {
    display::Cursors c;  // X 102 and 409, Y 102 and 255
    EXPECT_EQ(CursorDrag::grabAt(c, {102, 102}).time, 0) << "both pairs off";
    c.TimeCursorsOn = c.VoltCursorsOn = true;
    struct Case {
        QPoint at;
        int time, volt;
    };
    const Case cases[] = {{{104, 300}, 1, 0},
                          {{100, 257}, 1, 2},
                          {{411, 103}, 2, 1},
                          {{105, 99}, 0, 0},
                          {{300, 253}, 0, 2}};
    for (const Case& k : cases) {
        const auto grab = CursorDrag::grabAt(c, k.at);
        EXPECT_EQ(grab.time, k.time) << k.at.x() << "," << k.at.y();
        EXPECT_EQ(grab.volt, k.volt) << k.at.x() << "," << k.at.y();
    }
    c.CursorX2 = 103;
    EXPECT_EQ(CursorDrag::grabAt(c, {103, 0}).time, 1) << "cursor 1 before cursor 2";
}

TEST(CursorDrag, DraggingMovesTheTimeCursorBeforeTheVoltageCursor) {
    display::Cursors c;
    EXPECT_EQ(CursorDrag::drag(c, {0, 2}, {50, 180}), Pointer::SizeNorthSouth);
    EXPECT_EQ(c.CursorY2, 180);
    EXPECT_EQ(CursorDrag::drag(c, {2, 1}, {60, 70}), Pointer::SizeWestEast);
    EXPECT_EQ(c.CursorX2, 60);
    EXPECT_EQ(c.CursorY1, 102) << "the voltage cursor stays while a time cursor moves";
    EXPECT_EQ(CursorDrag::drag(c, {}, {1, 1}), Pointer::Default);
}

TEST(CursorDrag, HoveringOverACursorInsideTheGridShowsASizingPointer) {
    display::Cursors c;
    EXPECT_EQ(CursorDrag::hover(c, {102, 102}, 1), Pointer::Default) << "both pairs off";
    c.TimeCursorsOn = c.VoltCursorsOn = true;
    EXPECT_EQ(CursorDrag::hover(c, {200, 104}, 1), Pointer::SizeNorthSouth);
    EXPECT_EQ(CursorDrag::hover(c, {104, 200}, 1), Pointer::SizeWestEast);
    EXPECT_EQ(CursorDrag::hover(c, {101, 101}, 1), Pointer::SizeNorthSouth) << "voltage first";
    EXPECT_EQ(CursorDrag::hover(c, {326, 255}, 1), Pointer::Default) << "right of the grid";
    EXPECT_EQ(CursorDrag::hover(c, {409, 230}, 1), Pointer::Default) << "below a 100% grid";
    EXPECT_EQ(CursorDrag::hover(c, {409, 230}, 2), Pointer::SizeWestEast);
}

// The cursors over a screen of known scales, at 100%.
class Cursors : public ::testing::Test, public MainWindowRig {
protected:
    void SetUp() override {
        start();
        find<QCheckBox>("BestFitChk")->setChecked(false);
        auto* zoom = find<QComboBox>("ZoomCombo");
        zoom->setCurrentIndex(zoom->findText("100%"));
        picture()->setRecording(true);
        auto s = std::make_shared<acquisition::ScopeState>();
        s->IsYT = true;
        s->TimeScaleText = "1.000ms";
        s->Ch1ScaleText = "500mV";
        window->view().showUpload(s);
    }
    WavePicture* picture() { return find<WavePicture>("WavePic"); }
    void press(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(picture(), button, {}, at);
    }
    void drag(QPoint to) {
        QMouseEvent move(QEvent::MouseMove, to, picture()->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(picture(), &move);
    }
    void release(QPoint at) { QTest::mouseRelease(picture(), Qt::LeftButton, {}, at); }
    std::vector<std::string> texts() {
        std::vector<std::string> found;
        for (const auto& t : picture()->drawn()->texts()) found.push_back(t.text);
        return found;
    }
    ::testing::AssertionResult shows(const std::string& text) {
        const auto all = texts();
        if (std::find(all.begin(), all.end(), text) != all.end())
            return ::testing::AssertionSuccess();
        std::string list;
        for (const auto& t : all) list += "\"" + t + "\" ";
        return ::testing::AssertionFailure() << "texts: " << list;
    }
    QAction* action(const char* name) { return window->findChild<QAction*>(name); }
};

TEST_F(Cursors, NothingHappensWhileBothAreOff) {
    const QImage before = picture()->drawn()->image().copy();
    press({102, 102});
    drag({150, 150});
    release({150, 150});
    EXPECT_EQ(window->view().cursors().CursorX1, 102);
    EXPECT_EQ(window->view().cursors().CursorY1, 102);
    EXPECT_EQ(picture()->drawn()->image(), before);
    EXPECT_EQ(picture()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(Cursors, TheTimeCursorsAreDraggedAndTheirDistanceRead) {
    window->setFocus();
    QTest::keyClick(window.get(), Qt::Key_T);
    ASSERT_TRUE(action("TimeCursors")->isChecked());
    EXPECT_EQ(window->view().cursors().CursorX2, 323) << "kept inside the 100% grid";
    // 1 ms per 25 pixels, the trigger at pixel 175.
    EXPECT_TRUE(shows("X1 -2.92 ms   X2 5.92 ms"));
    EXPECT_TRUE(shows("|X1-X2| 8.84 ms   113 Hz"));
    press({103, 200});
    drag({125, 200});
    EXPECT_EQ(picture()->cursor().shape(), Qt::SizeHorCursor);
    drag({225, 200});
    release({225, 200});
    EXPECT_EQ(window->view().cursors().CursorX1, 225);
    EXPECT_TRUE(shows("|X1-X2| 3.92 ms   255 Hz"));
    drag({225, 200});
    EXPECT_EQ(window->view().cursors().CursorX1, 225) << "let go: nothing held";
    press({322, 200});
    drag({225, 200});
    release({225, 200});
    EXPECT_TRUE(shows("|X1-X2| 0 s")) << "and no frequency";
}

TEST_F(Cursors, TheVoltageCursorsAreDraggedAndReadForEachChannel) {
    action("VoltCursors")->trigger();
    press({150, 224});
    drag({150, 155});
    EXPECT_EQ(picture()->cursor().shape(), Qt::SizeVerCursor);
    release({150, 155});
    EXPECT_EQ(window->view().cursors().CursorY2, 155);
    // 0.5 V per 25 pixels from the ground at pixel 125 (no offset).
    EXPECT_TRUE(shows("CH1 Y1 460 mV   Y2 -600 mV"));
    EXPECT_TRUE(shows("CH1 |Y1-Y2| 1.06 V"));
    press({150, 101}, Qt::RightButton);
    drag({150, 120});
    EXPECT_EQ(window->view().cursors().CursorY1, 102) << "the right button opens the menu instead";
}

TEST_F(Cursors, TheMenuOffersThemAndTheyStartOff) {
    QMenu& menu = window->view().pictureMenu();
    std::vector<std::string> names;
    for (QAction* a : menu.actions()) names.push_back(a->text().toStdString());
    for (const char* wanted : {"Time cursors", "Voltage cursors", "Refresh continuously"})
        EXPECT_NE(std::find(names.begin(), names.end(), wanted), names.end()) << wanted;
    EXPECT_FALSE(action("TimeCursors")->isChecked());
    EXPECT_FALSE(action("VoltCursors")->isChecked());
    EXPECT_FALSE(action("RefreshContinuously")->isChecked());
    QContextMenuEvent right(QContextMenuEvent::Mouse, {100, 100},
                            picture()->mapToGlobal(QPoint(100, 100)));
    QApplication::sendEvent(picture(), &right);
    EXPECT_TRUE(menu.isVisible()) << "a right click on the picture";
    menu.hide();
    QContextMenuEvent key(QContextMenuEvent::Keyboard, {0, 0}, window->mapToGlobal(QPoint(0, 0)));
    QApplication::sendEvent(window.get(), &key);
    EXPECT_TRUE(menu.isVisible()) << "the Menu key";
    menu.hide();
    QContextMenuEvent elsewhere(QContextMenuEvent::Mouse, {5, 5},
                                window->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(window.get(), &elsewhere);
    EXPECT_FALSE(menu.isVisible()) << "a right click on the left column";
}

// Uploads one after another against the simulated instrument.
class RefreshContinuously : public ::testing::Test, public MainWindowRig {
protected:
    void SetUp() override {
        start();
        ASSERT_TRUE(connectOverSerial());
    }
    long uploads() const {
        return std::count(commands.begin(), commands.end(), ":TRIGGER:STATUS?");
    }
    QAction* live() { return window->findChild<QAction*>("RefreshContinuously"); }
    QPushButton* refresh() { return find<QPushButton>("cmdRefresh"); }
};

// Repeated uploads show no progress window, so the keys stay with the main window: a click on
// Refresh, F5 or Esc ends them after the upload in progress.
TEST_F(RefreshContinuously, RepeatsWithoutProgressWindowUntilStoppedAfterTheOneInProgress) {
    const std::vector<std::function<void()>> stops{
        [&] { QTest::mouseClick(refresh(), Qt::LeftButton); },
        [&] { QTest::keyClick(window.get(), Qt::Key_F5); },
        [&] { QTest::keyClick(refresh(), Qt::Key_Escape); }};
    for (size_t way = 0; way < stops.size(); ++way) {
        SCOPED_TRACE(way);
        commands.clear();
        window->setFocus();
        QTest::keyClick(window.get(), Qt::Key_F5, Qt::ControlModifier);
        ASSERT_TRUE(live()->isChecked());
        EXPECT_EQ(refresh()->icon().cacheKey(), Icons::stop().cacheKey());
        bool progressShown = false;
        host.onEveryPump([&] {
            progressShown |= window->findChild<frmPrgress*>() != nullptr;
            if (uploads() == 3 && uploading() && live()->isChecked()) stops[way]();
        });
        host.advance(60'000);
        host.onEveryPump({});
        EXPECT_FALSE(progressShown);
        EXPECT_EQ(uploads(), 3) << "the upload in progress ends; no other follows";
        EXPECT_EQ(commands.back(), ":WAVEFORM:DATA? CHANNEL1") << "it was not cut short";
        EXPECT_FALSE(live()->isChecked());
        EXPECT_EQ(refresh()->icon().cacheKey(), Icons::refresh().cacheKey());
    }
    EXPECT_TRUE(window->view().slot().HasData);
}

TEST_F(RefreshContinuously, StopsWhenTheConnectionEnds) {
    host.after(300, [&] { window->session().disconnect(); });
    live()->trigger();
    host.advance(30'000);
    EXPECT_FALSE(live()->isChecked());
    commands.clear();
    host.advance(10'000);
    EXPECT_EQ(uploads(), 0);
}

TEST_F(RefreshContinuously, ABlockThatDoesNotComeStopsItAndSaysWhichOne) {
    find<QCheckBox>("ChkCH_1")->setChecked(true);
    faults.target = "DATA? CHANNEL2";
    faults.silent = true;
    live()->trigger();
    host.advance(60'000);
    EXPECT_FALSE(live()->isChecked());
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"CH2: no data (time-out)"});
    EXPECT_EQ(uploads(), 1);
}

// A box ticked between two rounds is fetched from the next round on; with none ticked the
// repetition does not start.
TEST_F(RefreshContinuously, FollowsTheSourceBoxesFromRoundToRound) {
    live()->trigger();
    host.advance(200);
    find<QCheckBox>("ChkCH_1")->setChecked(true);
    commands.clear();
    host.advance(10'000);
    EXPECT_NE(std::find(commands.begin(), commands.end(), ":WAVEFORM:DATA? CHANNEL2"),
              commands.end());
    EXPECT_TRUE(find<QCheckBox>("ChkCH_1")->isChecked());
    live()->setChecked(false);
    host.advance(10'000);
    for (const char* box : {"ChkCH_0", "ChkCH_1"}) find<QCheckBox>(box)->setChecked(false);
    live()->trigger();
    EXPECT_FALSE(live()->isChecked());
}

TEST_F(RefreshContinuously, WithoutAConnectionStopsWithTheRefreshMessage) {
    click("FlatBtnUpload_1");
    live()->trigger();
    host.advance(100);
    EXPECT_FALSE(live()->isChecked());
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"Please Connect Oscilloscope First"});
}

}  // namespace
}  // namespace tracebay::mainwindow
