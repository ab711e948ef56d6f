// The main window with its session on a thread of its own, as in the program: closing,
// opening a file and ticking the sources while the session works or waits.

#include <QCheckBox>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include "acquisition/UploadFile.h"
#include "mainwindow/PictureSharing.h"
#include "panel/frmV_Key.h"
#include "session/SessionThread.h"
#include "tests/mainwindow/MainWindowRig.h"
#include "tests/support/FakeSerialPort.h"
#include "tests/support/QuickHost.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/SimulatedUsbLibrary.h"

namespace tracebay::mainwindow {
namespace {

constexpr const char* KeyLock = ":KEY:LOCK:ENABLE";

// The simulated instrument behind the USB library's own code, reached from the session's thread
// only; every command it receives is noted, and one the test holds stays unanswered on that
// thread until the test lets it go. The window runs on a virtual clock whose every pump also
// runs the window thread's events; the session's pauses take no time.
class ThreadedWindow : public ::testing::Test, public testing::ScratchFolder {
protected:
    ThreadedWindow() : ScratchFolder("threaded-") {
        host.onEveryPump([] { QCoreApplication::processEvents(); });
    }
    ~ThreadedWindow() override {
        stopHolding();
        if (window) window->hide();
        window.reset();
    }

    // The window, connected over USB to a simulated `model`.
    void start(const std::string& model = "QM1102D") {
        sim::Identity identity;
        identity.model = model;
        instrument = std::make_unique<sim::Instrument>(identity, *sim::presetState("yt"));
        device = std::make_unique<sim::UsbtmcDevice>(*instrument, faults);
        device->onCommand = [this](const std::string& command) { received(command); };
        window = std::make_unique<frmWave>(
            ProgramServices{host, settings, [this](auto& observer) {
                                return std::make_unique<session::SessionThread>(
                                    [this] { return wires(); }, host, observer);
                            }});
        window->show();
        host.advance(2);
        window->applyLinkOptions({});
        click("FlatBtnUpload_0");
        ASSERT_TRUE(settle());
        ASSERT_EQ(state(), session::State::Connected);
        std::lock_guard lock(mutex_);
        commands_.clear();
    }

    session::Wires wires() {
        return {std::make_unique<testing::FakeSerialPort>(),
                std::make_unique<testing::SimulatedUsbLibrary>(*device),
                std::make_unique<testing::QuickHost>()};
    }

    session::Session& session() { return window->session(); }
    session::State state() { return session().state(); }
    template <typename T>
    T* find(const char* name) {
        return window->findChild<T*>(name);
    }
    void click(const char* name) { QTest::mouseClick(find<QWidget>(name), Qt::LeftButton); }
    bool ticked(int box) {
        return window->findChild<QCheckBox*>(QString("ChkCH_%1").arg(box))->isChecked();
    }

    // Runs the window's events until `done`, for at most ten seconds.
    template <typename Done>
    bool waitFor(Done done) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 10'000) host.processEvents();
        return done();
    }
    // The session is idle, and the window has heard all it was told before.
    bool settle() {
        bool heard = false;
        session().whenIdle([&heard] { heard = true; });
        return waitFor([&heard] { return heard; });
    }
    // The upload shown has changed from `before`, and the session is idle again.
    bool uploadLanded(const session::Screen& before) {
        return waitFor([&] { return window->view().upload() != before; }) && settle();
    }

    // From now on every command containing `target` waits for a release of its own.
    void hold(const std::string& target) {
        std::lock_guard lock(mutex_);
        held_ = target;
    }
    void release() {
        {
            std::lock_guard lock(mutex_);
            ++releases_;
        }
        changed_.notify_all();
    }
    void stopHolding() {
        {
            std::lock_guard lock(mutex_);
            held_.clear();
            releases_ = holds_;
        }
        changed_.notify_all();
    }
    // How many commands are held now.
    int holding() {
        std::lock_guard lock(mutex_);
        return holds_ - releases_;
    }
    std::vector<std::string> sent() {
        std::lock_guard lock(mutex_);
        return commands_;
    }
    size_t sentCount(const std::string& command) {
        const auto all = sent();
        return static_cast<size_t>(std::count(all.begin(), all.end(), command));
    }

    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& m : host.messages()) texts.push_back(m.text);
        return texts;
    }

    platform::VirtualHost host{1};
    QTemporaryDir settingsFolder;
    QSettings qsettings{settingsFolder.filePath("TraceBay.conf"), QSettings::IniFormat};
    platform::SettingsStore settings{qsettings};
    sim::Faults faults;
    std::unique_ptr<sim::Instrument> instrument;
    std::unique_ptr<sim::UsbtmcDevice> device;
    std::unique_ptr<frmWave> window;

private:
    // On the session's thread.
    void received(const std::string& command) {
        std::unique_lock lock(mutex_);
        commands_.push_back(command);
        if (held_.empty() || command.find(held_) == std::string::npos) return;
        const int ticket = holds_++;
        changed_.wait(lock, [&] { return releases_ > ticket; });
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> commands_;
    std::string held_;
    int holds_ = 0;
    int releases_ = 0;
};

// Another operation gets in each time the session becomes idle: the close waits for it too, and
// happens once the session is idle at last.
TEST_F(ThreadedWindow, CloseDuringAnOperationEndsTheProgramOnceIdleWhateverGotInBetween) {
    start();
    hold(":KEY:RUN");
    session().pressKey(":RUN");
    ASSERT_TRUE(waitFor([this] { return holding() == 1; }));
    session().whenIdle([this] { session().pressKey(":RUN"); });
    EXPECT_FALSE(window->close());
    release();
    ASSERT_TRUE(waitFor([this] { return holding() == 1 && sentCount(":KEY:RUN") == 2; }));
    host.advance(50);
    EXPECT_TRUE(window->isVisible()) << "the second key is still under way";
    release();
    EXPECT_TRUE(waitFor([this] { return !window->isVisible(); }));
    EXPECT_TRUE(waitFor([this] { return sentCount(KeyLock) == 1; }));
}

// The session becomes idle while the window's own box says what did not come: the close waits
// for the box, and the keys are unlocked only once it is answered.
TEST_F(ThreadedWindow, CloseDuringABoxWaitsForTheBox) {
    start();
    faults.target = "DATA? CHANNEL2";
    faults.garbage = true;
    click("ChkCH_1");
    bool visibleInBox = false;
    size_t locksInBox = 1;
    host.onMessage([&](const platform::VirtualHost::Message&) {
        bool idleTold = false;
        session().whenIdle([&] { idleTold = true; });
        waitFor([&] { return idleTold; });
        host.advance(20);
        visibleInBox = window->isVisible();
        locksInBox = sentCount(KeyLock);
    });
    hold("DATA? CHANNEL1");
    click("cmdRefresh");
    ASSERT_TRUE(waitFor([this] { return holding() == 1; }));
    EXPECT_FALSE(window->close());
    release();
    EXPECT_TRUE(waitFor([this] { return !window->isVisible(); }));
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"CH2: no data (12 bytes, 812 needed)"});
    EXPECT_TRUE(visibleInBox);
    EXPECT_EQ(locksInBox, 0u);
    EXPECT_TRUE(waitFor([this] { return sentCount(KeyLock) == 1; }));
}

// Ended from outside while a panel key repeats: the panel closes as Cancel closes it, the keys
// are unlocked once, and the settings are saved.
TEST_F(ThreadedWindow, SignalWhileAPanelKeyRepeatsEndsInOrder) {
    start();
    click("ChkCH_1");
    host.after(10, [this] {
        auto* panel = window->findChild<panel::frmV_Key*>();
        ASSERT_NE(panel, nullptr);
        auto* key = panel->findChild<QWidget*>("VK_V_Pos_Dec");
        QTest::mousePress(panel->windowHandle(), Qt::LeftButton, {}, key->geometry().center());
    });
    // The signal comes once the key has gone out twice.
    std::function<void()> signalOnceRepeated = [&] {
        if (sentCount(":KEY:V_POS_DEC") > 1)
            window->closeOnSignal();
        else
            host.after(10, signalOnceRepeated);
    };
    host.after(20, signalOnceRepeated);
    click("FlatBtnUpload_3");
    EXPECT_TRUE(waitFor([this] { return !window->isVisible(); }));
    EXPECT_TRUE(waitFor([this] { return sentCount(KeyLock) == 1; }));
    EXPECT_GT(sentCount(":KEY:V_POS_DEC"), 1u) << "the key repeated";
    EXPECT_EQ(sent().back(), KeyLock);
    EXPECT_EQ(qsettings.value("Kavlo TraceBay Disp Wave/IsDispCH2Wave").toString(), "True");
}

struct OpenRow {
    const char* name;
    const char* held;  // the command held while the file is opened
    bool keyFirst;     // a key goes first, so that the upload waits its turn
    const char* why;
};

std::ostream& operator<<(std::ostream& out, const OpenRow& row) { return out << row.name; }

class OpeningWhileUploading : public ThreadedWindow,
                              public ::testing::WithParamInterface<OpenRow> {};

// An upload that runs or waits would replace the file as soon as it lands: the file is refused.
TEST_P(OpeningWhileUploading, IsRefusedWithTheReason) {
    const OpenRow& row = GetParam();
    start();
    session::Screen first = window->view().upload();
    click("cmdRefresh");
    ASSERT_TRUE(uploadLanded(first));
    std::string error;
    ASSERT_TRUE(
        acquisition::writeUploadFile(path("earlier.json"), *window->view().upload(), error));
    first = window->view().upload();
    hold(row.held);
    if (row.keyFirst) session().pressKey(":RUN");
    click("cmdRefresh");
    ASSERT_TRUE(waitFor([this] { return holding() == 1; }));
    EXPECT_FALSE(window->sharing().openUploadFile(QString::fromStdString(path("earlier.json"))));
    release();
    EXPECT_TRUE(uploadLanded(first));
    EXPECT_TRUE(window->view().shownFile().isEmpty());
    EXPECT_EQ(messageTexts(), std::vector<std::string>{row.why});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OpeningWhileUploading,
    ::testing::Values(OpenRow{"Running", "DATA? CHANNEL1", false,
                              "An upload is in progress: open the file once it has finished"},
                      OpenRow{"Waiting", ":KEY:RUN", true,
                              "An upload waits its turn: open the file once it has finished"}),
    [](const auto& row) { return std::string(row.param.name); });

// A box ticked while the upload waits its turn stays ticked when the upload lands, though the
// upload did not fetch it.
TEST_F(ThreadedWindow, ATickMadeWhileTheUploadWaitsIsKept) {
    start();
    const session::Screen before = window->view().upload();
    hold(":KEY:RUN");
    session().pressKey(":RUN");
    ASSERT_TRUE(waitFor([this] { return holding() == 1; }));
    click("cmdRefresh");
    click("ChkCH_1");
    release();
    ASSERT_TRUE(uploadLanded(before));
    EXPECT_TRUE(ticked(1));
    EXPECT_TRUE(window->view().ticked().ch2);
    EXPECT_EQ(sentCount(":WAVEFORM:DATA? CHANNEL2"), 0u);
    EXPECT_EQ(sentCount(":WAVEFORM:DATA? CHANNEL1"), 1u);
}

// A model without the logic analyzer refuses LA at the snapshot: its box is unticked before a
// sample block is read, and stays so.
TEST_F(ThreadedWindow, ARefusedSourceIsUntickedAtTheSnapshot) {
    start("QM1102");
    const session::Screen before = window->view().upload();
    click("ChkCH_3");
    hold("DATA? CHANNEL1");
    click("cmdRefresh");
    ASSERT_TRUE(waitFor([this] { return holding() == 1; }));
    EXPECT_TRUE(waitFor([this] { return !ticked(3); })) << "unticked while the block is awaited";
    release();
    ASSERT_TRUE(uploadLanded(before));
    EXPECT_FALSE(ticked(3));
    EXPECT_TRUE(ticked(0));
}

}  // namespace
}  // namespace tracebay::mainwindow
