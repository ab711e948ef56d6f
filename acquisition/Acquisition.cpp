#include "acquisition/Acquisition.h"

#include <algorithm>

#include "acquisition/Commands.h"
#include "acquisition/DrawnElements.h"
#include "acquisition/ValueText.h"

namespace tracebay::acquisition {
namespace {

namespace Cmd = QM1000Cmd;
using link::LinkError;
using link::LinkFailure;

constexpr int32_t FirstRow = 26;  // the instrument byte of the top grid line
constexpr int32_t LastRow = 225;  // ... of the bottom grid line

// Instrument bytes as screen rows below the top grid line.
int32_t normalised(int32_t byte, bool noClamp) {
    if (noClamp) return byte - FirstRow;
    return std::clamp(byte, FirstRow, LastRow) - FirstRow;
}

// An upload the link left half-way: every part it asked for and did not get says why.
void noteLostParts(ScopeState& s, const link::LinkError& error) {
    const std::string mathPart = s.FftDisplay == Cmd::ON ? "FFT" : "MATH";
    const std::pair<bool, std::string> parts[] = {{true, std::string(Acquisition::SystemBlockPart)},
                                                  {s.CapturedCh1, "CH1"},
                                                  {s.CapturedCh2, "CH2"},
                                                  {s.CapturedMath, mathPart},
                                                  {s.CapturedLa, "LA"}};
    for (const auto& part : parts) {
        const std::string& name = part.second;
        const bool noted = std::any_of(s.Parts.begin(), s.Parts.end(),
                                       [&name](const auto& p) { return p.name == name; });
        if (part.first && !noted) s.Parts.push_back({name, error.shortfall()});
    }
}

}  // namespace

std::string Acquisition::query(std::string_view command) {
    return TrimAtLineFeed(channel_.QueryCommand(std::string(command)));
}

std::vector<std::string> Acquisition::RunUpload(ScopeState& slot) {
    useSlot(slot);
    untold_.clear();
    // A link lost before the parts are asked for leaves none of the last upload's as if it had
    // come again.
    slot.Parts.clear();
    try {
        channel_.QueryCommand(Cmd::command({Cmd::TRIGGER, Cmd::STATUS, Cmd::QUERY}));
        AcquireScope();
        channel_.host().sleepMs(UploadEndPauseMs);
    } catch (const link::LinkLost& lost) {
        noteLostParts(slot, lost.error());
        throw;
    }
    return std::move(untold_);
}

// The instrument is asked to show each ticked trace; a trace it does not show is unticked.
bool Acquisition::traceAccepted(std::string_view header, bool& show) {
    send(Cmd::command({header, Cmd::DISPLAY}, Cmd::ON));
    if (query(Cmd::command({header, Cmd::DISPLAY, Cmd::QUERY})) == Cmd::ON) return true;
    show = false;
    return false;
}

int Acquisition::selectTraces(std::string& mathState, std::string& fftState) {
    ScopeState& s = slot();
    const std::string mathQuery = Cmd::command({Cmd::MATH, Cmd::DISPLAY, Cmd::QUERY});
    const std::string fftQuery = Cmd::command({Cmd::FFT, Cmd::DISPLAY, Cmd::QUERY});
    mathState = query(mathQuery);
    fftState = query(fftQuery);
    int count = 0;
    if (s.ShowCh1 && traceAccepted(Cmd::CHANNEL1, s.ShowCh1)) ++count;
    if (s.ShowCh2 && traceAccepted(Cmd::CHANNEL2, s.ShowCh2)) ++count;
    if (s.ShowMath) {
        send(Cmd::command({Cmd::MATH, Cmd::DISPLAY}, Cmd::ON));
        mathState = query(mathQuery);
        fftState = query(fftQuery);
        if (mathState == Cmd::ON) {
            ++count;
        } else {
            s.ShowMath = false;
        }
    }
    if (s.ShowLa) {
        if (!connection_.HasLogicAnalyzer) {
            s.ShowLa = false;
        } else if (traceAccepted(Cmd::LA, s.ShowLa)) {
            ++count;
        }
    }
    return count;
}

void Acquisition::AcquireScope() {
    ScopeState& s = slot();
    const Sources asked = Sources::shownIn(s);
    std::string mathState;
    std::string fftState;
    const int count = selectTraces(mathState, fftState);
    const double share = count > 0 ? ProgressMaximum / count : 0;
    s.CapturedCh1 = s.ShowCh1;
    s.CapturedCh2 = s.ShowCh2;
    s.CapturedMath = s.ShowMath;
    s.CapturedLa = s.ShowLa;
    ReadSystemBlock();
    s.TriggerMode = query(Cmd::command({Cmd::TRIGGER, Cmd::MODE, Cmd::QUERY}));
    s.MathDisplay = mathState;
    s.FftDisplay = fftState;
    s.DualScreen = s.TriggerMode == Cmd::ALTERNATION ||
                   (s.FftDisplay == Cmd::ON && s.SystemBlock.FftFullScreen() == 0);
    s.PointCount = 600;
    readFormat();
    progress_.sourcesSettled(asked, Sources::shownIn(s));
    readTexts();
    transferTraces(share);
}

void Acquisition::readFormat() {
    ScopeState& s = slot();
    const std::string format = query(Cmd::command({Cmd::TIMEBASE, Cmd::FORMAT, Cmd::QUERY}));
    s.IsYT = format == "Y-T";
    s.IsXY = format == "X-Y";
    if (!s.IsXY) return;
    // X-Y needs both channels, whatever the user ticked.
    s.ShowCh1 = s.ShowCh2 = s.CapturedCh1 = s.CapturedCh2 = true;
}

void Acquisition::readTexts() {
    ScopeState& s = slot();
    const auto volts = [&](std::string_view channel, std::string_view leaf) {
        return VoltToText(query(Cmd::command({channel, leaf, Cmd::QUERY})));
    };
    if (s.ShowCh1) {
        s.Ch1ScaleText = volts(Cmd::CHANNEL1, Cmd::SCALE);
        s.Ch1OffsetText = volts(Cmd::CHANNEL1, Cmd::OFFSET);
    }
    if (s.ShowCh2) {
        s.Ch2ScaleText = volts(Cmd::CHANNEL2, Cmd::SCALE);
        s.Ch2OffsetText = volts(Cmd::CHANNEL2, Cmd::OFFSET);
    }
    if (s.TriggerMode != Cmd::ALTERNATION) {
        s.TimeScaleText = TimeToText(query(Cmd::command({Cmd::TIMEBASE, Cmd::SCALE, Cmd::QUERY})));
        s.TimeOffsetText =
            TimeToText(query(Cmd::command({Cmd::TIMEBASE, Cmd::OFFSET, Cmd::QUERY})));
        return;
    }
    // Each half of the alternate trigger has its time base; the source picks which one the
    // queries read, and the instrument needs a moment to switch.
    const auto alternateTimebase = [&](std::string_view source, std::string& scale,
                                       std::string& offset) {
        send(Cmd::alternation(Cmd::SOURCE, source));
        channel_.host().sleepMs(AlternationSourcePauseMs);
        scale = TimeToText(query(Cmd::alternation(Cmd::TIMESCALE) + std::string(Cmd::QUERY)));
        offset = TimeToText(query(Cmd::alternation(Cmd::TIMEOFFSET) + std::string(Cmd::QUERY)));
    };
    alternateTimebase(Cmd::SRC_CHANNEL1, s.AltCh1TimeScaleText, s.AltCh1TimeOffsetText);
    alternateTimebase(Cmd::SRC_CHANNEL2, s.AltCh2TimeScaleText, s.AltCh2TimeOffsetText);
}

void Acquisition::transferTraces(double share) {
    ScopeState& s = slot();
    const auto fetch = [&](std::string_view source, ScopeState::Samples& target, double value,
                           bool noClamp, std::string_view label) {
        send(Cmd::waveformData(source));
        TransferSource(target, value, noClamp, label);
    };
    if (s.IsYT) {
        double p = share;
        if (s.ShowCh1) {
            ProgressStep = AnalogProgressStep;
            fetch(Cmd::SRC_CHANNEL1, s.Ch1Samples, p, false, "CH1");
            p += share;
        }
        if (s.ShowCh2) {
            ProgressStep = AnalogProgressStep;
            fetch(Cmd::SRC_CHANNEL2, s.Ch2Samples, p, false, "CH2");
            p += share;
        }
        if (s.ShowMath) {
            if (s.FftDisplay == Cmd::ON) {
                ProgressStep = SlowProgressStep;
                fetch(Cmd::SRC_FFT, s.FftSamples, p, false, "FFT");
            } else {
                ProgressStep = AnalogProgressStep;
                fetch(Cmd::SRC_MATH, s.MathSamples, p, false, "MATH");
            }
            p += share;
        }
        if (s.ShowLa) {
            ProgressStep = SlowProgressStep;
            fetch(Cmd::SRC_DIGITAL, s.LaSamples, ProgressMaximum, false, "LA");
        }
    } else if (s.IsXY) {
        fetch(Cmd::SRC_CHANNEL1, s.Ch1Samples, 50, true, "CH1");
        fetch(Cmd::SRC_CHANNEL2, s.Ch2Samples, 100, false, "CH2");
    }
}

link::Reply<link::Bytes> Acquisition::readAtLeast(size_t capacity, size_t needed,
                                                  link::CommandChannel::ReadFailures failures) {
    if (channel_.transport().blocksTakeTheLinesTime()) progress_.setProgressStep(ProgressStep);
    auto reply = channel_.ReadBlock(capacity, failures);
    if (!reply.error && reply.value.size() < needed)
        reply.error = LinkError{LinkFailure::TooShort, {}, {}, reply.value.size(), needed};
    return reply;
}

// A part's failure the user was not shown at once is named when the upload ends.
void Acquisition::notePart(std::string_view name, const std::optional<LinkError>& failure) {
    const std::string why = failure ? failure->shortfall() : std::string();
    slot().Parts.push_back({std::string(name), why});
    if (failure && !failure->shown()) untold_.push_back(slot().Parts.back().shortfall());
}

void Acquisition::TransferSource(ScopeState::Samples& target, double progressValue, bool noClamp,
                                 std::string_view sourceLabel) {
    // A block that ends before the screen's last sample would be drawn from zeros at its end.
    const auto needed = static_cast<size_t>(drawnBlockLength(sourceLabel, slot()));
    const auto reply =
        readAtLeast(BlockCapacity, needed, link::CommandChannel::ReadFailures::Shown);
    progress_.setProgressValue(progressValue);
    progress_.setProgressStep(0);
    notePart(sourceLabel, reply.error);
    if (reply.error) return;
    // Only this block's bytes: what lies past its end belonged to another source.
    ScopeState::Samples samples(ScopeState::SampleCount, 0);
    const bool logic = sourceLabel == "LA";
    for (size_t i = 1; i <= reply.value.size(); ++i) {
        const int32_t byte = reply.value[i - 1];
        samples[i] = logic ? byte : normalised(byte, noClamp);
    }
    target = std::move(samples);
}

// The record keeps the first 112 bytes; a later firmware may send more. A shorter block leaves
// the record as it was.
void Acquisition::ReadSystemBlock() {
    send(Cmd::command({Cmd::SYSTEM, Cmd::DATA, Cmd::QUERY}));
    const auto reply = readAtLeast(SystemBlockCapacity, SystemBlock::Size,
                                   link::CommandChannel::ReadFailures::Quiet);
    progress_.setProgressStep(0);
    if (!reply.error)
        std::copy_n(reply.value.begin(), SystemBlock::Size, slot().SystemBlock.bytes.begin());
    notePart(SystemBlockPart, reply.error);
}

}  // namespace tracebay::acquisition
