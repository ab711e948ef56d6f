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

void takeUpload(acquisition::ScopeState& slot, const acquisition::ScopeState& upload) {
    acquisition::ScopeState taken = upload;
    taken.ViewApplied = slot.ViewApplied;
    taken.ColorDisplay = slot.ColorDisplay;
    taken.GridVisible = slot.GridVisible;
    taken.BestFit = slot.BestFit;
    taken.ShowCh1 = slot.ShowCh1;
    taken.ShowCh2 = slot.ShowCh2;
    taken.ShowMath = slot.ShowMath;
    taken.ShowLa = slot.ShowLa;
    taken.HasData = true;
    slot = std::move(taken);
}

}  // namespace tracebay::exporting
