#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/Connection.h"
#include "acquisition/ScopeState.h"
#include "acquisition/Sources.h"
#include "link/LinkError.h"

namespace tracebay::session {

// The traces an upload fetches: the four source check boxes.
using Sources = acquisition::Sources;
// A screen as an upload brought it; nobody changes it once it is published, so that every view
// and the history may keep it.
using Screen = std::shared_ptr<const acquisition::ScopeState>;

// Who answered the identity query.
struct Identity {
    std::string maker;
    std::string model;
    std::string serial;
    std::string firmware;  // without the line end a USB reply carries
    bool hasLogicAnalyzer = false;
};

// A finished upload: the screen as it came.
struct Upload {
    Screen screen;  // Captured and Instrument say when and from what
    // What nobody has been told yet of the parts that did not come ("CH2: no data
    // (time-out)"); a view says it once.
    std::vector<std::string> untold;
    // The link went away during the upload; the screen holds what came before.
    std::optional<link::LinkError> lost;

    // The untold parts as one message, a line each.
    std::string untoldText() const {
        std::string text;
        for (const std::string& line : untold) text += (text.empty() ? "" : "\r") + line;
        return text;
    }
};

// The session's one state.
enum class State { Disconnected, Connecting, Connected, Uploading, Closing };

// What a session tells its views, on their thread.
class SessionObserver {
public:
    virtual ~SessionObserver() = default;
    virtual void stateChanged(State) {}
    // A connect ended: how, and who answered as far as the identity reply got.
    virtual void connectFinished(acquisition::ConnectOutcome, const Identity&) {}
    // Uploads repeat, or stopped repeating.
    virtual void repeatingChanged(bool) {}
    virtual void progressValue(double) {}
    // What the progress bar's animation adds per tick while a block is awaited; 0 stops it.
    virtual void progressStep(int) {}
    // The upload in progress asked for `asked` and fetches `settled` (a trace the instrument
    // refused is left out; X-Y adds both channels); told before its blocks are read.
    virtual void sourcesSettled(const Sources& /*asked*/, const Sources& /*settled*/) {}
    virtual void uploaded(const Upload&) {}
    // The session has closed: the port is closed and nothing more will run.
    virtual void closed() {}
};

}  // namespace tracebay::session
