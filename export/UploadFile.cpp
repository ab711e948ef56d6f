#include "export/UploadFile.h"

#include "acquisition/UploadFile.h"

namespace tracebay::exporting {

std::optional<acquisition::ScopeState> readUpload(const QString& path, std::string& error) {
    auto upload = acquisition::readUploadFile(path.toStdString(), error);
    if (upload && !upload->HasData) {
        error = "it holds no uploaded screen";
        return std::nullopt;
    }
    return upload;
}

}  // namespace tracebay::exporting
