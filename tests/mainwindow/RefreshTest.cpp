#include <QAction>
#include <QCheckBox>
#include <QDateTime>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>

#include "mainwindow/WavePicture.h"
#include "mainwindow/frmPrgress.h"
#include "tests/mainwindow/MainWindowRig.h"

namespace tracebay::mainwindow {
namespace {

class Refresh : public ::testing::Test, public MainWindowRig {
protected:
    explicit Refresh(const std::string& preset = "yt") : MainWindowRig(preset) {}

    void tick(std::initializer_list<int> sources) {
        for (int i = 0; i < 4; ++i) {
            auto* box = find<QCheckBox>(("ChkCH_" + std::to_string(i)).c_str());
            box->setChecked(std::find(sources.begin(), sources.end(), i) != sources.end());
        }
    }
    frmPrgress* progressWindow() { return window->findChild<frmPrgress*>(); }
    // The progress window's bar as it changes during the upload.
    void watchTheBar() {
        host.onEveryPump([this] {
            frmPrgress* p = progressWindow();
            if (!p || p == watched) return;
            watched = p;
            QObject::connect(p, &frmPrgress::valueChanged, [this](float v) { bar.push_back(v); });
        });
    }
    bool picturePixelIs(QRgb colour) {
        const QImage image = window->view().picture().drawn()->image();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == colour) return true;
        return false;
    }

    std::vector<float> bar;
    frmPrgress* watched = nullptr;
};

TEST_F(Refresh, WhileDisconnectedAsksForAConnectionAndSendsNothing) {
    start();
    click("cmdRefresh");
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"Please Connect Oscilloscope First"});
    EXPECT_TRUE(commands.empty());
    EXPECT_TRUE(find<QPushButton>("cmdRefresh")->isEnabled());
}

TEST_F(Refresh, WithNoTraceTickedOpensNoWindowAndSendsNothing) {
    start();
    ASSERT_TRUE(connectOverSerial());
    tick({});
    commands.clear();
    watchTheBar();
    click("cmdRefresh");
    EXPECT_TRUE(commands.empty());
    EXPECT_TRUE(bar.empty());
    EXPECT_FALSE(window->view().slot().HasData);
}

TEST_F(Refresh, UploadsOverTheSerialLinkAndDrawsTheTraces) {
    start();
    ASSERT_TRUE(connectOverSerial());
    tick({0, 1});
    commands.clear();
    bool disabledMeanwhile = false;
    host.onEveryPump([&] {
        disabledMeanwhile |= progressWindow() && !find<QPushButton>("cmdRefresh")->isEnabled();
    });
    click("cmdRefresh");
    EXPECT_TRUE(window->view().slot().HasData);
    EXPECT_EQ(commands.front(), ":TRIGGER:STATUS?");
    EXPECT_NE(std::find(commands.begin(), commands.end(), ":WAVEFORM:DATA? CHANNEL2"),
              commands.end());
    EXPECT_TRUE(disabledMeanwhile);
    EXPECT_TRUE(find<QPushButton>("cmdRefresh")->isEnabled());
    EXPECT_EQ(progressWindow(), nullptr) << "the progress window is gone";
    EXPECT_TRUE(picturePixelIs(qRgb(255, 255, 0))) << "CH1";
    EXPECT_TRUE(picturePixelIs(qRgb(0, 255, 255))) << "CH2";
}

TEST_F(Refresh, TheBarStandsAtEachTracesShare) {
    start();
    ASSERT_TRUE(connectOverSerial());
    tick({0, 1, 2});
    watchTheBar();
    click("cmdRefresh");
    std::vector<float> shares;
    for (const float v : bar)
        if (v > 30) shares.push_back(v);
    ASSERT_EQ(shares.size(), 3u);
    EXPECT_FLOAT_EQ(shares[0], 100.0f / 3);
    EXPECT_FLOAT_EQ(shares[1], 200.0f / 3);
    EXPECT_FLOAT_EQ(shares[2], 100);
}

TEST_F(Refresh, DuringTheUploadTheProgressWindowStaysAndTheSourceBoxesRevert) {
    start();
    ASSERT_TRUE(connectOverSerial());
    tick({0});
    bool closeRefused = false;
    bool boxReverted = false;
    bool checked = false;
    host.onEveryPump([&] {
        frmPrgress* p = progressWindow();
        if (!p || checked || !uploading()) return;
        checked = true;
        closeRefused = !p->close() && p->isVisible();
        find<QCheckBox>("ChkCH_1")->click();
        boxReverted = !find<QCheckBox>("ChkCH_1")->isChecked() && !window->view().slot().ShowCh2;
    });
    click("cmdRefresh");
    ASSERT_TRUE(checked);
    EXPECT_TRUE(closeRefused);
    EXPECT_TRUE(boxReverted);
}

// The title says what is shown: nothing yet, then the instrument and when its screen was
// captured (local time), and that uploads repeat.
TEST_F(Refresh, TheTitleNamesTheUploadShown) {
    start();
    EXPECT_EQ(window->windowTitle(), "TraceBay");
    ASSERT_TRUE(connectOverSerial());
    EXPECT_EQ(window->windowTitle(), "TraceBay") << "connected, nothing shown";
    click("cmdRefresh");
    const std::string& captured = window->view().slot().Captured;
    const QString at = QDateTime::fromString(QString::fromStdString(captured), Qt::ISODateWithMs)
                           .toLocalTime()
                           .toString("HH:mm:ss");
    EXPECT_EQ(captured.substr(0, 11), "2026-11-30T");
    EXPECT_EQ(window->windowTitle(), "TraceBay - QM1102D " + at);
    window->findChild<QAction*>("RefreshContinuously")->trigger();
    EXPECT_TRUE(window->windowTitle().endsWith(" - live")) << window->windowTitle().toStdString();
}

TEST_F(Refresh, F5RunsTheSameUpload) {
    start();
    ASSERT_TRUE(connectOverSerial());
    window->setFocus();
    QTest::keyClick(window.get(), Qt::Key_F5);
    EXPECT_TRUE(window->view().slot().HasData);
}

// Over either link, once by a press of Refresh and once while uploads repeat.
struct LinkRow {
    testing::Transport transport;
    bool repeating;
};

class RefreshOverEitherLink : public Refresh, public ::testing::WithParamInterface<LinkRow> {
protected:
    void SetUp() override {
        start();
        ASSERT_TRUE(connectOver(GetParam().transport));
        tick({0, 1});
    }
    void refreshAsTheRowSays() {
        if (!GetParam().repeating) {
            click("cmdRefresh");
            return;
        }
        window->findChild<QAction*>("RefreshContinuously")->trigger();
        host.advance(30'000);
    }
};

// The link goes away during an upload: a serial port says so once; over USB the read that fails
// says so, and the next command finds the device gone. The boxes, the picture and the choices
// saved at the end stay as they were, and the next Refresh asks for a connection.
TEST_P(RefreshOverEitherLink, LinkLostMidUploadIsSaidAndChangesNothingShown) {
    click("cmdRefresh");
    const QImage before = window->view().picture().drawn()->image().copy();
    faults.target = "DATA? CHANNEL1";
    faults.disappearMidReply = true;
    refreshAsTheRowSays();
    const std::vector<std::string> said =
        GetParam().transport == testing::Transport::Serial
            ? std::vector<std::string>{"Operation valid only when the port is open"}
            : std::vector<std::string>{"Cann't Read data from USB Device",
                                       "Cann't Connect to USB Device"};
    EXPECT_EQ(messageTexts(), said);
    EXPECT_TRUE(find<QCheckBox>("ChkCH_0")->isChecked());
    EXPECT_TRUE(find<QCheckBox>("ChkCH_1")->isChecked());
    EXPECT_EQ(window->view().picture().drawn()->image(), before);
    EXPECT_FALSE(window->findChild<QAction*>("RefreshContinuously")->isChecked());
    EXPECT_EQ(progressWindow(), nullptr);
    click("cmdRefresh");
    EXPECT_EQ(messageTexts().back(), "Please Connect Oscilloscope First");
    window->close();
    EXPECT_EQ(qsettings.value("Kavlo TraceBay Disp Wave/IsDispCH2Wave").toString(), "True");
}

// A part that came short is named once, by the window; the rest is drawn.
TEST_P(RefreshOverEitherLink, MissingPartIsNamedOnce) {
    faults.target = "DATA? CHANNEL2";
    faults.garbage = true;
    bool overTheProgressWindow = false;
    host.onMessage([&](const auto&) { overTheProgressWindow |= progressWindow() != nullptr; });
    refreshAsTheRowSays();
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"CH2: no data (12 bytes, 812 needed)"});
    EXPECT_FALSE(overTheProgressWindow) << "said once the progress window is gone";
    EXPECT_TRUE(picturePixelIs(qRgb(255, 255, 0))) << "CH1";
    EXPECT_FALSE(window->findChild<QAction*>("RefreshContinuously")->isChecked());
}

INSTANTIATE_TEST_SUITE_P(Links, RefreshOverEitherLink,
                         ::testing::Values(LinkRow{testing::Transport::Serial, false},
                                           LinkRow{testing::Transport::Usb, false},
                                           LinkRow{testing::Transport::Serial, true},
                                           LinkRow{testing::Transport::Usb, true}),
                         [](const auto& row) {
                             return std::string(row.param.transport == testing::Transport::Serial
                                                    ? "Serial"
                                                    : "Usb") +
                                    (row.param.repeating ? "Repeating" : "Once");
                         });

class LogicRefresh : public Refresh {
protected:
    LogicRefresh() : Refresh("logic") {}
};

TEST_F(LogicRefresh, LogicComesLastAndLeavesTheBarFull) {
    start();
    ASSERT_TRUE(connectOverSerial());
    tick({0, 3});
    watchTheBar();
    commands.clear();
    click("cmdRefresh");
    EXPECT_EQ(commands.back(), ":WAVEFORM:DATA? DIGITAL");
    ASSERT_FALSE(bar.empty());
    EXPECT_FLOAT_EQ(bar.back(), 100);
    EXPECT_TRUE(picturePixelIs(qRgb(0, 255, 0))) << "the logic lines";
}

// The progress window on its own, without an upload running.
class ProgressWindow : public ::testing::Test, public MainWindowRig {};

TEST_F(ProgressWindow, OpensWhereItWasLeftUnlessThatIsOffTheScreen) {
    start();
    struct Case {
        QPoint stored;
        QPoint expected;
    };
    const Case cases[] = {{{30000, 900}, {27, 60}},  // 400 twips instead of 30000
                          {{600, -9000}, {40, 40}},  // 600 twips instead of -9000
                          {{750, 1500}, {50, 100}}};
    for (const Case& c : cases) {
        QPoint place = c.stored;
        frmPrgress progress(host, place, window.get());
        EXPECT_EQ(progress.pos(), c.expected) << c.stored.x();
        EXPECT_FALSE(progress.close()) << "open while the upload runs";
        progress.move(75, 30);
        progress.uploadEnded();
        EXPECT_EQ(place, QPoint(1125, 450)) << "where it was left, in twips";
    }
    // A landscape screen of 1920 x 1080 pixels (28800 x 16200 twips): the width limits the left
    // edge, the height the top one.
    const QSize landscape(1920, 1080);
    const QSize size(320, 70);
    EXPECT_EQ(frmPrgress::openingPlace(25500, 15000, landscape, size), QPoint(1700, 1000));
    EXPECT_EQ(frmPrgress::openingPlace(750, 22500, landscape, size), QPoint(50, 40))
        << "below the screen";
}

// The place is written with the other settings when the window closes, not after each upload.
TEST_F(Refresh, TheProgressWindowsPlaceIsSavedAtCloseOnly) {
    storeSetting("Kavlo TraceBay Settings/ProgressLeft", "750");
    start();
    ASSERT_TRUE(connectOverSerial());
    host.onEveryPump([&] {
        if (frmPrgress* p = progressWindow()) p->move(100, 200);
    });
    click("cmdRefresh");
    host.onEveryPump(nullptr);
    EXPECT_EQ(settings.read(platform::Settings::ProgressLeft), "750");
    window->close();
    EXPECT_EQ(settings.read(platform::Settings::ProgressLeft), "1500");
    EXPECT_EQ(settings.read(platform::Settings::ProgressTop), "3000");
}

TEST_F(Refresh, TheBarMovesWhileASlowBlockArrivesButNeverPastItsMaximum) {
    start();
    ASSERT_TRUE(connectOverSerial());
    tick({0});
    faults.target = "DATA? CHANNEL1";
    faults.trickleMs = 12;  // 815 bytes in about 9.8 s, within 10 s of their time on the line
    watchTheBar();
    const int64_t began = host.nowMs();
    click("cmdRefresh");
    EXPECT_GT(host.nowMs() - began, 9'500);
    ASSERT_GT(bar.size(), 30u);
    EXPECT_FLOAT_EQ(bar[1] - bar[0], 3) << "an analog trace moves the bar by 3 a tick";
    EXPECT_FLOAT_EQ(*std::max_element(bar.begin(), bar.end()), 100);
    const auto full = std::find(bar.begin(), bar.end(), 100.0f);
    EXPECT_TRUE(std::all_of(full, bar.end(), [](float v) { return v == 100; }));
}

}  // namespace
}  // namespace tracebay::mainwindow
