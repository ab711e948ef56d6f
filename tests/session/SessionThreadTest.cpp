#include "session/SessionThread.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "platform/VirtualHost.h"
#include "sim/Presets.h"
#include "tests/support/FakeSerialPort.h"
#include "tests/support/SessionRig.h"
#include "tests/support/SimulatedUsbLibrary.h"

namespace tracebay::session {
namespace {

// What the session tells, with the thread it is told on.
struct ThreadRecordingObserver : testing::RecordingObserver {
    void stateChanged(State state) override {
        threads.push_back(QThread::currentThread());
        RecordingObserver::stateChanged(state);
    }
    std::vector<QThread*> threads;
};

// The simulated instrument behind the link library's own code, reached from the session's thread
// only; the commands it receives are noted with the thread they came from.
class SessionOnItsThread : public ::testing::Test {
protected:
    SessionOnItsThread() {
        device.onCommand = [this](const std::string& command) {
            std::lock_guard lock(mutex);
            commands.push_back(command);
            commandThread = std::this_thread::get_id();
        };
    }

    Wires wires() {
        return {std::make_unique<testing::FakeSerialPort>(),
                std::make_unique<testing::SimulatedUsbLibrary>(device), nullptr};
    }

    // Runs this thread's events until `done`, for at most ten seconds.
    template <typename Done>
    bool waitFor(Done done) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 10'000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        return done();
    }

    std::vector<std::string> received() {
        std::lock_guard lock(mutex);
        return commands;
    }

    sim::Instrument instrument{sim::Identity{}, *sim::presetState("yt")};
    sim::Faults faults;
    sim::UsbtmcDevice device{instrument, faults};
    platform::VirtualHost windowHost;
    ThreadRecordingObserver observer;
    std::mutex mutex;
    std::vector<std::string> commands;
    std::thread::id commandThread;
};

TEST_F(SessionOnItsThread, TalksToTheInstrumentOnItsThreadAndTellsTheViewsOnTheirs) {
    {
        SessionThread owner([this] { return wires(); }, windowHost, observer);
        owner.session().connect({});
        ASSERT_TRUE(waitFor([&] { return owner.session().state() == State::Connected; }));
        owner.session().refresh({true});
        ASSERT_TRUE(waitFor([&] { return !observer.uploads.empty(); }));
        EXPECT_FALSE(observer.uploads[0].screen->missing("CH1"));
        EXPECT_NE(commandThread, std::this_thread::get_id());
        owner.session().close();
    }
    for (QThread* thread : observer.threads) EXPECT_EQ(thread, QThread::currentThread());
    EXPECT_EQ(received().back(), ":KEY:LOCK:ENABLE") << "the close ran before the thread ended";
}

// The box is shown by the window's host, on the window's thread, and the session waits for it.
TEST_F(SessionOnItsThread, MessagesAreShownOnTheWindowsThread) {
    device.unplug();
    SessionThread owner([this] { return wires(); }, windowHost, observer);
    owner.session().connect({});
    ASSERT_TRUE(waitFor([&] { return !windowHost.messages().empty(); }));
    EXPECT_EQ(windowHost.messages()[0].caption, "USB Init");
    ASSERT_TRUE(waitFor([&] { return observer.states.size() == 2; }));
    EXPECT_EQ(observer.states.back(), State::Disconnected);
}

}  // namespace
}  // namespace tracebay::session
