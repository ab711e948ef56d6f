#include "session/Wires.h"

#include "link/LoadedUsbLibrary.h"
#include "platform/LibraryLoader.h"
#include "platform/QtSerialPortControl.h"

namespace tracebay::session {

Wires systemWires() {
    return {std::make_unique<platform::QtSerialPortControl>(),
            std::make_unique<link::LoadedUsbLibrary>(platform::LibraryLoader::programFolders()),
            nullptr};
}

}  // namespace tracebay::session
