#pragma once

#include <optional>
#include <string_view>

#include "acquisition/Connection.h"
#include "acquisition/ScopeState.h"
#include "link/CommandChannel.h"

namespace tracebay::acquisition {

// The source check boxes: the upload unticks a trace the instrument refuses, and ticks both
// channels for an X-Y screen.
class TraceChecks {
public:
    virtual ~TraceChecks() = default;
    // index: 0 CH1, 1 CH2, 2 MATH, 3 LA
    virtual void setTraceChecked(int index, bool checked) = 0;
};

// Where an upload shows its progress: the bar's value, and the animation that moves the bar by
// ProgressStep while a serial block is awaited.
class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void setProgressValue(double value) = 0;
    virtual void setAnimation(bool on) = 0;
};

// One upload of the instrument's screen: the settings snapshot, then the sample blocks of the
// ticked traces, into slot WindowIndex.
class Acquisition {
public:
    static constexpr double ProgressMaximum = 100;
    static constexpr int AnalogProgressStep = 3;
    static constexpr int SlowProgressStep = 1;
    static constexpr int AlternationSourcePauseMs = 100;
    static constexpr int UploadEndPauseMs = 200;
    static constexpr std::string_view SystemBlockPart = "SystemBlock";

    Acquisition(link::CommandChannel& channel, const Connection& connection, ScopeStates& states,
                TraceChecks& checks, ProgressView& progress)
        : channel_(channel),
          connection_(connection),
          states_(states),
          checks_(checks),
          progress_(progress) {}

    // What the progress window runs once per upload: the trigger status, AcquireScope, and a
    // pause before it reports that it is done.
    void RunUpload();
    void AcquireScope();
    void ReadSystemBlock();
    // Receives a block the caller has asked for into `target` and notes in the slot's Parts
    // whether it came. Only a whole block long enough for the screen counts; any other leaves
    // `target` as it was.
    void TransferSource(ScopeState::Samples& target, double progressValue, bool noClamp,
                        std::string_view sourceLabel);

    bool TransferBusy = false;
    bool TransferDone = false;
    int ProgressStep = 0;

private:
    ScopeState& slot() { return states_[WindowIndex]; }
    std::string query(std::string_view command);
    void send(std::string_view command) { channel_.SendCommand(std::string(command)); }
    bool traceAccepted(std::string_view channelHeader, bool& show, int checkIndex);
    int selectTraces(std::string& mathState, std::string& fftState);
    void readFormat();
    void readTexts();
    void transferTraces(double share);
    // The block's bytes into RawSamples; how many, or nothing and why when it did not come
    // whole or is too short for the screen.
    std::optional<int32_t> receiveBlock(std::string_view source, std::string& why);
    std::optional<int32_t> readBlock(std::string& why);
    // Why the system block did not come whole; empty when it did.
    std::string receiveSystemBlock();
    // Why the awaited serial block did not come; empty when it did.
    std::string awaitSerialBlock();
    void notePart(std::string_view name, std::string failure);

    link::CommandChannel& channel_;
    const Connection& connection_;
    ScopeStates& states_;
    TraceChecks& checks_;
    ProgressView& progress_;
};

}  // namespace tracebay::acquisition
