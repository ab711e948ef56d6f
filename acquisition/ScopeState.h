#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/SystemBlock.h"

namespace tracebay::acquisition {

// A part of an upload: the system block ("SystemBlock") or the sample block of a source ("CH1",
// "CH2", "MATH", "FFT", "LA"), and why it did not come whole, if it did not.
struct UploadPart {
    std::string name;
    std::string failure;  // empty when the part arrived

    bool arrived() const { return failure.empty(); }
    // What the user is told of a part that did not arrive: "CH2: no data (time-out)".
    std::string shortfall() const { return name + ": no data (" + failure + ")"; }
    bool operator==(const UploadPart&) const = default;
};

// The instrument an upload came from, as it named itself; a text is empty when unknown.
struct InstrumentIdentity {
    std::string Maker;
    std::string Model;
    std::string Firmware;
    std::string Serial;
    bool operator==(const InstrumentIdentity&) const = default;
};

// What a mask test said of an upload: how many of the source's samples it compared and how many
// lay outside, the first of those (seconds from the trigger, its value); or why it could not
// compare them.
struct MaskVerdict {
    struct Sample {
        double time = 0;
        double value = 0;
        bool operator==(const Sample&) const = default;
    };
    std::string source;  // "CH1"
    std::string reason;  // empty when the samples were compared
    int32_t samples = 0;
    int32_t outside = 0;
    std::optional<Sample> first;

    bool checked() const { return reason.empty(); }
    bool passed() const { return checked() && outside == 0; }
    bool operator==(const MaskVerdict&) const = default;
};

// One displayed screen: the settings snapshot of an upload, its sample arrays, and the view
// flags. Everything drawn comes from here, never from a fresh query.
struct ScopeState {
    // Sample arrays hold indices 0..6200 once filled; element i is byte i of the instrument's
    // block (index 0 holds no sample). Empty until a block arrived.
    static constexpr size_t SampleCount = 6201;
    using Samples = std::vector<int32_t>;

    bool HasData = false;
    bool ViewApplied = false;
    std::string TriggerMode;
    Samples Ch1Samples;
    Samples Ch2Samples;
    int32_t PointCount = 0;
    bool IsYT = false;
    std::string Ch1OffsetText;
    std::string Ch2OffsetText;
    std::string Ch1ScaleText;
    std::string Ch2ScaleText;
    std::string TimeScaleText;
    std::string TimeOffsetText;
    std::string AltCh1TimeScaleText;
    std::string AltCh2TimeScaleText;
    std::string AltCh1TimeOffsetText;
    std::string AltCh2TimeOffsetText;
    bool ColorDisplay = false;
    bool GridVisible = false;
    bool DualScreen = false;
    bool BestFit = false;
    Samples FftSamples;
    Samples MathSamples;
    Samples LaSamples;
    bool ShowCh1 = false;
    bool ShowCh2 = false;
    bool ShowMath = false;
    bool ShowLa = false;
    bool CapturedCh1 = false;
    bool CapturedCh2 = false;
    bool CapturedMath = false;
    bool CapturedLa = false;
    acquisition::SystemBlock SystemBlock;
    bool IsXY = false;
    std::string MathDisplay;
    std::string FftDisplay;
    // The parts the last upload asked for, in order. A source that did not arrive keeps the
    // samples it had and is not drawn. Empty for a screen saved before parts were recorded.
    std::vector<UploadPart> Parts;
    // When the upload was made, as CapturedText gives it; empty when unknown.
    std::string Captured;
    InstrumentIdentity Instrument;
    // The mask test made as the upload was recorded; none when none was.
    std::optional<MaskVerdict> Mask;

    bool missing(std::string_view part) const {
        return std::any_of(Parts.begin(), Parts.end(),
                           [&](const UploadPart& p) { return p.name == part && !p.arrived(); });
    }
    // The source's samples came with the last upload: a block that never came leaves its array
    // empty, one that did not come this time leaves an earlier upload's.
    bool received(std::string_view source, const Samples& samples) const {
        return !samples.empty() && !missing(source);
    }
};

}  // namespace tracebay::acquisition
