#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/Acquisition.h"
#include "acquisition/Connection.h"
#include "acquisition/ScopeState.h"
#include "link/CommandChannel.h"
#include "link/SerialTransport.h"
#include "link/UsbLibrary.h"
#include "link/UsbTransport.h"
#include "platform/HostServices.h"
#include "platform/SerialPortControl.h"
#include "session/Executor.h"
#include "session/LinkOptions.h"
#include "session/Upload.h"

namespace tracebay::session {

// The one owner of the instrument: the transports, the connection, the screens and the upload.
// Views ask it for operations from any thread; it runs them on its own thread (its worker), one
// at a time and in order, never interleaved: a request that would repeat one in progress is
// refused, any other waits its turn. What happens is told to the observer on the views' thread.
// Messages go through the host of the session's thread, which shows them where the user sees
// them and returns once they are dismissed.
class Session {
public:
    // What the session talks through; all of it belongs to the session's thread.
    struct Link {
        platform::HostServices& host;
        platform::SerialPortControl& port;
        link::UsbLibrary& usb;
    };
    using KeyDone = std::function<void(bool sent)>;

    Session(Link link, Executor& worker, Executor& views, SessionObserver& observer);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Connects over the transport `options` choose; nothing while a connect runs or waits.
    void connect(const LinkOptions& options);
    void disconnect();
    // One upload of `sources`, `leadMs` after its turn comes (the pause a progress window gives
    // before it); nothing while an upload runs or waits, or when no source is ticked.
    void refresh(Sources sources, int leadMs = 0);
    // Uploads one after another until stopped, a part of one does not come, or the link goes;
    // nothing when no source is ticked. While they repeat, the next round fetches `sources`.
    void startRefreshing(Sources sources, int leadMs = 0);
    // The upload in progress ends; no other follows.
    void stopRefreshing();
    // Presses the front-panel key `keyName` (":RUN"); `done` hears whether it went out. The
    // number names the press for withdrawKey.
    uint64_t pressKey(std::string_view keyName, KeyDone done = {});
    // A press that has not gone out yet never does.
    void withdrawKey(uint64_t press);
    // Ends the session after the operation in progress and what waits besides uploads and keys:
    // the keys unlocked, the port closed; every later request is refused.
    void close();

    State state() const { return state_.load(); }
    // Nothing runs and nothing waits its turn.
    bool idle() const;
    // An upload runs (or uploads repeat); an upload waits its turn.
    bool uploadRunning() const;
    bool uploadWaiting() const;
    // `then` runs on the views' thread once the session is idle (at once when it is).
    void whenIdle(std::function<void()> then);
    bool repeating() const { return repeating_.load(); }

private:
    enum class Kind { Connect, Disconnect, Refresh, Key, Close };
    struct Operation {
        Kind kind;
        LinkOptions options{};
        Sources sources{};
        int leadMs = 0;
        std::string key{};
        KeyDone done{};
        uint64_t id = 0;
    };
    class ProgressRelay;

    void request(Operation operation);
    bool refused(Kind kind) const;
    std::optional<Operation> next();
    void drain();
    void tellIdle();
    void run(Operation& operation);
    void runConnect(const LinkOptions& options);
    void runDisconnect();
    void runRefresh(const Sources& sources, int leadMs);
    void runKey(const Operation& operation);
    void runClose();
    void linkLost(const link::LinkError& error);
    void abandoned(const Operation& operation);
    void finishUpload(Upload upload);
    void nextRound();
    Identity identity() const;
    void setState(State state);
    void setRepeating(bool on);
    void notify(std::function<void()> work) { views_.post(std::move(work)); }
    void message(const std::string& text, const std::string& caption);

    platform::HostServices& host_;
    Executor& worker_;
    Executor& views_;
    SessionObserver& observer_;
    link::SerialTransport serial_;
    link::UsbTransport usb_;
    link::CommandChannel channel_;
    acquisition::Connection connection_;
    std::unique_ptr<ProgressRelay> progress_;
    acquisition::Acquisition acquisition_;
    // The last screen uploaded: what the next upload starts from.
    Screen last_;
    // Runs the next upload while uploads repeat.
    std::unique_ptr<platform::HostTimer> LiveTimer;

    mutable std::mutex mutex_;
    std::deque<Operation> queue_;
    std::optional<Kind> current_;
    bool closing_ = false;
    std::vector<std::function<void()>> idleWaiters_;
    uint64_t lastKeyId_ = 0;
    Sources repeatSources_;
    int repeatLeadMs_ = 0;
    std::atomic<State> state_{State::Disconnected};
    std::atomic<bool> repeating_{false};
    bool draining_ = false;  // the session's thread only
};

}  // namespace tracebay::session
