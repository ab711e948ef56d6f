#include "platform/VirtualHost.h"

namespace tracebay::platform {

void VirtualHost::processEvents() {
    ++pumps_;
    nowMs_ += pumpStepMs_;
    while (!scheduled_.empty() && scheduled_.begin()->first <= nowMs_) {
        auto action = std::move(scheduled_.begin()->second);
        scheduled_.erase(scheduled_.begin());
        action();
    }
    if (everyPump_) everyPump_();
    runDueTick();
}

// A timer that fell due several times while the thread was busy fires once, as a window timer
// does; the next tick then follows one interval later.
void VirtualHost::runDueTick() {
    if (nowMs_ < nextTickMs_) return;
    nextTickMs_ = (nowMs_ / ReplyTickMs + 1) * ReplyTickMs;
    if (tickHandler_) tickHandler_();
}

void VirtualHost::sleepMs(int ms) {
    sleeps_.push_back(ms);
    if (ms > 0) nowMs_ += ms;
}

void VirtualHost::showMessage(const std::string& text, const std::string& caption,
                              MessageIcon icon) {
    messages_.push_back({text, caption, icon});
    if (onMessage_) onMessage_(messages_.back());
}

void VirtualHost::setReplyTickHandler(std::function<void()> handler) {
    tickHandler_ = std::move(handler);
}

void VirtualHost::at(int64_t atMs, std::function<void()> action) {
    scheduled_.emplace(atMs, std::move(action));
}

void VirtualHost::clearRecords() {
    messages_.clear();
    sleeps_.clear();
}

}  // namespace tracebay::platform
