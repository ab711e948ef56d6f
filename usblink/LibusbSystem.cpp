#include "usblink/LibusbDeviceAccess.h"

namespace usblink {

DeviceAccess& systemDeviceAccess() {
    static LibusbDeviceAccess access(LibusbDeviceAccess::defaultRecordFolder());
    return access;
}

}  // namespace usblink
