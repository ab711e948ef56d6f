#include "acquisition/UploadFile.h"

#include "acquisition/ScopeStateJson.h"
#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"

namespace tracebay::acquisition {

std::optional<ScopeState> readUploadFile(const std::string& path, std::string& error) {
    const auto text = platform::readRegularFile(path, MaxUploadFileBytes, error);
    if (!text) return std::nullopt;
    return fromJson(*text, error);
}

bool writeUploadFile(const std::string& path, const ScopeState& state, std::string& error) {
    return platform::writeFileAtomically(path, toJson(state), error);
}

}  // namespace tracebay::acquisition
