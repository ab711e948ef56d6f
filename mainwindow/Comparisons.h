#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "export/UploadRecorder.h"
#include "mainwindow/MaskDialog.h"
#include "mask/Overlay.h"
#include "platform/HostServices.h"
#include "platform/SettingsStore.h"

class QAction;
class QMenu;

namespace tracebay::mainwindow {

class WaveView;

// The references are kept in "references.json" beside the settings.
QString referencesFile(const platform::SettingsStore& settings);

// The shown upload compared with what the user keeps: the references REF A and REF B ("Save as
// reference" in the picture's menu takes a trace of the shown upload; "Clear references";
// they are kept in a file between runs) and a mask ("Mask test…", "Save mask as…", "Clear
// mask"). Both are drawn over the picture, and so go into its copies, exports and prints. Each
// upload that arrives is tested against the mask and counted; a failing one may stop the
// repeated uploads and be saved into a folder.
class Comparisons : public QObject {
    Q_OBJECT
public:
    Comparisons(WaveView& view, platform::HostServices& host, QString referencesFile);
    ~Comparisons() override;

    // The mask dialog: the choice made, nothing when cancelled. The desktop's dialog in the
    // program, a scripted answer in tests.
    std::function<std::optional<MaskChoice>(const MaskChoice& initial, const QStringList& sources)>
        chooseMask;
    // Where to save the mask; nothing when cancelled.
    std::function<std::optional<QString>()> chooseMaskFile;

    const mask::Comparison& comparison() const { return comparison_; }
    // "mask: 12 tested, 1 failed" once an upload was tested against the mask; empty before.
    QString testCounts() const;

    void saveReference(const std::string& label, const std::string& source);
    void clearReferences();
    void testWithMask();
    void saveMask();
    void clearMask();

signals:
    // The counts changed.
    void changed();
    // An upload failed the mask and the user asked to stop at the first failure.
    void stopAsked();

private:
    void addActions();
    QAction* addAction(QMenu& menu, const QString& name, const QString& text,
                       std::function<void()> run);
    void loadReferences();
    void keepReferences();
    bool applyChoice(const MaskChoice& choice);
    std::optional<mask::Mask> maskFor(const MaskChoice& choice);
    void setMask(std::optional<mask::Mask> mask);
    void testArrival();
    void saveFailing(const acquisition::MaskVerdict& verdict);
    void enableActions();
    void redraw();
    void message(const std::string& text);

    WaveView& view_;
    platform::HostServices& host_;
    QString referencesFile_;
    mask::Comparison comparison_;
    MaskChoice choice_;
    std::unique_ptr<exporting::UploadRecorder> failing_;
    int tested_ = 0;
    int failed_ = 0;
    int unchecked_ = 0;
    std::vector<std::pair<QAction*, std::string>> referenceActions_;  // and their source
    QAction* clearReferences_ = nullptr;
    QAction* saveMask_ = nullptr;
    QAction* clearMask_ = nullptr;
};

}  // namespace tracebay::mainwindow
