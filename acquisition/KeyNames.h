#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tracebay::acquisition {

// The names of the instrument's front-panel keys, as they follow ":KEY" in a key command, in
// the panel's order: menu column and function keys, multi-function knob, menu keys, AUTO and
// RUN/STOP, then the vertical, horizontal and trigger sections.
inline constexpr std::array<std::string_view, 42> KeyNames = {
    ":MNUOFF",       ":F1",           ":F2",
    ":F3",           ":F4",           ":F5",
    ":-FUNCTION",    ":FUNCTION",     ":+FUNCTION",
    ":MEASURE",      ":ACQUIRE",      ":STORAGE",
    ":CURSOR",       ":DISPLAY",      ":UTILITY",
    ":AUTO",         ":RUN",          ":CHANNEL1",
    ":CHANNEL2",     ":MATH",         ":REF",
    ":LA",           ":OFF",          ":V_POS_INC",
    ":V_POS_DEC",    ":PROMPT_V_POS", ":V_SCALE_DEC",
    ":V_SCALE_INC",  ":PROMPT_V",     ":H_POS_INC",
    ":PROMPT_H_POS", ":H_POS_DEC",    ":MNUTIME",
    ":H_SCALE_DEC",  ":PROMPT_H",     ":H_SCALE_INC",
    ":TRIG_LVL_INC", ":TRIG_LVL_DEC", ":PROMPT_TRIG_LVL",
    ":MNUTRIG",      ":TRIG%50",      ":FORCE"};

// The key name `text` stands for, written with or without its leading colon, in capitals or
// not; nothing when it names no key.
std::optional<std::string_view> keyNamed(std::string_view text);

}  // namespace tracebay::acquisition
