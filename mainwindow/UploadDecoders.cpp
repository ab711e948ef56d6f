#include "mainwindow/UploadDecoders.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>

#include <mutex>

#include "decode/DecodedText.h"
#include "display/Screen.h"
#include "mainwindow/DecodedWindow.h"
#include "mainwindow/DecodersDialog.h"
#include "mainwindow/SharingDialogs.h"
#include "mainwindow/ShownUploads.h"
#include "mainwindow/WaveView.h"
#include "platform/AtomicFile.h"

namespace tracebay::mainwindow {
namespace {

namespace Keys = platform::Settings;

// Stacks read from the settings file: bounded, as the file is anybody's.
constexpr size_t MostStacks = 16;

QString text(const std::string& s) { return QString::fromStdString(s); }

// The lines of a text, without their ends ("\n" or "\r\n"); empty ones left out.
std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> found;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) found.push_back(std::move(line));
        start = end + 1;
    }
    return found;
}

void addLine(std::string& text, const std::string& line) {
    text += (text.empty() ? "" : "\n") + line;
}

}  // namespace

// Hands the library thread's answers to the window's thread, as long as the receiver lives.
class UploadDecoders::Relay {
public:
    explicit Relay(QObject* receiver) : receiver_(receiver) {}
    void forget() {
        const std::lock_guard lock(mutex_);
        receiver_ = nullptr;
    }
    void post(std::function<void()> call) {
        const std::lock_guard lock(mutex_);
        if (receiver_) QMetaObject::invokeMethod(receiver_, std::move(call), Qt::QueuedConnection);
    }

private:
    std::mutex mutex_;
    QObject* receiver_;
};

UploadDecoders::UploadDecoders(WaveView& view, ShownUploads& uploads, platform::HostServices& host,
                               platform::SettingsStore& settings)
    : QObject(&view),
      view_(view),
      host_(host),
      settings_(settings),
      relay_(std::make_shared<Relay>(this)),
      texts_(lines(settings.read(Keys::DecoderStacks))) {
    chooseDecoders =
        [this](std::vector<decode::DecoderInfo> decoders,
               const std::vector<std::string>& stacks) -> std::optional<std::vector<std::string>> {
        DecodersDialog dialog(std::move(decoders), stacks, &view_.window());
        if (host_.runModal(dialog) != QDialog::Accepted) return std::nullopt;
        return dialog.stacks();
    };
    uploads.besideFiles = [this](const acquisition::ScopeState& upload, auto done) {
        decodeBeside(upload, std::move(done));
    };
    addActions();
    parseStacks();
    connect(&view_, &WaveView::uploadShown, this, &UploadDecoders::decodeShown);
}

UploadDecoders::~UploadDecoders() { relay_->forget(); }

void UploadDecoders::addActions() {
    view_.pictureMenu().addSeparator();
    auto* decoders = new QAction("Decoders…", this);
    decoders->setObjectName("Decoders");
    decoders->setShortcut(QKeySequence(Qt::Key_D));
    connect(decoders, &QAction::triggered, this, &UploadDecoders::editDecoders);
    view_.addPictureAction(decoders);
    auto* decoded = new QAction("Decoded", this);
    decoded->setObjectName("ShowDecoded");
    connect(decoded, &QAction::triggered, this, &UploadDecoders::showDecodedWindow);
    view_.addPictureAction(decoded);
}

// A stack that is no stack is named where the failures are, and left out.
void UploadDecoders::parseStacks() {
    specs_.clear();
    setUpProblems_.clear();
    for (size_t i = 0; i < texts_.size(); ++i) {
        std::string error = "only " + std::to_string(MostStacks) + " stacks are decoded";
        const auto spec = i < MostStacks ? decode::parseStack(texts_[i], error) : std::nullopt;
        if (spec)
            specs_.push_back(*spec);
        else
            addLine(setUpProblems_, texts_[i] + ": " + error);
    }
}

void UploadDecoders::setStacks(std::vector<std::string> texts) {
    texts_ = std::move(texts);
    std::string stored;
    for (const std::string& stack : texts_) addLine(stored, stack);
    settings_.write(Keys::DecoderStacks, stored);
    parseStacks();
    layout_.clear();
    decoded_ = {};
    failing_.clear();
    view_.setBand(specs_.empty() ? std::nullopt : std::optional<display::Band>(display::Band{}));
    decodeShown();
    if (!specs_.empty()) showDecodedWindow();
}

// The library's decoders are read once, on its thread, the first time they are asked for.
void UploadDecoders::editDecoders() {
    if (catalogue_) {
        askForStacks();
        return;
    }
    if (awaitingCatalogue_) return;
    awaitingCatalogue_ = true;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    decode::listDecodersLater([relay = relay_, this](std::vector<decode::DecoderInfo> decoders) {
        relay->post([this, decoders = std::move(decoders)]() mutable {
            catalogueArrived(std::move(decoders));
        });
    });
}

void UploadDecoders::catalogueArrived(std::vector<decode::DecoderInfo> decoders) {
    QGuiApplication::restoreOverrideCursor();
    awaitingCatalogue_ = false;
    if (decoders.empty()) {
        const std::string failure = decode::libraryFailure();
        message(failure.empty() ? "The decoder library holds no decoders" : failure);
        return;
    }
    catalogue_ = std::move(decoders);
    askForStacks();
}

void UploadDecoders::askForStacks() {
    if (auto chosen = chooseDecoders(*catalogue_, texts_)) setStacks(std::move(*chosen));
}

// The newest upload shown is decoded next; one that came meanwhile and was not shown for long
// is passed over. Nothing to decode is newer too: a decoding still under way is then stale.
void UploadDecoders::decodeShown() {
    ++requested_;
    if (specs_.empty() || !view_.slot().HasData) {
        waiting_.reset();
        show({});
        return;
    }
    Request request{requested_, view_.slot()};
    if (decoding_)
        waiting_ = std::move(request);
    else
        start(std::move(request));
}

void UploadDecoders::start(Request request) {
    decoding_ = true;
    decode::decodeUploadLater(std::move(request.upload), specs_,
                              [relay = relay_, this, id = request.id](decode::Decoded decoded) {
                                  relay->post([this, id, decoded = std::move(decoded)]() mutable {
                                      finished(id, std::move(decoded));
                                  });
                              });
}

void UploadDecoders::finished(uint64_t id, decode::Decoded decoded) {
    decoding_ = false;
    if (id == requested_) show(std::move(decoded));
    if (!waiting_) return;
    Request next = std::move(*waiting_);
    waiting_.reset();
    start(std::move(next));
}

void UploadDecoders::show(decode::Decoded decoded) {
    decoded_ = std::move(decoded);
    view_.setBand(specs_.empty() ? std::nullopt : std::optional(layout_.band(decoded_)));
    if (window_) window_->showDecoded(decoded_, problems());
    emit decodedShown();
    tellNewFailures();
}

void UploadDecoders::tellNewFailures() {
    std::set<std::string> failing;
    std::string told;
    for (const decode::StackOutcome& outcome : decoded_.outcomes) {
        if (outcome.kind != decode::StackOutcome::Kind::Failed) continue;
        failing.insert(outcome.stack);
        if (!failing_.count(outcome.stack)) told += (told.empty() ? "" : "\r") + outcome.message;
    }
    failing_ = std::move(failing);
    if (!told.empty()) message(told);
}

std::string UploadDecoders::problems() const {
    std::string all = setUpProblems_;
    if (const std::string decoding = decoded_.problems(); !decoding.empty()) addLine(all, decoding);
    return all;
}

// Recorded uploads are each decoded, however fast they come.
void UploadDecoders::decodeBeside(const acquisition::ScopeState& upload,
                                  std::function<void(std::vector<exporting::BesideFile>)> done) {
    if (specs_.empty()) {
        done({});
        return;
    }
    decode::decodeUploadLater(
        upload, specs_, [relay = relay_, done = std::move(done)](decode::Decoded decoded) {
            relay->post([done, json = decode::annotationsJson(decoded.annotations)] {
                done({{"decoded.json", json}});
            });
        });
}

DecodedWindow& UploadDecoders::decodedWindow() {
    if (window_) return *window_;
    window_ = new DecodedWindow(&view_.window());
    const SharingDialogs dialogs = desktopDialogs(view_.window(), host_);
    window_->chooseCsvFile = [this, dialogs]() -> std::optional<QString> {
        const QString last = text(settings_.read(Keys::LastFolder));
        const auto choice = dialogs.chooseSaveFile(
            {"Save decoded as CSV",
             QDir(last).exists() && !last.isEmpty() ? last : QDir::homePath(),
             {"CSV table (*.csv)"},
             std::nullopt});
        if (!choice) return std::nullopt;
        return QFileInfo(choice->path).suffix().isEmpty() ? choice->path + ".csv" : choice->path;
    };
    window_->saveCsv = [this](const QString& path, const std::string& csv) { saveCsv(path, csv); };
    connect(window_, &DecodedWindow::timeChosen, this, &UploadDecoders::markTime);
    window_->showDecoded(decoded_, problems());
    return *window_;
}

void UploadDecoders::showDecodedWindow() {
    DecodedWindow& window = decodedWindow();
    window.show();
    window.raise();
}

void UploadDecoders::saveCsv(const QString& path, const std::string& csv) {
    settings_.write(Keys::LastFolder, QFileInfo(path).absolutePath().toStdString());
    std::string failure;
    if (!platform::writeFileAtomically(path.toStdString(), csv, failure))
        message("Cannot save \"" + QDir::toNativeSeparators(path).toStdString() + "\": " + failure);
}

void UploadDecoders::markTime(double startColumn, double endColumn) {
    view_.placeTimeCursors(startColumn, endColumn);
}

void UploadDecoders::message(const std::string& text) {
    host_.showMessage(text, "TraceBay", platform::MessageIcon::Exclamation);
}

}  // namespace tracebay::mainwindow
