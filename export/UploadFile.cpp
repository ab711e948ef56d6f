#include "export/UploadFile.h"

#include <QFile>

#include "acquisition/ScopeStateJson.h"

namespace tracebay::exporting {
namespace {

// Five full sample arrays as JSON take well under a megabyte; anything far larger is not an
// upload and is not read into memory.
constexpr qint64 LargestUpload = 16 * 1024 * 1024;

}  // namespace

std::optional<acquisition::ScopeState> readUpload(const QString& path, std::string& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString().toStdString();
        return std::nullopt;
    }
    if (file.size() > LargestUpload) {
        error = "the file is too large for an upload";
        return std::nullopt;
    }
    const QByteArray text = file.read(LargestUpload + 1);
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString().toStdString();
        return std::nullopt;
    }
    auto upload = acquisition::fromJson(text.toStdString(), error);
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
