#include "mainwindow/Comparisons.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

#include <algorithm>

#include "export/SampleSeries.h"
#include "mainwindow/WaveView.h"
#include "mask/MaskFile.h"
#include "mask/ReferenceFile.h"

namespace tracebay::mainwindow {
namespace {

constexpr const char* Caption = "TraceBay";

// The traces of an upload a reference or a mask can be taken from.
QStringList comparableSources(const acquisition::ScopeState& upload) {
    QStringList sources;
    if (!upload.HasData || !upload.IsYT) return sources;
    for (const exporting::SampleSeries& series : exporting::sampleSeries(upload))
        if (mask::comparableSource(series.source)) sources << QString::fromStdString(series.source);
    return sources;
}

std::optional<MaskChoice> desktopMaskDialog(platform::HostServices& host, QWidget& parent,
                                            const MaskChoice& initial, const QStringList& sources) {
    MaskDialog dialog(initial, sources, &parent);
    if (host.runModal(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.choice();
}

}  // namespace

QString referencesFile(const platform::SettingsStore& settings) {
    return QFileInfo(QString::fromStdString(settings.fileName())).dir().filePath("references.json");
}

Comparisons::Comparisons(WaveView& view, platform::HostServices& host, QString referencesFile)
    : QObject(&view), view_(view), host_(host), referencesFile_(std::move(referencesFile)) {
    chooseMask = [this](const MaskChoice& initial, const QStringList& sources) {
        return desktopMaskDialog(host_, view_.window(), initial, sources);
    };
    chooseMaskFile = [this]() -> std::optional<QString> {
        const QString file = QFileDialog::getSaveFileName(&view_.window(), "Save mask as", {},
                                                          "TraceBay mask (*.json)");
        if (file.isEmpty()) return std::nullopt;
        return file;
    };
    addActions();
    loadReferences();
    connect(&view_, &WaveView::uploadArrived, this, &Comparisons::testArrival);
    connect(&view_, &WaveView::uploadShown, this, &Comparisons::enableActions);
    enableActions();
}

Comparisons::~Comparisons() = default;

void Comparisons::addActions() {
    QMenu& picture = view_.pictureMenu();
    picture.addSeparator();
    QMenu* save = picture.addMenu("Save as reference");
    save->setObjectName("SaveAsReference");
    for (const std::string& label : mask::ReferenceLabels) {
        QMenu* slot = save->addMenu(QString::fromStdString(label));
        for (const char* source : {"CH1", "CH2", "MATH"}) {
            const QString name = QString::fromStdString("Save" + label + source).remove(' ');
            referenceActions_.emplace_back(
                addAction(*slot, name, source,
                          [this, label, source] { saveReference(label, source); }),
                source);
        }
    }
    clearReferences_ =
        addAction(picture, "ClearReferences", "Clear references", [this] { clearReferences(); });
    addAction(picture, "MaskTest", "Mask test…", [this] { testWithMask(); });
    saveMask_ = addAction(picture, "SaveMask", "Save mask as…", [this] { saveMask(); });
    clearMask_ = addAction(picture, "ClearMask", "Clear mask", [this] { clearMask(); });
}

QAction* Comparisons::addAction(QMenu& menu, const QString& name, const QString& text,
                                std::function<void()> run) {
    QAction* action = menu.addAction(text);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, std::move(run));
    return action;
}

QString Comparisons::testCounts() const {
    if (tested_ == 0) return {};
    QString counts = QString("mask: %1 tested, %2 failed").arg(tested_).arg(failed_);
    if (unchecked_ > 0) counts += QString(", %1 not checked").arg(unchecked_);
    return counts;
}

void Comparisons::loadReferences() {
    std::string why;
    const auto kept = mask::readReferencesFile(referencesFile_.toStdString(), why);
    if (!kept) {
        message("The references kept in \"" + referencesFile_.toStdString() +
                "\" cannot be read: " + why +
                ". The file stays as it is until a reference is saved or cleared.");
        return;
    }
    comparison_.references = *kept;
    redraw();
}

// Written at once, so that a reference outlives whatever ends the program.
void Comparisons::keepReferences() {
    std::string why;
    if (!mask::writeReferencesFile(referencesFile_.toStdString(), comparison_.references, why))
        message("The references cannot be kept in \"" + referencesFile_.toStdString() +
                "\": " + why);
}

void Comparisons::saveReference(const std::string& label, const std::string& source) {
    std::string why;
    auto trace = mask::referenceFrom(view_.slot(), source, why);
    if (!trace) {
        message("Cannot save " + source + " as " + label + ": " + why);
        return;
    }
    auto& references = comparison_.references;
    std::erase_if(references, [&](const auto& r) { return r.label == label; });
    references.push_back({label, std::move(*trace)});
    std::sort(references.begin(), references.end(),
              [](const auto& a, const auto& b) { return a.label < b.label; });
    keepReferences();
    redraw();
}

void Comparisons::clearReferences() {
    comparison_.references.clear();
    keepReferences();
    redraw();
}

void Comparisons::testWithMask() {
    const auto choice = chooseMask(choice_, comparableSources(view_.slot()));
    if (choice && applyChoice(*choice)) choice_ = *choice;
}

// The mask and what a failure does take effect together, or not at all: a folder for failing
// uploads that cannot be made is told now, not at the first failure.
bool Comparisons::applyChoice(const MaskChoice& choice) {
    auto made = maskFor(choice);
    if (!made) return false;
    std::unique_ptr<exporting::UploadRecorder> failing;
    if (choice.saveFailing) {
        failing = std::make_unique<exporting::UploadRecorder>(choice.failingFolder,
                                                              exporting::RecordChoice{});
        if (!failing->folderFailure().empty()) {
            message(failing->folderFailure());
            return false;
        }
    }
    failing_ = std::move(failing);
    setMask(std::move(made));
    return true;
}

std::optional<mask::Mask> Comparisons::maskFor(const MaskChoice& choice) {
    std::string why;
    if (choice.fromFile) {
        auto read = mask::readMaskFile(choice.file.toStdString(), why);
        if (!read) message("Cannot open the mask \"" + choice.file.toStdString() + "\": " + why);
        return read;
    }
    const std::string source = choice.source.toStdString();
    const auto trace = mask::referenceFrom(view_.slot(), source, why);
    auto made =
        trace ? mask::makeMask(*trace, choice.tolerance, choice.timeTolerance, why) : std::nullopt;
    if (!made) message("Cannot make a mask from " + source + ": " + why);
    return made;
}

void Comparisons::setMask(std::optional<mask::Mask> mask) {
    comparison_.mask = std::move(mask);
    tested_ = failed_ = unchecked_ = 0;
    redraw();
    emit changed();
}

void Comparisons::saveMask() {
    if (!comparison_.mask) return;
    const auto file = chooseMaskFile();
    std::string why;
    if (file && !mask::writeMaskFile(file->toStdString(), *comparison_.mask, why))
        message("Cannot save the mask \"" + file->toStdString() + "\": " + why);
}

void Comparisons::clearMask() {
    failing_.reset();
    setMask(std::nullopt);
}

void Comparisons::testArrival() {
    if (!comparison_.mask) return;
    std::string why;
    const auto check = mask::checkUpload(*comparison_.mask, view_.slot(), why);
    const acquisition::MaskVerdict verdict =
        check ? check->verdict() : mask::uncheckedVerdict(*comparison_.mask, why);
    ++tested_;
    failed_ += verdict.checked() && !verdict.passed();
    unchecked_ += !verdict.checked();
    emit changed();
    if (verdict.passed()) return;
    if (failing_) saveFailing(verdict);
    if (choice_.stopOnFail) emit stopAsked();
}

// A folder that cannot be written ends the saving, with one message.
void Comparisons::saveFailing(const acquisition::MaskVerdict& verdict) {
    acquisition::ScopeState upload = view_.slot();
    upload.Mask = verdict;
    const std::string failure = failing_->record({upload});
    if (failure.empty()) return;
    failing_.reset();
    choice_.saveFailing = false;
    message(failure);
}

void Comparisons::enableActions() {
    const QStringList sources = comparableSources(view_.slot());
    for (const auto& [action, source] : referenceActions_)
        action->setEnabled(sources.contains(QString::fromStdString(source)));
    clearReferences_->setEnabled(!comparison_.references.empty());
    saveMask_->setEnabled(comparison_.mask.has_value());
    clearMask_->setEnabled(comparison_.mask.has_value());
}

// Nothing is drawn over the picture while there is nothing to compare: it stays exactly the
// instrument's.
void Comparisons::redraw() {
    view_.setPicturePass(comparison_.empty() ? display::PicturePass{}
                                             : mask::comparisonPass(comparison_));
    enableActions();
    view_.Form_Resize();
}

void Comparisons::message(const std::string& text) {
    host_.showMessage(text, Caption, platform::MessageIcon::Exclamation);
}

}  // namespace tracebay::mainwindow
