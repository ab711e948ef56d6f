#include "mainwindow/ProgramSettings.h"

namespace tracebay::mainwindow {
namespace {

namespace Keys = platform::Settings;
using platform::SettingKey;
using platform::SettingsStore;

void readInt(const SettingsStore& store, const SettingKey& key, int32_t& target) {
    if (const auto value = platform::settingToInt(store.read(key))) target = *value;
}

void readFlag(const SettingsStore& store, const SettingKey& key, bool& target) {
    if (const auto value = platform::settingToBool(store.read(key))) target = *value;
}

}  // namespace

void LoadSettings(const SettingsStore& store, const ProgramSettings& settings) {
    session::LinkOptions& link = settings.link;
    readInt(store, Keys::ScopeIOType, link.IoType);
    readInt(store, Keys::ComPort, link.ComPort);
    link.BaudRate = store.read(Keys::BaudRate);
    readInt(store, Keys::GpibAddr, settings.gpibAddress);
    link.SerialDevice = store.read(Keys::SerialDevice);
    readFlag(store, Keys::IsDispCH1Wave, settings.slot.ShowCh1);
    readFlag(store, Keys::IsDispCH2Wave, settings.slot.ShowCh2);
    readFlag(store, Keys::IsDispMathWave, settings.slot.ShowMath);
    readFlag(store, Keys::IsDispLAWave, settings.slot.ShowLa);
}

void SaveSettings(SettingsStore& store, const ProgramSettings& settings, bool withTransport) {
    if (withTransport) {
        const session::LinkOptions& link = settings.link;
        store.write(Keys::ScopeIOType, std::to_string(link.IoType));
        store.write(Keys::ComPort, std::to_string(link.ComPort));
        store.write(Keys::BaudRate, link.BaudRate);
        store.write(Keys::SerialDevice, link.SerialDevice);
    }
    store.write(Keys::GpibAddr, std::to_string(settings.gpibAddress));
    store.write(Keys::IsDispCH1Wave, platform::boolSetting(settings.slot.ShowCh1));
    store.write(Keys::IsDispCH2Wave, platform::boolSetting(settings.slot.ShowCh2));
    store.write(Keys::IsDispMathWave, platform::boolSetting(settings.slot.ShowMath));
    store.write(Keys::IsDispLAWave, platform::boolSetting(settings.slot.ShowLa));
}

}  // namespace tracebay::mainwindow
