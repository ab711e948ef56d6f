#include "platform/VirtualHost.h"

#include <QDialog>

namespace tracebay::platform {

class VirtualHost::Timer : public HostTimer {
public:
    Timer(VirtualHost& host, int id) : host_(&host), id_(id) {}
    ~Timer() override {
        if (host_) host_->timers_.erase(id_);
    }

    void setInterval(int ms) override {
        interval_ = ms < 0 ? 0 : ms;
        if (enabled_) restart();
    }
    int interval() const override { return interval_; }
    void setEnabled(bool enabled) override {
        enabled_ = enabled;
        if (enabled_) restart();
    }
    bool enabled() const override { return enabled_; }

    // Runs the handler once when due; the next tick is one interval after this one.
    void runIfDue() {
        if (!enabled_ || firing_ || host_->nowMs_ < dueMs_) return;
        dueMs_ = host_->nowMs_ + std::max(interval_, 1);
        firing_ = true;
        fire();
        firing_ = false;
    }
    void forgetHost() { host_ = nullptr; }

private:
    void restart() { dueMs_ = host_ ? host_->nowMs_ + std::max(interval_, 1) : 0; }

    VirtualHost* host_;
    int id_;
    int interval_ = 0;
    bool enabled_ = false;
    bool firing_ = false;
    int64_t dueMs_ = 0;
};

VirtualHost::~VirtualHost() {
    for (auto& [id, timer] : timers_) timer->forgetHost();
}

void VirtualHost::processEvents() {
    ++pumps_;
    nowMs_ += pumpStepMs_;
    while (!scheduled_.empty() && scheduled_.begin()->first <= nowMs_) {
        auto action = std::move(scheduled_.begin()->second);
        scheduled_.erase(scheduled_.begin());
        action();
    }
    if (everyPump_) everyPump_();
    runDueTimers();
    runDueTick();
}

// A timer that fell due several times while the thread was busy fires once, as a window timer
// does; the next tick then follows one interval later.
void VirtualHost::runDueTick() {
    if (nowMs_ < nextTickMs_) return;
    nextTickMs_ = (nowMs_ / ReplyTickMs + 1) * ReplyTickMs;
    if (tickHandler_) tickHandler_();
}

void VirtualHost::runDueTimers() {
    std::vector<int> ids;
    for (const auto& [id, timer] : timers_) ids.push_back(id);
    for (const int id : ids) {
        // A handler that ran before may have destroyed this timer.
        const auto found = timers_.find(id);
        if (found != timers_.end()) found->second->runIfDue();
    }
}

void VirtualHost::sleepMs(int ms) {
    sleeps_.push_back(ms);
    if (ms > 0) nowMs_ += ms;
}

// The box is open while the action that plays its reader runs.
void VirtualHost::showMessage(const std::string& text, const std::string& caption,
                              MessageIcon icon) {
    const ModalScope open(*this);
    messages_.push_back({text, caption, icon});
    if (onMessage_ && !ending_) onMessage_(messages_.back());
}

void VirtualHost::setReplyTickHandler(std::function<void()> handler) {
    tickHandler_ = std::move(handler);
}

std::unique_ptr<HostTimer> VirtualHost::createTimer() {
    const int id = nextTimerId_++;
    auto timer = std::make_unique<Timer>(*this, id);
    timers_[id] = timer.get();
    return timer;
}

int VirtualHost::runModal(QDialog& dialog) {
    if (ending_) return QDialog::Rejected;
    const ModalScope open(*this);
    open_.push_back(&dialog);
    dialog.setModal(true);
    dialog.show();
    const int64_t limit = nowMs_ + ModalLimitMs;
    while (dialog.isVisible() && nowMs_ < limit) processEvents();
    if (dialog.isVisible()) dialog.reject();
    open_.pop_back();
    return dialog.result();
}

void VirtualHost::endModals() {
    ending_ = true;
    for (QDialog* dialog : open_) dialog->reject();
}

void VirtualHost::advance(int64_t ms) {
    const int64_t until = nowMs_ + ms;
    while (nowMs_ < until) processEvents();
}

void VirtualHost::at(int64_t atMs, std::function<void()> action) {
    scheduled_.emplace(atMs, std::move(action));
}

void VirtualHost::clearRecords() {
    messages_.clear();
    sleeps_.clear();
}

}  // namespace tracebay::platform
