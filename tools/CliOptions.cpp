#include "tools/CliOptions.h"

#include <cstdlib>
#include <iostream>

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

namespace {

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

// An export flag (--png, --svg, --pdf, --csv, --vcd, --sr); --json names the upload itself.
const exporting::Format* exportFormat(const QString& arg) {
    if (arg == "--json") return nullptr;
    return exporting::formatForOption(arg.toStdString());
}

}  // namespace

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

}  // namespace tracebay::cli
