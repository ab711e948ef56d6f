// tracebay-cli: identify the instrument, upload its screen, measure a saved upload, or press
// one of the instrument's keys, from a script or a headless machine.

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
#include "platform/SerialLineSettings.h"
#include "session/SessionOwner.h"
#include "session/Wires.h"

namespace {

using namespace tracebay;
using acquisition::ConnectOutcome;

constexpr int ExitOk = 0;
constexpr int ExitLinkFailed = 1;
constexpr int ExitFileFailed = 1;
constexpr int ExitRefused = 2;
constexpr int ExitIncomplete = 3;
constexpr int ExitUsage = 64;

const char* const Help =
    "Usage:\n"
    "  tracebay-cli [--usb | --serial DEVICE [--baud RATE]] identify\n"
    "  tracebay-cli [--usb | --serial DEVICE [--baud RATE]] upload [--ch1] [--ch2] [--math]\n"
    "               [--la] [--json FILE|-] [EXPORTS]\n"
    "  tracebay-cli [--usb | --serial DEVICE [--baud RATE]] key NAME\n"
    "  tracebay-cli key --list\n"
    "  tracebay-cli render --json FILE EXPORTS\n"
    "  tracebay-cli measure --json FILE [--format text|json]\n"
    "  EXPORTS: any of --png FILE --svg FILE --pdf FILE --csv FILE --vcd FILE --sr FILE,\n"
    "           with [--zoom PERCENT] [--bw] [--no-grid]\n"
    "\n"
    "Talks to a QM1000 oscilloscope over USB (the default) or an RS232 port.\n"
    "\n"
    "Link:\n"
    "  --usb            use the USB link (the KavloUsbLink library)\n"
    "  --serial DEVICE  use the serial port DEVICE, e.g. /dev/ttyUSB0 or COM1\n"
    "  --baud RATE      serial baud rate, 110 to 4000000 (default 9600)\n"
    "\n"
    "Commands:\n"
    "  identify         connect and print model=... firmware=... logic_analyzer=yes|no\n"
    "  upload           connect and upload the instrument's screen as one Refresh does:\n"
    "                   the settings and the sample blocks of the chosen traces (CH1 when\n"
    "                   none is chosen), written as JSON; its \"Arrived\" and\n"
    "                   \"Missing\" say which blocks came whole and why others did not\n"
    "    --ch1 --ch2 --math --la   traces to upload (--math fetches the FFT when the\n"
    "                   instrument shows it)\n"
    "    --json FILE    write the upload to FILE, or to standard output for -\n"
    "                   (the default when no export is given)\n"
    "    --png FILE     draw the uploaded screen into FILE, as the program shows it\n"
    "    --svg FILE     the same drawing as an SVG drawing, in shapes\n"
    "    --pdf FILE     the same drawing as a PDF document, in shapes\n"
    "    --csv FILE     the samples as a table: time, volts, FFT, logic lines\n"
    "    --vcd FILE     the logic lines as a value change dump (IEEE 1364), one sample\n"
    "                   per screen column\n"
    "    --sr FILE      the logic lines as a sigrok session, one sample per screen column;\n"
    "                   an upload without logic lines (see --la) writes neither file\n"
    "    --zoom PERCENT the drawing's scale, 1 to 1000 (default 100: 350 x 250 pixels)\n"
    "    --bw           black and white instead of colour\n"
    "    --no-grid      leave out the dotted division grid\n"
    "  render           draw an upload saved with --json, without an instrument; takes\n"
    "                   --json FILE (the saved upload) and the exports above\n"
    "  measure          the automatic measurements of an upload saved with --json, without\n"
    "                   an instrument: vmax, vmin, vpp, vmean, vrms, frequency, period,\n"
    "                   duty, rise and fall of each trace (the FFT: peak_frequency and\n"
    "                   peak_level; X-Y: the levels), over the samples --csv writes\n"
    "    --format text  a table, a row per trace, as fine as the screen shows (the default)\n"
    "    --format json  the figures in V, s and Hz (the duty as a fraction), null where\n"
    "                   a figure cannot be determined\n"
    "  key NAME         connect and press the front-panel key NAME, e.g. RUN or :AUTO\n"
    "                   (sends \":KEY\" followed by the name with its colon)\n"
    "  key --list       print the names of the front-panel keys\n"
    "\n"
    "Messages the program would show in a box go to standard error as \"Caption: text\".\n"
    "Files are replaced whole or not at all.\n"
    "Exit status: 0 done, 1 the link failed (no port, no device, no reply) or a file could\n"
    "not be read or written, 2 the instrument was refused (another device, or firmware older\n"
    "than 01.01.01), 3 the upload is incomplete: a block or the system block did not come\n"
    "whole (each is named on standard error, e.g. \"CH2: no data (time-out)\"; the files hold\n"
    "what did come), 64 wrong usage.\n";

struct Options {
    bool serial = false;
    std::string device;
    std::string baud = "9600";
    std::string command;
    std::string keyName;
    bool listKeys = false;
    bool ch1 = false, ch2 = false, math = false, la = false;
    std::optional<std::string> json;
    // The files to write the upload into, in the formats their flags name.
    std::vector<std::pair<const exporting::Format*, std::string>> exports;
    double zoom = 100;
    bool blackAndWhite = false;
    bool noGrid = false;
    bool jsonFigures = false;  // measure: JSON instead of a table
};

struct UsageError : std::runtime_error {
    explicit UsageError(const std::string& what, std::string where = "--help")
        : std::runtime_error(what), seeAlso(std::move(where)) {}
    std::string seeAlso;  // where the right usage is shown
};

std::string baudOption(const std::string& text) {
    const auto baud = platform::baudRateFromText(text);
    if (!baud)
        throw UsageError("--baud takes a rate from " + std::to_string(platform::MinBaudRate) +
                         " to " + std::to_string(platform::MaxBaudRate));
    return std::to_string(*baud);
}

// Key names are sent as single-byte characters.
void keyOption(const QString& argument, Options& o) {
    if (argument == "--list") {
        o.listKeys = true;
        return;
    }
    const std::string text = argument.toLatin1().toStdString();
    const auto key = acquisition::keyNamed(text);
    if (!key) throw UsageError("no front-panel key is named " + text, "tracebay-cli key --list");
    o.keyName = *key;
}

void listKeys() {
    for (const auto name : acquisition::KeyNames) std::cout << name << "\n";
}

// True for JSON, false for the table.
bool figureFormatOption(const std::string& text) {
    if (text != "text" && text != "json") throw UsageError("--format takes text or json");
    return text == "json";
}

// An export flag (--png, --svg, --pdf, --csv, --vcd, --sr); --json names the upload itself.
const exporting::Format* exportFormat(const QString& arg) {
    if (arg == "--json") return nullptr;
    return exporting::formatForOption(arg.toStdString());
}

Options parse(const QStringList& args) {
    Options o;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString arg = args[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) throw UsageError(arg.toStdString() + " needs a value");
            return args[++i].toStdString();
        };
        if (arg == "--help" || arg == "-h") {
            std::cout << Help;
            std::exit(ExitOk);
        } else if (arg == "--usb") {
            o.serial = false;
        } else if (arg == "--serial") {
            o.serial = true;
            o.device = value();
        } else if (arg == "--baud") {
            o.baud = baudOption(value());
        } else if (arg == "--ch1") {
            o.ch1 = true;
        } else if (arg == "--ch2") {
            o.ch2 = true;
        } else if (arg == "--math") {
            o.math = true;
        } else if (arg == "--la") {
            o.la = true;
        } else if (arg == "--json") {
            o.json = value();
        } else if (const auto* format = exportFormat(arg)) {
            o.exports.emplace_back(format, value());
        } else if (arg == "--zoom") {
            bool ok = false;
            o.zoom = QString::fromStdString(value()).toDouble(&ok);
            if (!ok || !(o.zoom >= 1 && o.zoom <= 1000))
                throw UsageError("--zoom takes a percentage from 1 to 1000");
        } else if (arg == "--bw") {
            o.blackAndWhite = true;
        } else if (arg == "--no-grid") {
            o.noGrid = true;
        } else if (arg == "--format") {
            o.jsonFigures = figureFormatOption(value());
        } else if (o.command.empty() && (arg == "identify" || arg == "upload" || arg == "key" ||
                                         arg == "render" || arg == "measure")) {
            o.command = arg.toStdString();
            if (o.command == "key") keyOption(QString::fromStdString(value()), o);
        } else {
            throw UsageError("unexpected " + arg.toStdString());
        }
    }
    if (o.command.empty()) throw UsageError("no command given");
    if (o.command == "render" && (!o.json || o.exports.empty()))
        throw UsageError("render needs --json FILE and a file to write");
    if (o.command == "measure" && (!o.json || !o.exports.empty()))
        throw UsageError("measure needs --json FILE and writes no other file");
    return o;
}

// A message as a box shows it, a line for each of its lines ("\r", "\n", "\r\n" or "\n\r"),
// with what the instrument put into it made harmless to the terminal.
std::string printableMessage(std::string_view text) {
    std::string printed;
    for (size_t start = 0;;) {
        const size_t end = text.find_first_of("\r\n", start);
        printed += platform::escapeControls(text.substr(start, end - start));
        if (end == std::string_view::npos) return printed;
        printed += '\n';
        start = end + 1;
        if (start < text.size() && (text[start] == '\r' || text[start] == '\n') &&
            text[start] != text[end])
            ++start;
    }
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

// The screen as the main window draws it at this scale, its samples or its logic lines, into
// every file asked for.
bool writeExports(acquisition::ScopeState slot, const Options& options) {
    slot.ColorDisplay = !options.blackAndWhite;
    slot.GridVisible = !options.noGrid;
    bool written = true;
    for (const auto& [format, target] : options.exports) {
        const std::string failure = exporting::exportTo(*format, {slot, {}, options.zoom / 100},
                                                        QString::fromStdString(target));
        if (failure.empty()) continue;
        std::cerr << "tracebay-cli: " << platform::escapeControls(failure) << "\n";
        written = false;
    }
    return written;
}

// A failed read or write of a file, reported in one line.
int fileFailed(const std::string& what, const std::string& path, const std::string& why) {
    std::cerr << "tracebay-cli: " << what << " " << platform::escapeControls(path) << ": "
              << platform::escapeControls(why) << "\n";
    return ExitFileFailed;
}

// Draws a saved upload; no instrument needed.
int render(const Options& options) {
    std::string error;
    const auto slot = acquisition::readUploadFile(*options.json, error);
    if (!slot) return fileFailed("cannot read", *options.json, error);
    return writeExports(*slot, options) ? ExitOk : ExitFileFailed;
}

// Text on standard output; a failed write fails as a file does.
int writeOut(const std::string& text) {
    std::cout << text;
    if (std::cout.flush()) return ExitOk;
    std::cerr << "tracebay-cli: cannot write to standard output\n";
    return ExitFileFailed;
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

// Names each part the upload asked for and did not get; true when there was one.
bool reportMissingParts(const acquisition::ScopeState& slot) {
    bool missing = false;
    for (const acquisition::UploadPart& part : slot.Parts) {
        if (part.arrived()) continue;
        std::cerr << platform::escapeControls(part.shortfall()) << "\n";
        missing = true;
    }
    return missing;
}

// One session on this thread: connect, the command, and the close the program does too.
class Cli : private session::SessionObserver {
public:
    explicit Cli(const Options& options) : options_(options) {
        host_.setMessageSink([](const std::string& text, const std::string& caption) {
            std::cerr << caption << ": " << printableMessage(text) << std::endl;
        });
        if (options.serial) {
            link_.IoType = session::LinkOptions::IoTypeSerial;
            link_.SerialDevice = options.device;
            link_.BaudRate = options.baud;
        }
    }

    int run() {
        session().connect(link_);
        int status = exitStatus(outcome_);
        if (options_.command == "identify") identify();
        if (status == ExitOk) status = runCommand();
        session().close();
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
        return ExitOk;
    }

    int upload() {
        session::Sources sources{options_.ch1, options_.ch2, options_.math, options_.la};
        sources.ch1 = sources.ch1 || !sources.any();
        session().refresh(sources);
        if (!upload_) return ExitLinkFailed;
        acquisition::ScopeState& slot = upload_->screen;
        slot.ShowCh1 = upload_->sources.ch1;
        slot.ShowCh2 = upload_->sources.ch2;
        slot.ShowMath = upload_->sources.math;
        slot.ShowLa = upload_->sources.la;
        slot.ColorDisplay = !options_.blackAndWhite;
        slot.GridVisible = !options_.noGrid;
        slot.HasData = true;
        if (const int status = writeResults(slot); status != ExitOk) return status;
        return reportMissingParts(slot) ? ExitIncomplete : ExitOk;
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
    session::LinkOptions link_;
    platform::QtHost host_;
    session::Wires wires_ = session::systemWires();
    session::InlineSession owner_{{host_, *wires_.port, *wires_.usb}, *this};
    ConnectOutcome outcome_ = ConnectOutcome::LinkFailed;
    session::Identity instrument_;
    std::optional<session::Upload> upload_;
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
    if (options.exports.empty()) {
        QCoreApplication app(argc, argv);
        return Cli(options).run();
    }
    // Drawing needs fonts, not a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietPlatform);
    QGuiApplication app(argc, argv);
    if (options.command == "render") return render(options);
    return Cli(options).run();
}
