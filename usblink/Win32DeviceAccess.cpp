// The device through the instrument's kernel driver on Windows: SetupAPI finds the driver's
// device interface, CreateFileA opens its path, and the driver carries the bulk reads and writes
// and the control requests.

#include <windows.h>
// SetupAPI needs the declarations of windows.h first.
#include <setupapi.h>

#include <cstdlib>
#include <string>

#include "usblink/DeviceAccess.h"

namespace usblink {
namespace {

GUID toGuid(const Guid& g) {
    GUID guid;
    guid.Data1 = g.data1;
    guid.Data2 = g.data2;
    guid.Data3 = g.data3;
    for (int i = 0; i < 8; ++i) guid.Data4[i] = g.data4[i];
    return guid;
}

HANDLE toHandle(Handle handle) { return reinterpret_cast<HANDLE>(handle); }

// A device information set for one interface class.
class DeviceInfoSet {
public:
    DeviceInfoSet(const GUID& interfaceClass, DWORD& error) : guid_(interfaceClass) {
        error = ERROR_INVALID_PARAMETER;
        handle_ =
            SetupDiGetClassDevsA(&guid_, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        error = handle_ == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    }
    ~DeviceInfoSet() {
        if (handle_ != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
    DeviceInfoSet(const DeviceInfoSet&) = delete;
    DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;

    HDEVINFO handle() const { return handle_; }
    const GUID* guid() const { return &guid_; }

private:
    HDEVINFO handle_ = INVALID_HANDLE_VALUE;
    GUID guid_;
};

// The path of one device interface in a DeviceInfoSet.
class DeviceInterfaceDetail {
public:
    DeviceInterfaceDetail(const DeviceInfoSet& set, DWORD memberIndex, DWORD& error) : set_(set) {
        error = ERROR_INVALID_PARAMETER;
        data_.cbSize = sizeof(SP_DEVICE_INTERFACE_DATA);
        if (!SetupDiEnumDeviceInterfaces(set_.handle(), nullptr, set_.guid(), memberIndex,
                                         &data_)) {
            error = GetLastError();
            return;
        }
        DWORD required = 0;
        SetupDiGetDeviceInterfaceDetailA(set_.handle(), &data_, nullptr, 0, &required, nullptr);
        error = GetLastError();
        if (error != ERROR_INSUFFICIENT_BUFFER) return;
        detail_ = static_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(std::malloc(required));
        if (!detail_) {
            error = ERROR_NOT_ENOUGH_MEMORY;
            return;
        }
        // The fixed part's size: 5 on 32-bit Windows, 8 on 64-bit.
        detail_->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        if (SetupDiGetDeviceInterfaceDetailA(set_.handle(), &data_, detail_, required, nullptr,
                                             nullptr)) {
            error = 0;
            return;
        }
        error = GetLastError();
        std::free(detail_);
        detail_ = nullptr;
    }
    ~DeviceInterfaceDetail() {
        std::free(detail_);
        detail_ = nullptr;
    }
    DeviceInterfaceDetail(const DeviceInterfaceDetail&) = delete;
    DeviceInterfaceDetail& operator=(const DeviceInterfaceDetail&) = delete;

    const char* DevicePath() const { return detail_ ? detail_->DevicePath : nullptr; }

private:
    const DeviceInfoSet& set_;
    SP_DEVICE_INTERFACE_DATA data_{};
    PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail_ = nullptr;
};

class Win32DeviceAccess : public DeviceAccess {
public:
    Handle OpenDevice(const Guid& interfaceClass, uint32_t memberIndex, uint32_t& error) override {
        DWORD code = 0;
        const GUID guid = toGuid(interfaceClass);
        DeviceInfoSet set(guid, code);
        if (code != 0) return failed(code, {}, error);
        DeviceInterfaceDetail detail(set, memberIndex, code);
        if (code != 0) return failed(code, {}, error);
        const HANDLE handle = CreateFileA(detail.DevicePath(), GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return failed(GetLastError(), detail.DevicePath(), error);
        openProblem_.clear();
        error = 0;
        return reinterpret_cast<Handle>(handle);
    }

    std::string openProblem() const override { return openProblem_; }

    void closeHandle(Handle handle) override { CloseHandle(toHandle(handle)); }

    bool writeFile(Handle handle, const uint8_t* data, uint32_t length,
                   uint32_t& written) override {
        DWORD n = 0;
        const BOOL ok = WriteFile(toHandle(handle), data, length, &n, nullptr);
        written = n;
        return ok != FALSE;
    }

    bool readFile(Handle handle, uint8_t* data, uint32_t length, uint32_t& read) override {
        DWORD n = 0;
        const BOOL ok = ReadFile(toHandle(handle), data, length, &n, nullptr);
        read = n;
        return ok != FALSE;
    }

    bool deviceIoControl(Handle handle, uint32_t code, const uint8_t* input, uint32_t inputLength,
                         uint8_t* output, uint32_t outputLength, uint32_t& returned) override {
        DWORD n = 0;
        const BOOL ok = DeviceIoControl(toHandle(handle), code, const_cast<uint8_t*>(input),
                                        inputLength, output, outputLength, &n, nullptr);
        returned = n;
        return ok != FALSE;
    }

    void messageBox(const char* text, const char* caption) override {
        MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONQUESTION);
    }

private:
    Handle failed(DWORD code, const std::string& path, uint32_t& error) {
        error = code;
        if (code == ERROR_NO_MORE_ITEMS)
            openProblem_ = noInstrumentFound();
        else if (code == ERROR_ACCESS_DENIED)
            openProblem_ = permissionDenied(path);
        else
            openProblem_ =
                "system error " + std::to_string(code) + (path.empty() ? "" : ": " + path);
        return InvalidHandle;
    }

    std::string openProblem_;
};

}  // namespace

DeviceAccess& systemDeviceAccess() {
    static Win32DeviceAccess access;
    return access;
}

}  // namespace usblink
