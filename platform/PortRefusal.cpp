#include "platform/PortRefusal.h"

#ifndef _WIN32
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace tracebay::platform {

PortRefusal portRefusal(const std::string& device) {
#ifndef _WIN32
    if (::access(device.c_str(), R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM))
        return PortRefusal::Forbidden;
#endif
    return PortRefusal::Busy;
}

std::string deviceGroup(const std::string& device) {
#ifndef _WIN32
    struct stat status {};
    if (::stat(device.c_str(), &status) == 0)
        if (const group* owner = ::getgrgid(status.st_gid); owner && owner->gr_name)
            return owner->gr_name;
#endif
    return "dialout";
}

std::string portRefusalText(const std::string& device, PortRefusal refusal,
                            const std::string& group) {
    if (refusal == PortRefusal::Busy)
        return device +
               ": the port is busy: another program has it open. Close that program and "
               "connect again.";
    return device + ": permission denied: this user may not open the port. Add the user to the " +
           "group " + group + " (sudo usermod -aG " + group +
           " $USER), then log out and in again; see the README.";
}

}  // namespace tracebay::platform
