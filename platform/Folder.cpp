#include "platform/Folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

namespace tracebay::platform {
namespace {

bool failed(std::string& error) {
    error = std::strerror(errno);
    return false;
}

// A short write goes on with the rest, so that the write that fails says why.
bool writeAll(int descriptor, std::string_view bytes, std::string& error) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return failed(error);
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

}  // namespace

std::unique_ptr<Folder> Folder::make(const std::string& path, std::string& error) {
    std::error_code made;
    std::filesystem::create_directories(path, made);
    if (made) {
        error = made.message();
        return nullptr;
    }
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        failed(error);
        return nullptr;
    }
    return std::unique_ptr<Folder>(new Folder(descriptor, path));
}

Folder::~Folder() { ::close(descriptor_); }

bool Folder::contains(const std::string& name) const {
    struct stat status {};
    return ::fstatat(descriptor_, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
}

int Folder::createTemporary(const std::string& name, std::string& temporary) const {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = "." + name + "." + std::to_string(random() % 1'000'000);
        const int descriptor =
            ::openat(descriptor_, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST) return descriptor;
    }
    return -1;
}

bool Folder::write(const std::string& name, std::string_view bytes, std::string& error) const {
    std::string temporary;
    const int descriptor = createTemporary(name, temporary);
    if (descriptor < 0) return failed(error);
    bool written = writeAll(descriptor, bytes, error);
    if (::close(descriptor) != 0 && written) written = failed(error);
    if (written && ::renameat(descriptor_, temporary.c_str(), descriptor_, name.c_str()) != 0)
        written = failed(error);
    if (!written) ::unlinkat(descriptor_, temporary.c_str(), 0);
    return written;
}

void Folder::remove(const std::string& name) const { ::unlinkat(descriptor_, name.c_str(), 0); }

}  // namespace tracebay::platform
