#pragma once

#include "acquisition/ScopeState.h"

namespace tracebay::acquisition {

// The traces an upload fetches, in the order of the source boxes: CH1, CH2, MATH (or FFT), LA.
// Every change between the boxes, a screen's Show flags and the settings goes through here.
struct Sources {
    static constexpr int Count = 4;

    bool ch1 = false;
    bool ch2 = false;
    bool math = false;
    bool la = false;

    bool any() const { return ch1 || ch2 || math || la; }
    // The source of box `index`, 0 to 3.
    bool operator[](int index) const;
    void set(int index, bool on);
    bool operator==(const Sources&) const = default;

    // The Show flags of a screen, and back.
    static Sources shownIn(const ScopeState& screen);
    void showIn(ScopeState& screen) const;

    // What these ticks become once an upload that asked for `asked` has settled on `settled`: a
    // source it dropped (the instrument refused it) is unticked, one it added (X-Y needs both
    // channels) is ticked; every other box stays as the user left it.
    Sources settledBy(const Sources& asked, const Sources& settled) const;
};

}  // namespace tracebay::acquisition
