#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tracebay::platform {

// A folder opened once, its files named relative to it: what is written goes into this folder
// even when its path names another folder or a link later on.
class Folder {
public:
    // Makes the folder and any parents missing, as mkdir -p does, and opens it; nothing when
    // that cannot be done, with why in `error`.
    static std::unique_ptr<Folder> make(const std::string& path, std::string& error);
    ~Folder();
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    // The path it was opened by.
    const std::string& path() const { return path_; }
    bool contains(const std::string& name) const;
    // Writes `bytes` as the file `name` whole or not at all: into a new file beside it, which
    // then takes its name. False, with why in `error`, when anything failed.
    bool write(const std::string& name, std::string_view bytes, std::string& error) const;
    void remove(const std::string& name) const;

private:
    Folder(int descriptor, std::string path) : descriptor_(descriptor), path_(std::move(path)) {}
    // A file of its own beside `name`, open for writing; -1 when none can be made.
    int createTemporary(const std::string& name, std::string& temporary) const;

    int descriptor_;
    std::string path_;
};

}  // namespace tracebay::platform
