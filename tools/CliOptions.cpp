#include "tools/CliOptions.h"

#include <cstdlib>
#include <functional>
#include <iostream>
#include <limits>

#include "acquisition/KeyNames.h"
#include "mask/Reference.h"
#include "platform/SerialLineSettings.h"

namespace tracebay::cli {

const char* const Help =
    "Usage:\n"
    "  tracebay-cli [--usb | --serial DEVICE [--baud RATE]] identify\n"
    "  tracebay-cli [--usb | --serial DEVICE [--baud RATE]] upload [--ch1] [--ch2] [--math]\n"
    "               [--la] [--json FILE|-] [EXPORTS]\n"
    "  tracebay-cli [--usb | --serial DEVICE [--baud RATE]] key NAME\n"
    "  tracebay-cli key --list\n"
    "  tracebay-cli render --json FILE [--ref FILE[:SOURCE]]... EXPORTS\n"
    "  tracebay-cli measure --json FILE [--format text|json]\n"
    "  tracebay-cli [--usb | --serial DEVICE [--baud RATE]] record --dir DIR [--count N]\n"
    "               [--interval SECONDS] [--png] [--vcd] [--sr] [--ch1] [--ch2] [--math]\n"
    "               [--la] [--zoom PERCENT] [--bw] [--no-grid] [--mask FILE [--stop-on-fail]]\n"
    "               [-P SPEC ...]\n"
    "  tracebay-cli mask make --json FILE [--source SOURCE] --tolerance DIVISIONS\n"
    "               [--time-tolerance DIVISIONS] --out FILE\n"
    "  tracebay-cli mask check --mask FILE --json FILE [--format text|json]\n"
    "  tracebay-cli decode --json FILE -P SPEC [-P SPEC ...] [--format text|json]\n"
    "  tracebay-cli decode --list\n"
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
    "    --csv FILE     the samples as a table: time, volts, FFT, logic lines, a row\n"
    "                   per sample time (two a screen column)\n"
    "    --vcd FILE     the logic lines as a value change dump (IEEE 1364), two\n"
    "                   samples a screen column, as the screen draws them\n"
    "    --sr FILE      the logic lines as a sigrok session, two samples a column;\n"
    "                   an upload without logic lines (see --la) writes neither file\n"
    "    --zoom PERCENT the drawing's scale, 1 to 1000 (default 100: 350 x 250 pixels)\n"
    "    --bw           black and white instead of colour\n"
    "    --no-grid      leave out the dotted division grid\n"
    "  render           draw an upload saved with --json, without an instrument; takes\n"
    "                   --json FILE (the saved upload) and the exports above\n"
    "    --ref FILE[:SOURCE]  draw a trace of the upload saved in FILE over the picture as\n"
    "                   a reference, in volts and seconds: CH1 unless SOURCE says CH2 or\n"
    "                   MATH; the first is REF A, a second REF B\n"
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
    "    --mask FILE    test each upload against the mask in FILE and keep the outcome in\n"
    "                   its JSON as \"Mask\": {\"pass\": ..., \"outside\": ..., ...}; a\n"
    "                   failing upload is named on standard error\n"
    "    --stop-on-fail end at the first upload that fails the mask (exit status 2) or\n"
    "                   cannot be checked against it (1)\n"
    "    -P SPEC        decode each upload as decode does, into NAME.decoded.json beside it\n"
    "  mask make        make a mask from a trace of an upload saved with --json: at each\n"
    "                   sample time a lower and an upper bound, in volts and seconds\n"
    "    --source SOURCE  the trace: CH1 (the default), CH2 or MATH\n"
    "    --tolerance DIVISIONS  how far above and below the trace, in divisions of its\n"
    "                   scale, 0 to 8\n"
    "    --time-tolerance DIVISIONS  how far the trace may move in time, in divisions of\n"
    "                   its time base, 0 to 12 (default 0)\n"
    "    --out FILE     the mask file to write\n"
    "  mask check       compare every sample of the mask's trace in an upload saved with\n"
    "                   --json with the mask: at any volts per division; a sample on the\n"
    "                   screen's edge counts as outside\n"
    "    --mask FILE    the mask\n"
    "    --format text  a line: pass, or how many samples lie outside and the first\n"
    "    --format json  {\"pass\": ..., \"outside\": N, \"samples\": N, \"first\":\n"
    "                   {\"time\": S, \"volts\": V} or null, \"source\": \"CH1\"}\n"
    "  decode           the protocol decoders' findings in an upload saved with --json,\n"
    "                   without an instrument, in time order, the times in seconds from\n"
    "                   the trigger\n"
    "    -P SPEC        a decoder and its settings, decoder:name=value:..., naming its\n"
    "                   channels D0 ... D15, CH1 or CH2 (half-way between the channel's\n"
    "                   base and top, 10 % hysteresis) or CH1@1.5 (at 1.5 V), e.g.\n"
    "                   -P uart:rx=D0:baudrate=9600  -P i2c:scl=D1:sda=D2\n"
    "                   -P spi:clk=D3:mosi=D4:cs=D5  -P uart:rx=CH1:baudrate=115200;\n"
    "                   SPEC,decoder stacks a decoder on it: -P i2c:scl=D1:sda=D2,eeprom24xx\n"
    "    --format text  a line each: start end decoder class: text (the default)\n"
    "    --format json  an array of {\"decoder\", \"class\", \"start\", \"end\", \"texts\"}\n"
    "  decode --list    the decoders with their channels and options\n"
    "\n"
    "Messages the program would show in a box go to standard error as \"Caption: text\".\n"
    "Files are replaced whole or not at all.\n"
    "Exit status: 0 done, 1 the link failed (no port, no device, no reply) or a file could\n"
    "not be read or written, 2 the instrument was refused (another device, or firmware older\n"
    "than 01.01.01), 3 the upload is incomplete: a block or the system block did not come\n"
    "whole (each is named on standard error, e.g. \"CH2: no data (time-out)\"; the files hold\n"
    "what did come), 64 wrong usage. record ends with 1 when the link fails or a file cannot\n"
    "be written, else 3 when any of its uploads was incomplete, else 1 when a decoder\n"
    "failed on one, else 0; with --stop-on-fail 2 when an upload failed the mask. mask\n"
    "check: 0 pass, 2 fail, 1 cannot check (the trace is missing, its times lie beyond the\n"
    "mask's, the mask file is no mask). decode ends with 0 when decoded (even with nothing\n"
    "found), 1 when the file cannot be decoded or a decoder fails, 64 for an unknown\n"
    "decoder, channel or option value. Ctrl+C or SIGTERM ends identify, upload and key at\n"
    "once with 130 or 143 (128 + the signal), the keys unlocked and no file written.\n";

namespace {

const QStringList Commands{"identify", "upload", "key",  "render",
                           "measure",  "record", "mask", "decode"};
// The options that take a value whatever the command.
const QStringList ValueOptions{
    "--serial", "--baud",     "--json",   "--zoom",      "--format",         "--dir",
    "--count",  "--interval", "--source", "--tolerance", "--time-tolerance", "--out",
    "--mask",   "--ref",      "-P"};

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

std::string maskAction(const std::string& text) {
    if (text != "make" && text != "check") throw UsageError("mask takes make or check");
    return text;
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

std::string sourceOption(const std::string& text) {
    if (!mask::comparableSource(text)) throw UsageError("--source takes CH1, CH2 or MATH");
    return text;
}

// FILE, or FILE:SOURCE where what follows the last colon names a trace.
ReferenceOption referenceOption(const std::string& text) {
    const size_t colon = text.rfind(':');
    if (colon != std::string::npos && mask::comparableSource(text.substr(colon + 1)))
        return {text.substr(0, colon), text.substr(colon + 1)};
    return {text, "CH1"};
}

// The options of mask and of a recording's mask test; false for another option.
bool maskOption(const QString& arg, const std::function<std::string()>& value, Options& o) {
    MaskOptions& m = o.mask;
    if (arg == "--source") {
        m.source = sourceOption(value());
    } else if (arg == "--tolerance") {
        m.tolerance = numberOption(value(), 0, 8, "--tolerance takes divisions from 0 to 8");
    } else if (arg == "--time-tolerance") {
        m.timeTolerance =
            numberOption(value(), 0, 12, "--time-tolerance takes divisions from 0 to 12");
    } else if (arg == "--out") {
        m.out = value();
    } else if (arg == "--mask") {
        m.file = value();
    } else if (arg == "--stop-on-fail") {
        m.stopOnFail = true;
    } else if (arg == "--ref") {
        o.references.push_back(referenceOption(value()));
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
    } else if (arg == "-P") {
        o.decoders.push_back(value());
    } else if (arg == "--list" && o.command == "decode") {
        o.listDecoders = true;
    } else if (!maskOption(arg, value, o)) {
        return recordOption(arg, value, o.record);
    }
    return true;
}

// What each command takes of the mask options.
void checkMaskCombination(const Options& o) {
    const MaskOptions& m = o.mask;
    if (!o.references.empty() && (o.command != "render" || o.references.size() > 2))
        throw UsageError("--ref draws at most two references (REF A and REF B) with render");
    if (m.stopOnFail && m.file.empty()) throw UsageError("--stop-on-fail needs --mask FILE");
    const bool masking = o.command == "mask" || o.command == "record";
    if (!masking && (!m.file.empty() || m.tolerance || !m.out.empty()))
        throw UsageError("--mask, --tolerance and --out belong to mask and record");
    if (o.command != "mask") return;
    if (!o.json || !o.exports.empty())
        throw UsageError("mask needs --json FILE and writes no other file");
    if (m.action == "make" && (!m.tolerance || m.out.empty() || !m.file.empty()))
        throw UsageError("mask make needs --tolerance DIVISIONS and --out FILE");
    if (m.action == "check" && (m.file.empty() || !m.out.empty() || m.tolerance))
        throw UsageError("mask check needs --mask FILE");
}

void checkCombination(const Options& o) {
    if (o.command.empty()) throw UsageError("no command given");
    if (o.command == "render" && (!o.json || o.exports.empty()))
        throw UsageError("render needs --json FILE and a file to write");
    if (o.command == "measure" && (!o.json || !o.exports.empty()))
        throw UsageError("measure needs --json FILE and writes no other file");
    if (o.command == "record" && (o.record.folder.empty() || o.json || !o.exports.empty()))
        throw UsageError("record needs --dir DIR and writes no other file");
    checkMaskCombination(o);
    if (o.command == "decode" && !o.listDecoders &&
        (!o.json || o.decoders.empty() || !o.exports.empty()))
        throw UsageError("decode needs --json FILE and -P SPEC and writes no other file");
    if (!o.decoders.empty() && o.command != "decode" && o.command != "record")
        throw UsageError("-P goes with decode and record");
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
            if (o.command == "mask") o.mask.action = maskAction(value());
        } else if (!applyOption(arg, value, o)) {
            throw UsageError("unexpected " + arg.toStdString());
        }
    }
    checkCombination(o);
    return o;
}

}  // namespace tracebay::cli
