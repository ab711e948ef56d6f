#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class QSettings;

namespace tracebay::platform {

// One value of the per-user settings store: its section, its name and the text it reads as when
// it was never written.
struct SettingKey {
    std::string_view section;
    std::string_view name;
    std::string_view defaultValue;
};

// Every value the program keeps between runs, named once, with its default.
namespace Settings {
inline constexpr std::string_view IoSection = "Kavlo TraceBay IO Settings";
inline constexpr std::string_view DispSection = "Kavlo TraceBay Disp Wave";
inline constexpr std::string_view GeneralSection = "Kavlo TraceBay Settings";

inline constexpr SettingKey ScopeIOType{IoSection, "ScopeIOType", "0"};
inline constexpr SettingKey ComPort{IoSection, "COM_Port", "1"};
inline constexpr SettingKey BaudRate{IoSection, "BaudRate", "9600"};
inline constexpr SettingKey GpibAddr{IoSection, "GPIB_Addr", "7"};
// A serial device chosen by its path; empty: COM_Port decides.
inline constexpr SettingKey SerialDevice{IoSection, "SerialDevice", ""};
inline constexpr SettingKey IsDispCH1Wave{DispSection, "IsDispCH1Wave", "True"};
inline constexpr SettingKey IsDispCH2Wave{DispSection, "IsDispCH2Wave", "False"};
inline constexpr SettingKey IsDispMathWave{DispSection, "IsDispMathWave", "False"};
inline constexpr SettingKey IsDispLAWave{DispSection, "IsDispLAWave", "False"};
inline constexpr SettingKey ProgressLeft{GeneralSection, "ProgressLeft", "500"};
inline constexpr SettingKey ProgressTop{GeneralSection, "ProgressTop", "800"};
// The folder the file dialogs opened last; empty: the home folder.
inline constexpr SettingKey LastFolder{GeneralSection, "LastFolder", ""};
// Where the measurements window was left, in twips; empty: beside the main window.
inline constexpr SettingKey MeasurementsLeft{GeneralSection, "MeasurementsLeft", ""};
inline constexpr SettingKey MeasurementsTop{GeneralSection, "MeasurementsTop", ""};
// The figures the measurements window shows, by their JSON keys, comma-separated.
inline constexpr SettingKey MeasurementsFigures{GeneralSection, "MeasurementsFigures",
                                                "vmax,vmin,vpp,vmean,vrms,frequency,period,duty,"
                                                "rise,fall,peak_frequency,peak_level,delay,phase"};
// The folder uploads were last recorded into, and the files written beside each one's JSON.
inline constexpr SettingKey RecordFolder{GeneralSection, "RecordFolder", ""};
inline constexpr SettingKey RecordPng{GeneralSection, "RecordPng", "False"};
inline constexpr SettingKey RecordVcd{GeneralSection, "RecordVcd", "False"};
inline constexpr SettingKey RecordSigrok{GeneralSection, "RecordSigrok", "False"};
// The protocol decoders set in the window: a stack a line, as tracebay-cli's -P writes it;
// empty: none.
inline constexpr SettingKey DecoderStacks{GeneralSection, "DecoderStacks", ""};
}  // namespace Settings

// The per-user settings store: every value a string, one group per section. The QSettings to use
// is passed in, so that tests work on a file of their own.
class SettingsStore {
public:
    explicit SettingsStore(QSettings& settings) : settings_(settings) {}

    // The stored text, or the key's default when nothing is stored.
    std::string read(const SettingKey& key) const;
    void write(const SettingKey& key, const std::string& value);
    // Writes what is pending to the backing file; why that failed, empty when it did not. A file
    // that could not be written stays as it was.
    std::string sync();
    // The backing file.
    std::string fileName() const;

private:
    QSettings& settings_;
};

// A stored text as a 32-bit integer: a decimal number, blanks around it allowed, rounded to the
// nearest whole number (halves to even); nothing when it is not one or does not fit.
std::optional<int32_t> settingToInt(std::string_view text);
// A stored text as a flag: "True" or "False" in any case, or a number (non-zero is true).
std::optional<bool> settingToBool(std::string_view text);
inline std::string boolSetting(bool value) { return value ? "True" : "False"; }

}  // namespace tracebay::platform
