#include "sim/DeviceLink.h"

#include <stdexcept>
#include <system_error>

namespace tracebay::sim {
namespace {

namespace fs = std::filesystem;

// A link into the folder the terminal lives in: what a simulator makes, and nothing a user keeps.
bool isTerminalLink(const fs::path& link, const fs::path& device) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(link, error))) return false;
    const fs::path target = fs::read_symlink(link, error);
    return !error && target.parent_path() == device.parent_path();
}

}  // namespace

DeviceLink::DeviceLink(fs::path link, fs::path device)
    : link_(std::move(link)), device_(std::move(device)) {
    std::error_code error;
    const bool taken = fs::symlink_status(link_, error).type() != fs::file_type::not_found;
    if (taken && !isTerminalLink(link_, device_))
        throw std::runtime_error(
            "--link " + link_.string() +
            ": already there and not a link to a pseudo-terminal; left as it is");
    if (taken) fs::remove(link_);
    fs::create_symlink(device_, link_);
}

DeviceLink::~DeviceLink() {
    std::error_code ignored;
    if (isOwn()) fs::remove(link_, ignored);
}

bool DeviceLink::isOwn() const {
    std::error_code error;
    return fs::is_symlink(fs::symlink_status(link_, error)) &&
           fs::read_symlink(link_, error) == device_ && !error;
}

}  // namespace tracebay::sim
