#include "session/SessionThread.h"

#include <QMetaObject>
#include <QSemaphore>
#include <QThread>

#include "platform/QtHost.h"

namespace tracebay::session {
namespace {

// Work queued to the thread an object lives on.
class QueuedExecutor : public Executor {
public:
    explicit QueuedExecutor(QObject& context) : context_(context) {}
    void post(std::function<void()> work) override {
        QMetaObject::invokeMethod(&context_, std::move(work), Qt::QueuedConnection);
    }

private:
    QObject& context_;
};

}  // namespace

class SessionThread::Worker : public QThread {
public:
    Worker(SessionThread& owner, std::function<Wires()> makeWires, SessionObserver& observer)
        : owner_(owner), makeWires_(std::move(makeWires)), observer_(observer) {}

    Session* waitForSession() {
        ready_.acquire();
        return session_;
    }
    Executor& executor() { return *executor_; }

protected:
    void run() override {
        QObject context;
        QueuedExecutor worker(context);
        QueuedExecutor views(owner_.windowContext_);
        platform::QtHost host;
        host.setMessageSink([this](const std::string& text, const std::string& caption) {
            owner_.showOnWindowThread(text, caption);
        });
        const Wires wires = makeWires_();
        Session session({host, *wires.port, *wires.usb}, worker, views, observer_);
        executor_ = &worker;
        session_ = &session;
        ready_.release();
        exec();
        session_ = nullptr;
    }

private:
    SessionThread& owner_;
    std::function<Wires()> makeWires_;
    SessionObserver& observer_;
    QSemaphore ready_;
    Session* session_ = nullptr;
    Executor* executor_ = nullptr;
};

SessionThread::SessionThread(std::function<Wires()> makeWires, platform::HostServices& windowHost,
                             SessionObserver& observer)
    : windowHost_(windowHost),
      worker_(std::make_unique<Worker>(*this, std::move(makeWires), observer)) {
    worker_->start();
    session_ = worker_->waitForSession();
}

// The quit is queued behind the work already posted, so a close asked for last still runs.
SessionThread::~SessionThread() {
    ending_ = true;
    worker_->executor().post([] { QThread::currentThread()->quit(); });
    worker_->wait();
}

// The session waits until the box is dismissed, unless the program ends meanwhile.
void SessionThread::showOnWindowThread(const std::string& text, const std::string& caption) {
    if (ending_) return;
    auto dismissed = std::make_shared<QSemaphore>();
    QMetaObject::invokeMethod(
        &windowContext_,
        [this, text, caption, dismissed] {
            if (!ending_)
                windowHost_.showMessage(text, caption, platform::MessageIcon::Exclamation);
            dismissed->release();
        },
        Qt::QueuedConnection);
    while (!dismissed->tryAcquire(1, 20))
        if (ending_) return;
}

}  // namespace tracebay::session
