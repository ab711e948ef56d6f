#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/HostServices.h"

namespace tracebay::platform {

// Host services on a virtual clock, for tests and headless runs: nothing ever blocks. Each event
// pump advances the clock by a fixed step, runs the actions scheduled up to then, the timers and
// the reply tick that are due; sleeps advance the clock without running anything. Every message
// and sleep is recorded.
class VirtualHost : public HostServices {
public:
    struct Message {
        std::string text;
        std::string caption;
        MessageIcon icon;
    };
    // How long a modal window may stay open before runModal gives up on it and closes it.
    static constexpr int64_t ModalLimitMs = 3'600'000;

    explicit VirtualHost(int64_t pumpStepMs = 1) : pumpStepMs_(pumpStepMs) {}
    ~VirtualHost() override;

    void processEvents() override;
    // Nothing blocks on a virtual clock: one pump.
    void awaitEvents() override { processEvents(); }
    void sleepMs(int ms) override;
    // The virtual clock's time from Start, a moment of its own.
    std::chrono::system_clock::time_point wallClock() const override {
        return Start + std::chrono::milliseconds(nowMs_);
    }
    static constexpr std::chrono::system_clock::time_point Start{
        std::chrono::seconds(1'796'000'000)};  // 2026-11-30T00:53:20Z
    void showMessage(const std::string& text, const std::string& caption,
                     MessageIcon icon) override;
    void setReplyTickHandler(std::function<void()> handler) override;
    std::unique_ptr<HostTimer> createTimer() override;
    // Shows the dialog and pumps until it is closed; scheduled actions play the user.
    int runModal(QDialog& dialog) override;
    void endModals() override;

    // Runs `action` in the first event pump at or after virtual time `atMs`.
    void at(int64_t atMs, std::function<void()> action);
    // Runs `action` in the first event pump `delayMs` from now.
    void after(int64_t delayMs, std::function<void()> action) { at(nowMs_ + delayMs, action); }
    // Runs `action` in every event pump, after the scheduled actions.
    void onEveryPump(std::function<void()> action) { everyPump_ = std::move(action); }
    // Runs `action` whenever a message is shown, after it has been recorded.
    void onMessage(std::function<void(const Message&)> action) { onMessage_ = std::move(action); }
    // Pumps events until `ms` of virtual time have passed.
    void advance(int64_t ms);

    int64_t nowMs() const { return nowMs_; }
    int64_t pumps() const { return pumps_; }
    const std::vector<Message>& messages() const { return messages_; }
    const std::vector<int>& sleeps() const { return sleeps_; }
    void clearRecords();

protected:
    // Runs at the next event pump.
    void postToEventLoop(std::function<void()> work) override { after(0, std::move(work)); }

private:
    class Timer;
    friend class Timer;

    void runDueTick();
    void runDueTimers();

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
    // Live timers by creation number, so that a handler may create or destroy timers.
    std::map<int, Timer*> timers_;
    int nextTimerId_ = 0;
    std::vector<QDialog*> open_;
    bool ending_ = false;
};

}  // namespace tracebay::platform
