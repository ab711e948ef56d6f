#pragma once

#include <memory>
#include <string>
#include <vector>

class QLibrary;

namespace tracebay::platform {

// A shared library found by its base name ("KavloUsbLink" is libKavloUsbLink.so or
// KavloUsbLink.dll), first in the given folders, then where the system looks.
class LibraryLoader {
public:
    LibraryLoader(std::string name, std::vector<std::string> folders);
    ~LibraryLoader();

    // Loads the library if it is not loaded yet; false when it cannot be found or loaded.
    bool load();
    // The address of an exported function, or nullptr.
    void* resolve(const char* symbol);
    // The folders next to the running program where its own libraries live.
    static std::vector<std::string> programFolders();

private:
    std::string name_;
    std::vector<std::string> folders_;
    std::unique_ptr<QLibrary> library_;
};

}  // namespace tracebay::platform
