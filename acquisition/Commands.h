#pragma once

#include <string>
#include <string_view>

// The instrument's command vocabulary: commands are assembled from header pieces, the query
// mark, and a parameter after one blank.
namespace tracebay::acquisition::QM1000Cmd {

inline constexpr std::string_view CHANNEL1 = ":CHANNEL1";
inline constexpr std::string_view CHANNEL2 = ":CHANNEL2";
inline constexpr std::string_view MATH = ":MATH";
inline constexpr std::string_view FFT = ":FFT";
inline constexpr std::string_view LA = ":LA";
inline constexpr std::string_view DISPLAY = ":DISPLAY";
inline constexpr std::string_view MENUDISPLAY = ":MENUDISPLAY";
inline constexpr std::string_view TRIGGER = ":TRIGGER";
inline constexpr std::string_view MODE = ":MODE";
inline constexpr std::string_view STATUS = ":STATUS";
inline constexpr std::string_view TIMEBASE = ":TIMEBASE";
inline constexpr std::string_view FORMAT = ":FORMAT";
inline constexpr std::string_view SCALE = ":SCALE";
inline constexpr std::string_view OFFSET = ":OFFSET";
inline constexpr std::string_view ALTERNATION = "ALTERNATION";
inline constexpr std::string_view SOURCE = ":SOURCE";
inline constexpr std::string_view TIMESCALE = ":TIMESCALE";
inline constexpr std::string_view TIMEOFFSET = ":TIMEOFFSET";
inline constexpr std::string_view WAVEFORM = ":WAVEFORM";
inline constexpr std::string_view DATA = ":DATA";
inline constexpr std::string_view SYSTEM = ":SYSTEM";
inline constexpr std::string_view KEY = ":KEY";
inline constexpr std::string_view LOCK = ":LOCK";
inline constexpr std::string_view ENABLE = ":ENABLE";
inline constexpr std::string_view QUERY = "?";

inline constexpr std::string_view ON = "ON";
inline constexpr std::string_view OFF = "OFF";
inline constexpr std::string_view SRC_CHANNEL1 = "CHANNEL1";
inline constexpr std::string_view SRC_CHANNEL2 = "CHANNEL2";
inline constexpr std::string_view SRC_MATH = "MATH";
inline constexpr std::string_view SRC_FFT = "FFT";
inline constexpr std::string_view SRC_DIGITAL = "DIGITAL";

inline constexpr std::string_view IDENTIFY = "*IDN?";

// Header pieces joined; `parameter`, when given, follows one blank.
inline std::string command(std::initializer_list<std::string_view> pieces,
                           std::string_view parameter = {}) {
    std::string text;
    for (auto piece : pieces) text += piece;
    if (!parameter.empty()) (text += ' ') += parameter;
    return text;
}

// ":TRIGGER:ALTERNATION..." keeps its colon between the pieces.
inline std::string alternation(std::string_view leaf, std::string_view parameter = {}) {
    return command({TRIGGER, ":", ALTERNATION, leaf}, parameter);
}

inline std::string waveformData(std::string_view source) {
    return command({WAVEFORM, DATA, QUERY}, source);
}

inline std::string keyLockEnable() { return command({KEY, LOCK, ENABLE}); }

}  // namespace tracebay::acquisition::QM1000Cmd
