#include "acquisition/Sources.h"

#include <array>

namespace tracebay::acquisition {
namespace {

constexpr std::array<bool Sources::*, Sources::Count> Flags{&Sources::ch1, &Sources::ch2,
                                                            &Sources::math, &Sources::la};
constexpr std::array<bool ScopeState::*, Sources::Count> ShowFlags{
    &ScopeState::ShowCh1, &ScopeState::ShowCh2, &ScopeState::ShowMath, &ScopeState::ShowLa};

}  // namespace

bool Sources::operator[](int index) const { return this->*Flags.at(static_cast<size_t>(index)); }

void Sources::set(int index, bool on) { this->*Flags.at(static_cast<size_t>(index)) = on; }

Sources Sources::shownIn(const ScopeState& screen) {
    Sources sources;
    for (int i = 0; i < Count; ++i) sources.set(i, screen.*ShowFlags[static_cast<size_t>(i)]);
    return sources;
}

void Sources::showIn(ScopeState& screen) const {
    for (int i = 0; i < Count; ++i) screen.*ShowFlags[static_cast<size_t>(i)] = (*this)[i];
}

Sources Sources::settledBy(const Sources& asked, const Sources& settled) const {
    Sources ticks = *this;
    for (int i = 0; i < Count; ++i)
        if (asked[i] != settled[i]) ticks.set(i, settled[i]);
    return ticks;
}

}  // namespace tracebay::acquisition
