#pragma once

#include <memory>
#include <string>
#include <vector>

class QLibrary;

namespace tracebay::platform {

// A shared library found by its base name ("KavloUsbLink" is libKavloUsbLink.so, or
// libKavloUsbLink.so.1 for major version 1, or KavloUsbLink.dll), first in the given folders,
// then where the system looks. A copy that lacks one of the `required` functions is refused as
// one that does not load is.
class LibraryLoader {
public:
    static constexpr int AnyVersion = -1;

    LibraryLoader(std::string name, std::vector<std::string> folders, int version = AnyVersion,
                  std::vector<std::string> required = {});
    ~LibraryLoader();

    // Loads the library if it is not loaded yet; false when it cannot be found or loaded.
    bool load();
    // The address of an exported function, or nullptr.
    void* resolve(const char* symbol);
    // Why the last load() failed, naming the library; empty while it is loaded or not yet tried.
    const std::string& failure() const { return failure_; }
    // Where the running program looks for its own libraries: the folders the user names in
    // LD_LIBRARY_PATH (they come first, as they do for the system's own search), then the
    // program's folder and the library folders beside it.
    static std::vector<std::string> programFolders();

private:
    // The library's file name on this system.
    std::string fileName() const;
    bool loadFile(const std::string& path);
    // The first required function `library` lacks; empty when it has them all.
    std::string missingFunction(QLibrary& library) const;

    std::string name_;
    std::vector<std::string> folders_;
    int version_;
    std::vector<std::string> required_;
    std::unique_ptr<QLibrary> library_;
    std::string failure_;
};

}  // namespace tracebay::platform
