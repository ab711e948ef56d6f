#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/Connection.h"
#include "acquisition/ScopeState.h"
#include "acquisition/Sources.h"
#include "link/CommandChannel.h"

namespace tracebay::acquisition {

// Where an upload shows its progress: the bar's value, the animation that moves the bar by a
// step per tick while a block is awaited (0: stopped), and the traces the snapshot settled on
// before any block is read.
class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void setProgressValue(double value) = 0;
    virtual void setProgressStep(int step) = 0;
    // The upload asked for `asked` and fetches `settled`: without the traces the instrument
    // refused, with both channels for X-Y.
    virtual void sourcesSettled(const Sources& asked, const Sources& settled) = 0;
};

// One upload of the instrument's screen: the settings snapshot, then the sample blocks of the
// ticked traces. The upload unticks a trace the instrument refuses, and ticks both channels for
// an X-Y screen. A link that goes away ends it with LinkLost.
class Acquisition {
public:
    static constexpr double ProgressMaximum = 100;
    static constexpr int AnalogProgressStep = 3;
    static constexpr int SlowProgressStep = 1;
    static constexpr int AlternationSourcePauseMs = 100;
    static constexpr int UploadEndPauseMs = 200;
    static constexpr std::string_view SystemBlockPart = "SystemBlock";

    static constexpr size_t BlockCapacity = ScopeState::SampleCount - 1;
    static constexpr size_t SystemBlockCapacity = 4096;

    Acquisition(link::CommandChannel& channel, const Connection& connection, ProgressView& progress)
        : channel_(channel), connection_(connection), progress_(progress) {}

    // One upload into `slot`, which says what to upload: the trigger status, AcquireScope, and a
    // pause at the end. Returns what the user has not been told of the parts that did not come
    // ("CH2: no data (time-out)"). A lost link leaves every part it did not get noted with why.
    std::vector<std::string> RunUpload(ScopeState& slot);
    // The screen the steps below work on.
    void useSlot(ScopeState& slot) { slot_ = &slot; }
    void AcquireScope();
    void ReadSystemBlock();
    // Receives a block the caller has asked for into `target` and notes in the slot's Parts
    // whether it came. Only a whole block long enough for the screen counts; any other leaves
    // `target` as it was.
    void TransferSource(ScopeState::Samples& target, double progressValue, bool noClamp,
                        std::string_view sourceLabel);

private:
    ScopeState& slot() { return *slot_; }
    std::string query(std::string_view command);
    void send(std::string_view command) { channel_.SendCommand(std::string(command)); }
    bool traceAccepted(std::string_view channelHeader, bool& show);
    int selectTraces(std::string& mathState, std::string& fftState);
    void readFormat();
    void readTexts();
    void transferTraces(double share);
    // A block the caller has asked for; a failure when it did not come whole or is shorter
    // than `needed`.
    link::Reply<link::Bytes> readAtLeast(size_t capacity, size_t needed,
                                         link::CommandChannel::ReadFailures failures);
    void notePart(std::string_view name, const std::optional<link::LinkError>& failure);

    link::CommandChannel& channel_;
    const Connection& connection_;
    ProgressView& progress_;
    // What the animation adds per tick while a block is awaited; kept from one upload to the next.
    int ProgressStep = 0;
    ScopeState* slot_ = nullptr;
    std::vector<std::string> untold_;
};

}  // namespace tracebay::acquisition
