#pragma once

#include <cstdint>

#include "acquisition/Sources.h"
#include "platform/SettingsStore.h"
#include "session/LinkOptions.h"

namespace tracebay::mainwindow {

// What the program keeps between runs, as it holds it while running: the transport and its
// serial settings, the sources ticked in the main window.
struct ProgramSettings {
    session::LinkOptions& link;
    acquisition::Sources& ticked;
    int32_t& gpibAddress;  // kept and written back; nothing uses it
};

// Reads every value, its default when it is absent. A value that does not convert is skipped:
// what the program held stays.
void LoadSettings(const platform::SettingsStore& store, const ProgramSettings& settings);
// Writes every value back; the transport's only when `withTransport` (a run on the simulated
// instrument keeps the user's own).
void SaveSettings(platform::SettingsStore& store, const ProgramSettings& settings,
                  bool withTransport = true);

}  // namespace tracebay::mainwindow
