#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QDialog;

namespace tracebay::platform {

enum class MessageIcon { Exclamation, Question };

// A window timer: while enabled it runs its handler every interval. A tick that falls due while
// the thread is busy runs once when it is free again; a handler is never re-entered by its own
// timer.
class HostTimer {
public:
    virtual ~HostTimer() = default;

    // Changing the interval of an enabled timer starts its count again.
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    // Enabling starts the count from now.
    virtual void setEnabled(bool enabled) = 0;
    virtual bool enabled() const = 0;
    void setHandler(std::function<void()> handler) { handler_ = std::move(handler); }

protected:
    void fire() {
        if (handler_) handler_();
    }

private:
    std::function<void()> handler_;
};

// What the program takes from the thread it runs on: event pumping, blocking sleeps, modal
// messages and windows, timers, and the 100 ms reply tick that times every wait for the
// instrument. Production code runs on Qt; tests run on a virtual clock.
class HostServices {
public:
    static constexpr int ReplyTickMs = 100;

    virtual ~HostServices() = default;

    // Runs whatever is pending: serial receive events, timer ticks, user input.
    virtual void processEvents() = 0;
    // Waits until something happens (bytes on a port, a timer, the reply tick) and runs it; the
    // reply tick bounds the wait while a handler for it is set.
    virtual void awaitEvents() = 0;
    // Blocks the thread; nothing is processed meanwhile.
    virtual void sleepMs(int ms) = 0;
    // The time of day, for what the program stamps: when an upload was made.
    virtual std::chrono::system_clock::time_point wallClock() const = 0;
    virtual void showMessage(const std::string& text, const std::string& caption,
                             MessageIcon icon) = 0;
    // The handler runs on every reply tick until it is replaced or cleared with nullptr.
    virtual void setReplyTickHandler(std::function<void()> handler) = 0;
    // A new timer, disabled, with an interval of 0.
    virtual std::unique_ptr<HostTimer> createTimer() = 0;
    // Shows `dialog` modally and returns its result once it is closed; events are processed
    // meanwhile.
    virtual int runModal(QDialog& dialog) = 0;

    // The program is to end at once: every wait for the instrument gives up when `giveUp` says
    // so.
    void setGiveUp(std::function<bool()> giveUp) { giveUp_ = std::move(giveUp); }
    bool givingUp() const { return giveUp_ && giveUp_(); }

    // A message box or a modal window of this host is open.
    bool modalOpen() const { return modalDepth_ > 0; }
    // Runs `then` from the event loop once no message box or modal window of this host is open
    // (soon, when none is).
    void whenNoModal(std::function<void()> then);
    // The program is ending: every open box is answered with its default (OK), every modal
    // window closed as Cancel closes it, and a later one is answered at once without waiting
    // for anyone.
    virtual void endModals() = 0;

protected:
    // A message box or modal window is open for the lifetime of this.
    class ModalScope {
    public:
        explicit ModalScope(HostServices& host) : host_(host) { ++host_.modalDepth_; }
        ~ModalScope();
        ModalScope(const ModalScope&) = delete;
        ModalScope& operator=(const ModalScope&) = delete;

    private:
        HostServices& host_;
    };

    // Runs `work` from the event loop, after what is pending now.
    virtual void postToEventLoop(std::function<void()> work) = 0;

private:
    std::function<bool()> giveUp_;
    int modalDepth_ = 0;
    std::vector<std::function<void()>> afterModals_;
};

}  // namespace tracebay::platform
