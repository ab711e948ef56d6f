#include "tools/CliOptions.h"

#include <cstdlib>
#include <functional>
#include <iostream>
#include <limits>

#include "acquisition/KeyNames.h"
#include "platform/SerialLineSettings.h"

namespace tracebay::cli {

const char* const Help =
    "Usage:\n"
    "  tracebay-cli [--usb | --serial DEVICE [--baud RATE]] identify\n"
    "  tracebay-cli [--usb | --serial DEVICE [--baud RATE]] upload [--ch1] [--ch2] [--math]\n"
    "               [--la] [--json FILE|-] [EXPORTS]\n"
    "  tracebay-cli [--usb | --serial DEVICE [--baud RATE]] key NAME\n"
    "  tracebay-cli key --list\n"
    "  tracebay-cli render --json FILE EXPORTS\n"
    "  tracebay-cli measure --json FILE [--format text|json]\n"
    "  tracebay-cli [--usb | --serial DEVICE [--baud RATE]] record --dir DIR [--count N]\n"
    "               [--interval SECONDS] [--png] [--vcd] [--sr] [--ch1] [--ch2] [--math]\n"
    "               [--la] [--zoom PERCENT] [--bw] [--no-grid]\n"
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
    "  record           connect and upload as upload does, again and again, each upload\n"
    "                   into DIR as a JSON file named by its capture time in UTC\n"
    "                   (2026-12-07T14-03-22.512Z.json) with the files chosen beside it;\n"
    "                   prints the path of each JSON file on a line of its own. An upload\n"
    "                   with a part missing is kept too, and recording goes on. Ctrl+C or\n"
    "                   SIGTERM ends it after the upload in progress, a second one at once\n"
    "                   (the keys unlocked, the upload in progress given up)\n"
    "    --dir DIR      the folder to write into, made first when it is not there\n"
    "    --count N      end after N uploads (default: until stopped)\n"
    "    --interval SECONDS  start an upload at most once in SECONDS (default 0: one\n"
    "                   right after another)\n"
    "    --png --vcd --sr    beside each JSON file the picture, and the logic lines of the\n"
    "                   uploads that hold them (--zoom, --bw and --no-grid as for upload)\n"
    "\n"
    "Messages the program would show in a box go to standard error as \"Caption: text\".\n"
    "Files are replaced whole or not at all.\n"
    "Exit status: 0 done, 1 the link failed (no port, no device, no reply) or a file could\n"
    "not be read or written, 2 the instrument was refused (another device, or firmware older\n"
    "than 01.01.01), 3 the upload is incomplete: a block or the system block did not come\n"
    "whole (each is named on standard error, e.g. \"CH2: no data (time-out)\"; the files hold\n"
    "what did come), 64 wrong usage. record ends with 1 when the link fails or a file cannot\n"
    "be written, else 3 when any of its uploads was incomplete, else 0.\n";

namespace {

const QStringList Commands{"identify", "upload", "key", "render", "measure", "record"};
// The options that take a value whatever the command.
const QStringList ValueOptions{"--serial", "--baud", "--json",  "--zoom",
                               "--format", "--dir",  "--count", "--interval"};

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

// True for JSON, false for the table.
bool figureFormatOption(const std::string& text) {
    if (text != "text" && text != "json") throw UsageError("--format takes text or json");
    return text == "json";
}

// A number from `low` to `high`.
double numberOption(const std::string& text, double low, double high, const char* usage) {
    bool ok = false;
    const double number = QString::fromStdString(text).toDouble(&ok);
    if (!ok || !(number >= low && number <= high)) throw UsageError(usage);
    return number;
}

// record's files beside the JSON are flags, not files; false for another option.
bool recordFlag(const QString& arg, exporting::RecordChoice& files) {
    bool* flag = arg == "--png"   ? &files.png
                 : arg == "--vcd" ? &files.vcd
                 : arg == "--sr"  ? &files.sr
                                  : nullptr;
    if (flag) *flag = true;
    return flag != nullptr;
}

// record's own options; false for another option.
bool recordOption(const QString& arg, const std::function<std::string()>& value, RecordOptions& r) {
    if (arg == "--dir") {
        r.folder = value();
    } else if (arg == "--count") {
        bool ok = false;
        r.count = QString::fromStdString(value()).toInt(&ok);
        if (!ok || r.count < 1) throw UsageError("--count takes a whole number from 1 up");
    } else if (arg == "--interval") {
        r.intervalSeconds = numberOption(value(), 0, std::numeric_limits<double>::max(),
                                         "--interval takes a number of seconds, 0 or more");
    } else {
        return false;
    }
    return true;
}

// An export flag (--png, --svg, --pdf, --csv, --vcd, --sr); --json names the upload itself.
const exporting::Format* exportFormat(const QString& arg) {
    if (arg == "--json") return nullptr;
    return exporting::formatForOption(arg.toStdString());
}

// The command comes first: whether --png, --vcd and --sr take a file depends on it.
QString commandIn(const QStringList& args) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (Commands.contains(args[i])) return args[i];
        if (ValueOptions.contains(args[i])) ++i;
    }
    return {};
}

// Applies the option `arg`, reading its value with `value`; false for no option.
bool applyOption(const QString& arg, const std::function<std::string()>& value, Options& o) {
    if (o.command == "record" && recordFlag(arg, o.record.files)) return true;
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
        o.zoom = numberOption(value(), 1, 1000, "--zoom takes a percentage from 1 to 1000");
    } else if (arg == "--bw") {
        o.blackAndWhite = true;
    } else if (arg == "--no-grid") {
        o.noGrid = true;
    } else if (arg == "--format") {
        o.jsonFigures = figureFormatOption(value());
    } else {
        return recordOption(arg, value, o.record);
    }
    return true;
}

void checkCombination(const Options& o) {
    if (o.command.empty()) throw UsageError("no command given");
    if (o.command == "render" && (!o.json || o.exports.empty()))
        throw UsageError("render needs --json FILE and a file to write");
    if (o.command == "measure" && (!o.json || !o.exports.empty()))
        throw UsageError("measure needs --json FILE and writes no other file");
    if (o.command == "record" && (o.record.folder.empty() || o.json || !o.exports.empty()))
        throw UsageError("record needs --dir DIR and writes no other file");
}

}  // namespace

Options parse(const QStringList& args) {
    Options o;
    const QString command = commandIn(args);
    o.command = command.toStdString();
    bool commandSeen = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString arg = args[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) throw UsageError(arg.toStdString() + " needs a value");
            return args[++i].toStdString();
        };
        if (!commandSeen && arg == command) {
            commandSeen = true;
            if (o.command == "key") keyOption(QString::fromStdString(value()), o);
        } else if (!applyOption(arg, value, o)) {
            throw UsageError("unexpected " + arg.toStdString());
        }
    }
    checkCombination(o);
    return o;
}

}  // namespace tracebay::cli
