#pragma once

#include <QObject>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/HostServices.h"
#include "session/SessionOwner.h"
#include "session/Wires.h"

namespace tracebay::session {

// Work run on the thread this object lives on, in the order it was posted. The work waits in a
// queue under a lock both threads take, and an empty event only wakes the thread: what the work
// carries passes from one thread to the other under that lock alone.
class QueuedExecutor : public QObject, public Executor {
public:
    void post(std::function<void()> work) override;

protected:
    void customEvent(QEvent* event) override;

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> queue_;
};

// A session on a thread of its own, so that the window's thread never waits on the instrument.
// The serial port, the USB library and the host the session works with are made on that thread
// and live there; notifications come back on the thread that made this object, and so do the
// session's messages, which `windowHost` shows while the session waits for them to be
// dismissed.
class SessionThread : public SessionOwner {
public:
    // `makeWires` runs on the session's thread.
    SessionThread(std::function<Wires()> makeWires, platform::HostServices& windowHost,
                  SessionObserver& observer);
    // Lets what is queued run (a close among it), then ends the thread. Messages that come
    // meanwhile are not shown any more.
    ~SessionThread() override;

    Session& session() override { return *session_; }

private:
    class Worker;

    void showOnWindowThread(const std::string& text, const std::string& caption);

    platform::HostServices& windowHost_;
    QueuedExecutor windowThread_;
    std::unique_ptr<Worker> worker_;
    Session* session_ = nullptr;
    std::atomic<bool> ending_{false};
};

}  // namespace tracebay::session
