// tracebay-cli: identify the instrument, upload its screen once or record uploads, measure a
// saved upload, or press one of the instrument's keys, from a script or a headless machine.

#include <QCoreApplication>
#include <QGuiApplication>
#include <QString>

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "acquisition/Connection.h"
#include "acquisition/KeyNames.h"
#include "acquisition/ScopeStateJson.h"
#include "acquisition/UploadFile.h"
#include "export/Exporters.h"
#include "measure/FigureText.h"
#include "measure/Measurements.h"
#include "platform/EscapedText.h"
#include "platform/QtHost.h"
#include "session/SessionOwner.h"
#include "session/Wires.h"
#include "tools/CliOptions.h"
#include "tools/CliOutput.h"
#include "tools/DecodeCommand.h"
#include "tools/MaskCommand.h"
#include "tools/RecordCommand.h"
#include "tools/StopSignals.h"

namespace {

using namespace tracebay;
using namespace tracebay::cli;
using acquisition::ConnectOutcome;

void listKeys() {
    for (const auto name : acquisition::KeyNames) std::cout << name << "\n";
}

// A device that answered but is not an accepted QM1000 is refused; no device, no port or no
// answer is a failed link.
int exitStatus(ConnectOutcome outcome) {
    switch (outcome) {
        case ConnectOutcome::Connected: return ExitOk;
        case ConnectOutcome::NotFound:
        case ConnectOutcome::FirmwareTooOld: return ExitRefused;
        case ConnectOutcome::NoReply:
        case ConnectOutcome::LinkFailed: break;
    }
    return ExitLinkFailed;
}

// The screen as the main window draws it at this scale (with what is drawn over it), its samples
// or its logic lines, into every file asked for.
bool writeExports(acquisition::ScopeState slot, const Options& options,
                  const display::PicturePass& over = {}) {
    slot.ColorDisplay = !options.blackAndWhite;
    slot.GridVisible = !options.noGrid;
    bool written = true;
    for (const auto& [format, target] : options.exports) {
        const std::string failure = exporting::exportTo(
            *format, {slot, {}, options.zoom / 100, over}, QString::fromStdString(target));
        if (failure.empty()) continue;
        std::cerr << "tracebay-cli: " << platform::escapeControls(failure) << "\n";
        written = false;
    }
    return written;
}

// Draws a saved upload, and the references over it; no instrument needed.
int render(const Options& options) {
    std::string error;
    const auto slot = acquisition::readUploadFile(*options.json, error);
    if (!slot) return fileFailed("cannot read", *options.json, error);
    const auto references = referencesToDraw(options);
    if (!references) return ExitFileFailed;
    const auto over =
        references->empty() ? display::PicturePass{} : mask::comparisonPass(*references);
    return writeExports(*slot, options, over) ? ExitOk : ExitFileFailed;
}

// The figures of a saved upload on standard output; no instrument needed.
int measureUpload(const Options& options) {
    std::string error;
    const auto slot = acquisition::readUploadFile(*options.json, error);
    if (!slot) return fileFailed("cannot read", *options.json, error);
    const auto figures = measure::measureUpload(*slot);
    if (figures.empty())
        return fileFailed("cannot measure", *options.json, "the upload holds no samples");
    return writeOut(options.jsonFigures ? measure::figuresJson(figures)
                                        : measure::alignedText(measure::figureTable(figures)));
}

int writeJson(const std::string& target, const acquisition::ScopeState& slot) {
    std::string error;
    if (target != "-") {
        if (acquisition::writeUploadFile(target, slot, error)) return ExitOk;
        return fileFailed("cannot write", target, error);
    }
    return writeOut(acquisition::toJson(slot));
}

// One session on this thread: connect, the command, and the close the program does too.
class Cli : private session::SessionObserver {
public:
    // `mask`: what a recording tests its uploads against, if anything.
    Cli(const Options& options, const mask::Mask* mask) : options_(options), mask_(mask) {
        host_.setMessageSink([](const std::string& text, const std::string& caption) {
            std::cerr << caption << ": " << printableMessage(text) << std::endl;
        });
        host_.setGiveUp(endAtOnce);
        if (options.serial) {
            link_.IoType = session::LinkOptions::IoTypeSerial;
            link_.SerialDevice = options.device;
            link_.BaudRate = options.baud;
        }
    }

    // A recording's folder is made before the instrument is asked for anything.
    int run() {
        if (options_.command == "record" && !(recorder_ = openRecording(options_)))
            return ExitFileFailed;
        session().connect(link_);
        int status = exitStatus(outcome_);
        if (options_.command == "identify") identify();
        if (status == ExitOk) status = runCommand();
        session().close();
        // A recording stopped at once ends as one stopped in order.
        if (endAtOnce() && options_.command != "record") return stoppedStatus();
        return status;
    }

private:
    session::Session& session() { return owner_.session(); }

    void identify() {
        if (outcome_ == ConnectOutcome::LinkFailed || instrument_.model.empty()) return;
        std::cout << "model=" << platform::escapeControls(instrument_.model)
                  << " firmware=" << platform::escapeControls(instrument_.firmware)
                  << " logic_analyzer=" << (instrument_.hasLogicAnalyzer ? "yes" : "no") << "\n";
    }

    int runCommand() {
        if (options_.command == "key") {
            bool sent = false;
            session().pressKey(options_.keyName, [&sent](bool ok) { sent = ok; });
            return sent ? ExitOk : ExitLinkFailed;
        }
        if (options_.command == "upload") return upload();
        if (options_.command == "record")
            return recordUploads(
                *recorder_, options_, [this] { return next(); }, mask_);
        return ExitOk;
    }

    int upload() {
        const std::optional<session::Upload> upload = next();
        if (!upload) return ExitLinkFailed;
        const acquisition::ScopeState& slot = *upload->screen;
        if (const int status = writeResults(slot); status != ExitOk) return status;
        return reportMissingParts(slot) ? ExitIncomplete : ExitOk;
    }

    // One upload of the traces chosen (CH1 when none is), shown as the options say.
    std::optional<session::Upload> next() {
        session::Sources sources{options_.ch1, options_.ch2, options_.math, options_.la};
        sources.ch1 = sources.ch1 || !sources.any();
        upload_.reset();
        session().refresh(sources);
        if (!upload_) return std::nullopt;
        acquisition::ScopeState shown = *upload_->screen;
        shown.ColorDisplay = !options_.blackAndWhite;
        shown.GridVisible = !options_.noGrid;
        shown.HasData = true;
        upload_->screen = std::make_shared<const acquisition::ScopeState>(std::move(shown));
        return std::exchange(upload_, std::nullopt);
    }

    // Each file asked for is written even when another failed; a failure decides the status.
    int writeResults(const acquisition::ScopeState& slot) {
        const bool json = options_.json || options_.exports.empty();
        const int jsonStatus = json ? writeJson(options_.json.value_or("-"), slot) : ExitOk;
        const bool exported = writeExports(slot, options_);
        return jsonStatus != ExitOk ? jsonStatus : exported ? ExitOk : ExitFileFailed;
    }

    void connectFinished(ConnectOutcome outcome, const session::Identity& who) override {
        outcome_ = outcome;
        instrument_ = who;
    }
    void uploaded(const session::Upload& upload) override { upload_ = upload; }

    const Options& options_;
    const mask::Mask* mask_;
    session::LinkOptions link_;
    platform::QtHost host_;
    session::Wires wires_ = session::systemWires();
    session::InlineSession owner_{{host_, *wires_.port, *wires_.usb}, *this};
    ConnectOutcome outcome_ = ConnectOutcome::LinkFailed;
    session::Identity instrument_;
    std::optional<session::Upload> upload_;
    std::unique_ptr<exporting::UploadRecorder> recorder_;
};

}  // namespace

// Standard error carries the program's messages; the headless platform's remark about a missing
// runtime folder is not one of them.
void quietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith("QStandardPaths: XDG_RUNTIME_DIR")) return;
    qt_message_output(type, context, message);
}

int main(int argc, char** argv) {
    Options options;
    try {
        QStringList arguments;
        for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
        options = parse(arguments);
    } catch (const UsageError& e) {
        std::cerr << "tracebay-cli: " << platform::escapeControls(e.what()) << " (see " << e.seeAlso
                  << ")\n";
        return ExitUsage;
    }
    if (options.listKeys) {
        listKeys();
        return ExitOk;
    }
    if (options.command == "measure") return measureUpload(options);
    if (options.command == "mask") return maskCommand(options);
    if (options.command == "decode")
        return options.listDecoders ? listDecoders() : decodeFile(options);
    std::optional<mask::Mask> recordMask;
    if (!options.mask.file.empty() && !(recordMask = recordingMask(options))) return ExitFileFailed;
    const mask::Mask* mask = recordMask ? &*recordMask : nullptr;
    if (options.command != "render")
        catchStopSignals(options.command == "record" ? FirstStop::EndsAfterTheUpload
                                                     : FirstStop::EndsAtOnce);
    if (options.command == "record") {
        // Decoders are checked before the instrument is asked for anything.
        int status = ExitOk;
        if (!options.decoders.empty() && !checkedStacks(options, status)) return status;
    }
    if (options.exports.empty() && !options.record.files.png) {
        QCoreApplication app(argc, argv);
        return Cli(options, mask).run();
    }
    // Drawing needs fonts, not a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietPlatform);
    QGuiApplication app(argc, argv);
    if (options.command == "render") return render(options);
    return Cli(options, mask).run();
}
