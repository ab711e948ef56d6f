#pragma once

#include <functional>
#include <string>

namespace tracebay::platform {

enum class MessageIcon { Exclamation, Question };

// What the program takes from its host: event pumping, blocking sleeps, modal messages and
// the 100 ms reply tick that times every wait for the instrument. Production code runs on Qt;
// tests run on a virtual clock.
class HostServices {
public:
    static constexpr int ReplyTickMs = 100;

    virtual ~HostServices() = default;

    // Runs whatever is pending: serial receive events, timer ticks, user input.
    virtual void processEvents() = 0;
    // Blocks the thread; nothing is processed meanwhile.
    virtual void sleepMs(int ms) = 0;
    virtual void showMessage(const std::string& text, const std::string& caption,
                             MessageIcon icon) = 0;
    // The handler runs on every reply tick until it is replaced or cleared with nullptr.
    virtual void setReplyTickHandler(std::function<void()> handler) = 0;
};

}  // namespace tracebay::platform
