#include "options/SerialPorts.h"

#include <QSerialPortInfo>
#include <algorithm>
#include <map>

#include "platform/SerialLineSettings.h"

namespace tracebay::options {
namespace {

namespace fs = std::filesystem;

bool standsForComPort(const ReportedPort& port) {
    for (int comPort : {1, 2}) {
        const std::string device = platform::portDeviceName(comPort, "");
        if (port.location == device || port.portName == device) return true;
    }
    return false;
}

// Device -> the first (by name) link in `directory` that resolves to it.
std::map<fs::path, fs::path> linksByTarget(const fs::path& directory) {
    std::map<fs::path, fs::path> links;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(directory, error)) {
        if (!entry.is_symlink(error)) continue;
        const fs::path target = fs::canonical(entry.path(), error);
        if (error) continue;
        auto [place, added] = links.try_emplace(target, entry.path());
        if (!added && entry.path() < place->second) place->second = entry.path();
    }
    return links;
}

std::string stableName(const std::string& location, const std::map<fs::path, fs::path>& links) {
    std::error_code error;
    const fs::path device = fs::canonical(location, error);
    if (error) return location;
    const auto link = links.find(device);
    return link == links.end() ? location : link->second.string();
}

}  // namespace

std::vector<SerialPortChoice> serialPortChoices(const std::vector<ReportedPort>& ports,
                                                const fs::path& stableLinks) {
    const auto links = linksByTarget(stableLinks);
    std::vector<SerialPortChoice> choices;
    for (const auto& port : ports) {
        if (standsForComPort(port)) continue;
        choices.push_back({stableName(port.location, links), port.description});
    }
    std::sort(choices.begin(), choices.end(),
              [](const auto& a, const auto& b) { return a.path < b.path; });
    return choices;
}

std::vector<SerialPortChoice> systemSerialPorts() {
    std::vector<ReportedPort> ports;
    for (const auto& info : QSerialPortInfo::availablePorts())
        ports.push_back({info.systemLocation().toStdString(), info.portName().toStdString(),
                         info.description().toStdString()});
    return serialPortChoices(ports, "/dev/serial/by-id");
}

}  // namespace tracebay::options
