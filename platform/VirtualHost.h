#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/HostServices.h"

namespace tracebay::platform {

// Host services on a virtual clock, for tests and headless runs: nothing ever blocks. Each event
// pump advances the clock by a fixed step, runs the actions scheduled up to then and the reply
// tick when one is due; sleeps advance the clock without running anything. Every message and
// sleep is recorded.
class VirtualHost : public HostServices {
public:
    struct Message {
        std::string text;
        std::string caption;
        MessageIcon icon;
    };

    explicit VirtualHost(int64_t pumpStepMs = 1) : pumpStepMs_(pumpStepMs) {}

    void processEvents() override;
    void sleepMs(int ms) override;
    void showMessage(const std::string& text, const std::string& caption,
                     MessageIcon icon) override;
    void setReplyTickHandler(std::function<void()> handler) override;

    // Runs `action` in the first event pump at or after virtual time `atMs`.
    void at(int64_t atMs, std::function<void()> action);
    // Runs `action` in the first event pump `delayMs` from now.
    void after(int64_t delayMs, std::function<void()> action) { at(nowMs_ + delayMs, action); }
    // Runs `action` in every event pump, after the scheduled actions.
    void onEveryPump(std::function<void()> action) { everyPump_ = std::move(action); }
    // Runs `action` whenever a message is shown, after it has been recorded.
    void onMessage(std::function<void(const Message&)> action) { onMessage_ = std::move(action); }

    int64_t nowMs() const { return nowMs_; }
    int64_t pumps() const { return pumps_; }
    const std::vector<Message>& messages() const { return messages_; }
    const std::vector<int>& sleeps() const { return sleeps_; }
    void clearRecords();

private:
    void runDueTick();

    int64_t pumpStepMs_;
    int64_t nowMs_ = 0;
    int64_t nextTickMs_ = ReplyTickMs;
    int64_t pumps_ = 0;
    std::function<void()> tickHandler_;
    std::multimap<int64_t, std::function<void()>> scheduled_;
    std::function<void()> everyPump_;
    std::function<void(const Message&)> onMessage_;
    std::vector<Message> messages_;
    std::vector<int> sleeps_;
};

}  // namespace tracebay::platform
