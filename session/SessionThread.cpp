#include "session/SessionThread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

#include <chrono>
#include <condition_variable>

namespace tracebay::session {
namespace {

// A one-way signal from one thread to another, under a lock of its own.
class Signal {
public:
    void raise() {
        {
            std::lock_guard lock(mutex_);
            raised_ = true;
        }
        raisedChanged_.notify_all();
    }
    void wait() {
        std::unique_lock lock(mutex_);
        raisedChanged_.wait(lock, [this] { return raised_; });
    }
    // False when `giveUp` said so before the signal came.
    template <typename GiveUp>
    bool waitUnless(GiveUp giveUp) {
        std::unique_lock lock(mutex_);
        while (!raisedChanged_.wait_for(lock, std::chrono::milliseconds(20),
                                        [this] { return raised_; }))
            if (giveUp()) return false;
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable raisedChanged_;
    bool raised_ = false;
};

}  // namespace

void QueuedExecutor::post(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(work));
    }
    QCoreApplication::postEvent(this, new QEvent(QEvent::User));
}

// One event for each work posted: the work runs in order, one at a time.
void QueuedExecutor::customEvent(QEvent*) {
    std::function<void()> work;
    {
        std::lock_guard lock(mutex_);
        if (queue_.empty()) return;
        work = std::move(queue_.front());
        queue_.pop_front();
    }
    work();
}

class SessionThread::Worker : public QThread {
public:
    Worker(SessionThread& owner, std::function<Wires()> makeWires, SessionObserver& observer)
        : owner_(owner), makeWires_(std::move(makeWires)), observer_(observer) {}

    // The session once it runs, and the executor that reaches its thread.
    Session& waitForSession() {
        started_.wait();
        return *session_;
    }
    Executor& executor() { return *executor_; }
    // Returns once the session and everything it used are gone.
    void waitForEnd() { ended_.wait(); }

protected:
    void run() override {
        runSession();
        ended_.raise();
    }

private:
    void runSession() {
        Wires wires = makeWires_();
        if (!wires.host) wires.host = std::make_unique<platform::QtHost>();
        wires.host->setMessageSink([this](const std::string& text, const std::string& caption) {
            owner_.showOnWindowThread(text, caption);
        });
        QueuedExecutor worker;
        Session session({*wires.host, *wires.port, *wires.usb}, worker, owner_.windowThread_,
                        observer_);
        executor_ = &worker;
        session_ = &session;
        started_.raise();
        exec();
    }

    SessionThread& owner_;
    std::function<Wires()> makeWires_;
    SessionObserver& observer_;
    Signal started_;
    Signal ended_;
    Session* session_ = nullptr;
    Executor* executor_ = nullptr;
};

SessionThread::SessionThread(std::function<Wires()> makeWires, platform::HostServices& windowHost,
                             SessionObserver& observer)
    : windowHost_(windowHost),
      worker_(std::make_unique<Worker>(*this, std::move(makeWires), observer)) {
    worker_->start();
    session_ = &worker_->waitForSession();
}

// The quit is queued behind the work already posted, so a close asked for last still runs.
SessionThread::~SessionThread() {
    ending_ = true;
    worker_->executor().post([] { QThread::currentThread()->quit(); });
    worker_->waitForEnd();
    worker_->wait();
}

// The session waits until the box is dismissed, unless the program ends meanwhile.
void SessionThread::showOnWindowThread(const std::string& text, const std::string& caption) {
    if (ending_) return;
    auto dismissed = std::make_shared<Signal>();
    windowThread_.post([this, text, caption, dismissed] {
        if (!ending_) windowHost_.showMessage(text, caption, platform::MessageIcon::Exclamation);
        dismissed->raise();
    });
    dismissed->waitUnless([this] { return ending_.load(); });
}

}  // namespace tracebay::session
