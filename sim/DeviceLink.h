#pragma once

#include <filesystem>

namespace tracebay::sim {

// A symbolic link at a path the user chose, to the simulator's pseudo-terminal, for as long as
// the object lives. A path that is taken is refused (std::runtime_error) and left as it is,
// unless it is a link into the pseudo-terminals' folder: one that a simulator which was killed
// left behind. At the end the link is removed only while it still is this one's.
class DeviceLink {
public:
    DeviceLink(std::filesystem::path link, std::filesystem::path device);
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

private:
    bool isOwn() const;

    std::filesystem::path link_;
    std::filesystem::path device_;
};

}  // namespace tracebay::sim
