#pragma once

#include <array>
#include <string_view>

#include "acquisition/KeyNames.h"
#include "platform/Twips.h"

namespace tracebay::panel {

// What a key shows: its caption, a triangle pointing the way a knob turns, or the square of a
// knob push.
enum class KeyFace { Caption, Up, Down, Left, Right, Push };

// One instrument key on the panel, in the order of the program's key names: the key it sends
// after ":KEY" on a click, and on every tick while it is held if it repeats, is the name at its
// place there. The key names are the instrument's own: the vertical scale and horizontal
// position pairs send the mirror of what their arrows show.
struct PanelKey {
    std::string_view name;  // the button's objectName
    std::string_view caption;
    KeyFace face;
    platform::TwipRect place;
    bool repeats;
};

enum class LabelStyle { GroupTitle, Legend };

// A static text; `left` is its left edge, or its centre when `centred`.
struct PanelLabel {
    std::string_view text;
    int left;
    int top;
    LabelStyle style;
    bool centred = false;
};

constexpr std::string_view KeyPrefix = ":KEY";
constexpr int PanelWidthTwips = 6630;
constexpr int PanelHeightTwips = 4470;

extern const std::array<PanelKey, acquisition::KeyNames.size()> PanelKeys;
extern const std::array<PanelLabel, 17> PanelLabels;
extern const std::array<platform::TwipRect, 4> GroupOutlines;

}  // namespace tracebay::panel
