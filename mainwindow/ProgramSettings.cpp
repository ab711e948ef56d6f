#include "mainwindow/ProgramSettings.h"

namespace tracebay::mainwindow {
namespace {

namespace Keys = platform::Settings;
using platform::SettingKey;
using platform::SettingsStore;

void readInt(const SettingsStore& store, const SettingKey& key, int32_t& target) {
    if (const auto value = platform::settingToInt(store.read(key))) target = *value;
}

// A box's flag, in the order of the boxes.
const SettingKey* const TickKeys[acquisition::Sources::Count] = {
    &Keys::IsDispCH1Wave, &Keys::IsDispCH2Wave, &Keys::IsDispMathWave, &Keys::IsDispLAWave};

}  // namespace

void LoadSettings(const SettingsStore& store, const ProgramSettings& settings) {
    session::LinkOptions& link = settings.link;
    readInt(store, Keys::ScopeIOType, link.IoType);
    readInt(store, Keys::ComPort, link.ComPort);
    link.BaudRate = store.read(Keys::BaudRate);
    readInt(store, Keys::GpibAddr, settings.gpibAddress);
    link.SerialDevice = store.read(Keys::SerialDevice);
    for (int i = 0; i < acquisition::Sources::Count; ++i)
        if (const auto value = platform::settingToBool(store.read(*TickKeys[i])))
            settings.ticked.set(i, *value);
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
    for (int i = 0; i < acquisition::Sources::Count; ++i)
        store.write(*TickKeys[i], platform::boolSetting(settings.ticked[i]));
}

}  // namespace tracebay::mainwindow
