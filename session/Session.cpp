#include "session/Session.h"

#include <algorithm>

#include "acquisition/CaptureTime.h"
#include "acquisition/Commands.h"

namespace tracebay::session {

using acquisition::ScopeState;
namespace Cmd = acquisition::QM1000Cmd;

namespace {

constexpr int LiveTimerMs = 1;
constexpr const char* Title = "TraceBay";
constexpr const char* PleaseConnect = "Please Connect Oscilloscope First";

}  // namespace

// The upload reports its progress on the session's thread; the views hear of it on theirs.
class Session::ProgressRelay : public acquisition::ProgressView {
public:
    explicit ProgressRelay(Session& session) : session_(session) {}
    void setProgressValue(double value) override {
        session_.notify([this, value] { session_.observer_.progressValue(value); });
    }
    void setProgressStep(int step) override {
        session_.notify([this, step] { session_.observer_.progressStep(step); });
    }
    void sourcesSettled(const Sources& asked, const Sources& settled) override {
        session_.notify(
            [this, asked, settled] { session_.observer_.sourcesSettled(asked, settled); });
    }

private:
    Session& session_;
};

Session::Session(Link link, Executor& worker, Executor& views, SessionObserver& observer)
    : host_(link.host),
      worker_(worker),
      views_(views),
      observer_(observer),
      serial_(link.host, link.port),
      usb_(link.host, link.usb),
      channel_(link.host, usb_),
      connection_(channel_),
      progress_(std::make_unique<ProgressRelay>(*this)),
      acquisition_(channel_, connection_, *progress_),
      LiveTimer(link.host.createTimer()) {
    LiveTimer->setInterval(LiveTimerMs);
    LiveTimer->setHandler([this] { nextRound(); });
}

Session::~Session() = default;

void Session::connect(const LinkOptions& options) { request({Kind::Connect, options}); }

void Session::disconnect() { request({Kind::Disconnect}); }

void Session::refresh(Sources sources, int leadMs) {
    if (sources.any()) request({Kind::Refresh, {}, sources, leadMs});
}

// While uploads repeat, this changes what the next round fetches.
void Session::startRefreshing(Sources sources, int leadMs) {
    if (!sources.any()) return;
    {
        std::lock_guard lock(mutex_);
        repeatSources_ = sources;
        repeatLeadMs_ = leadMs;
    }
    setRepeating(true);
    refresh(sources, leadMs);
}

void Session::stopRefreshing() { setRepeating(false); }

uint64_t Session::pressKey(std::string_view keyName, KeyDone done) {
    uint64_t id = 0;
    {
        std::lock_guard lock(mutex_);
        id = ++lastKeyId_;
    }
    request(
        {Kind::Key, {}, {}, 0, std::string(Cmd::KEY) + std::string(keyName), std::move(done), id});
    return id;
}

void Session::withdrawKey(uint64_t press) {
    std::lock_guard lock(mutex_);
    std::erase_if(queue_,
                  [press](const Operation& o) { return o.kind == Kind::Key && o.id == press; });
}

// What has not started yet of the uploads and keys is dropped: closing does not wait for it.
void Session::close() {
    setRepeating(false);
    std::vector<KeyDone> dropped;
    {
        std::lock_guard lock(mutex_);
        std::erase_if(queue_, [&dropped](Operation& o) {
            if (o.kind != Kind::Key && o.kind != Kind::Refresh) return false;
            if (o.done) dropped.push_back(std::move(o.done));
            return true;
        });
    }
    for (KeyDone& done : dropped) notify([done = std::move(done)] { done(false); });
    request({Kind::Close});
}

bool Session::idle() const {
    std::lock_guard lock(mutex_);
    return queue_.empty() && !current_;
}

bool Session::uploadRunning() const {
    std::lock_guard lock(mutex_);
    return current_ == Kind::Refresh || repeating_;
}

bool Session::uploadWaiting() const {
    std::lock_guard lock(mutex_);
    return std::any_of(queue_.begin(), queue_.end(),
                       [](const Operation& o) { return o.kind == Kind::Refresh; });
}

void Session::whenIdle(std::function<void()> then) {
    {
        std::lock_guard lock(mutex_);
        if (!queue_.empty() || current_) {
            idleWaiters_.push_back(std::move(then));
            return;
        }
    }
    notify(std::move(then));
}

void Session::tellIdle() {
    std::vector<std::function<void()>> waiting;
    {
        std::lock_guard lock(mutex_);
        if (!queue_.empty() || current_) return;
        waiting.swap(idleWaiters_);
    }
    for (auto& then : waiting) notify(std::move(then));
}

bool Session::refused(Kind kind) const {
    if (closing_) return true;
    if (kind != Kind::Connect && kind != Kind::Refresh) return false;
    const bool queued = std::any_of(queue_.begin(), queue_.end(),
                                    [kind](const Operation& o) { return o.kind == kind; });
    return queued || current_ == kind;
}

void Session::request(Operation operation) {
    {
        std::lock_guard lock(mutex_);
        if (refused(operation.kind)) {
            // A press that never goes out is told so all the same.
            if (operation.done) notify([done = std::move(operation.done)] { done(false); });
            return;
        }
        if (operation.kind == Kind::Close) closing_ = true;
        queue_.push_back(std::move(operation));
    }
    worker_.post([this] { drain(); });
}

std::optional<Session::Operation> Session::next() {
    std::lock_guard lock(mutex_);
    current_.reset();
    if (queue_.empty()) return std::nullopt;
    Operation operation = std::move(queue_.front());
    queue_.pop_front();
    current_ = operation.kind;
    return operation;
}

// A request made while an operation runs (from a wait inside it, on this thread) finds the
// drain busy and waits its turn in the queue.
void Session::drain() {
    if (draining_) return;
    draining_ = true;
    while (auto operation = next()) run(*operation);
    draining_ = false;
    tellIdle();
}

void Session::run(Operation& operation) {
    try {
        switch (operation.kind) {
            case Kind::Connect: runConnect(operation.options); break;
            case Kind::Disconnect: runDisconnect(); break;
            case Kind::Refresh: runRefresh(operation.sources, operation.leadMs); break;
            case Kind::Key: runKey(operation); break;
            case Kind::Close: runClose(); break;
        }
    } catch (const link::Abandoned&) {
        abandoned(operation);
    } catch (const link::LinkLost& lost) {
        if (operation.kind == Kind::Connect)
            notify([this, who = identity()] {
                observer_.connectFinished(acquisition::ConnectOutcome::LinkFailed, who);
            });
        linkLost(lost.error());
        if (operation.done) notify([done = operation.done] { done(false); });
    }
}

void Session::runConnect(const LinkOptions& options) {
    serial_.settings() = {options.ComPort, options.BaudRate, options.SerialDevice};
    channel_.use(options.usesSerial() ? static_cast<link::Transport&>(serial_) : usb_);
    setState(State::Connecting);
    const acquisition::ConnectOutcome outcome = connection_.ConnectScope();
    notify([this, outcome, who = identity()] { observer_.connectFinished(outcome, who); });
    setState(connection_.ScopeConnected ? State::Connected : State::Disconnected);
}

void Session::runDisconnect() {
    connection_.DisconnectScope();
    setState(State::Disconnected);
}

// The upload works on a copy of the last screen: one that the link leaves half-way replaces
// nothing.
void Session::runRefresh(const Sources& sources, int leadMs) {
    if (!connection_.ScopeConnected) {
        // The link went away while this waited; the views hear that nothing runs.
        setRepeating(false);
        setState(state_);
        return;
    }
    setState(State::Uploading);
    ScopeState working = last_ ? *last_ : ScopeState{};
    sources.showIn(working);
    std::vector<std::string> untold;
    try {
        if (leadMs > 0) host_.sleepMs(leadMs);
        working.Captured = acquisition::capturedText(host_.wallClock());
        working.Instrument = connection_.identity();
        untold = acquisition_.RunUpload(working);
    } catch (const link::LinkLost& lost) {
        Upload upload{std::make_shared<const ScopeState>(std::move(working)), {}, lost.error()};
        notify([this, upload = std::move(upload)] { observer_.uploaded(upload); });
        throw;
    }
    working.HasData = true;
    last_ = std::make_shared<const ScopeState>(std::move(working));
    finishUpload({last_, std::move(untold), std::nullopt});
}

// The views have the upload before they hear that the session is free again. A part that did
// not come ends a repetition.
void Session::finishUpload(Upload upload) {
    if (!upload.untold.empty()) setRepeating(false);
    notify([this, upload = std::move(upload)] { observer_.uploaded(upload); });
    setState(State::Connected);
    if (repeating_) LiveTimer->setEnabled(true);
}

void Session::nextRound() {
    LiveTimer->setEnabled(false);
    Sources sources;
    int leadMs = 0;
    {
        std::lock_guard lock(mutex_);
        sources = repeatSources_;
        leadMs = repeatLeadMs_;
    }
    if (repeating_) refresh(sources, leadMs);
}

// A key after the connection ended is answered as the panel's button answers without one.
void Session::runKey(const Operation& operation) {
    if (!connection_.ScopeConnected) message(PleaseConnect, Title);
    const bool sent = connection_.ScopeConnected && channel_.SendCommand(operation.key);
    if (operation.done) notify([done = operation.done, sent] { done(sent); });
}

void Session::runClose() {
    setState(State::Closing);
    LiveTimer->setEnabled(false);
    try {
        if (connection_.ScopeConnected) channel_.SendCommand(Cmd::keyLockEnable());
    } catch (const link::LinkLost&) {
        // Closing goes on without the instrument.
    }
    serial_.close();
    notify([this] { observer_.closed(); });
}

// The program ends at once: what was under way is dropped without a word, and the keys can
// still be unlocked over the link.
void Session::abandoned(const Operation& operation) {
    setRepeating(false);
    setState(connection_.ScopeConnected ? State::Connected : State::Disconnected);
    if (operation.done) notify([done = operation.done] { done(false); });
}

// The operation ends with one message; what the views show and the choices they keep stay.
void Session::linkLost(const link::LinkError& error) {
    connection_.linkLost();
    setRepeating(false);
    if (state_ == State::Closing) return;
    message(error.text(), error.caption);
    setState(State::Disconnected);
}

Identity Session::identity() const {
    const acquisition::InstrumentIdentity who = connection_.identity();
    return {who.Maker, who.Model, who.Serial, who.Firmware, connection_.HasLogicAnalyzer};
}

void Session::setState(State state) {
    state_ = state;
    notify([this, state] { observer_.stateChanged(state); });
}

// Both threads change it: the views hear what holds when the word reaches them.
void Session::setRepeating(bool on) {
    if (repeating_.exchange(on) == on) return;
    notify([this] { observer_.repeatingChanged(repeating_.load()); });
}

void Session::message(const std::string& text, const std::string& caption) {
    host_.showMessage(text, caption, platform::MessageIcon::Exclamation);
}

}  // namespace tracebay::session
