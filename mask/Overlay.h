#pragma once

#include <optional>
#include <string>
#include <vector>

#include "acquisition/ScopeState.h"
#include "display/Repaint.h"
#include "display/Screen.h"
#include "mask/Mask.h"
#include "mask/Reference.h"

namespace tracebay::mask {

// What is compared with the shown upload, drawn over its picture.
struct Comparison {
    std::vector<LabelledReference> references;
    std::optional<Mask> mask;

    bool empty() const { return references.empty() && !mask; }
};

// The colours of the references ("REF A", "REF B") and of the mask, per scheme.
display::Rgb referenceColor(const std::string& label, bool colorScheme);
inline constexpr display::Rgb MaskBandColor = display::rgb(0, 160, 255);
inline constexpr int MaskBandOpacity = 80;
inline constexpr display::Rgb OutsideColor = display::rgb(255, 0, 0);

// The label a reference has in the picture's left margin: "RA" for "REF A".
std::string marginLabel(const std::string& label);

// Draws the comparison over the finished picture of `shown`: the mask as a translucent band and
// a mark on each sample of the shown upload that lies outside it, then each reference as a line
// in its colour with its label in the left margin. A trace is drawn on the screen axes of its
// source in `shown` (on its half of a split screen), or, where the upload does not hold that
// source, a reference on the axes it was kept with; nothing over an X-Y picture.
void drawComparison(platform::PictureSurface& surface, const display::Screen& screen,
                    const acquisition::ScopeState& shown, const Comparison& comparison);

// The comparison as a pass over a repaint or an export.
display::PicturePass comparisonPass(Comparison comparison);

}  // namespace tracebay::mask
