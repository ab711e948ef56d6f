#pragma once

#include <QStringList>

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "export/Exporters.h"
#include "export/UploadRecorder.h"

namespace tracebay::cli {

constexpr int ExitOk = 0;
constexpr int ExitLinkFailed = 1;
constexpr int ExitFileFailed = 1;
constexpr int ExitRefused = 2;
constexpr int ExitMaskFailed = 2;  // a sample lay outside the mask
constexpr int ExitCannotCheck = 1;
constexpr int ExitIncomplete = 3;
constexpr int ExitUsage = 64;

extern const char* const Help;

struct RecordOptions {
    std::string folder;
    int count = 0;  // 0: until stopped
    double intervalSeconds = 0;
    exporting::RecordChoice files;
};

// mask make, mask check, and the mask test while recording.
struct MaskOptions {
    std::string action;  // "make" or "check"
    std::string source = "CH1";
    std::optional<double> tolerance;  // divisions
    double timeTolerance = 0;         // divisions
    std::string out;                  // the mask file to make
    std::string file;                 // the mask file to check with
    bool stopOnFail = false;
};

// A reference render draws: a saved upload and the trace of it to draw.
struct ReferenceOption {
    std::string path;
    std::string source;
};

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
    bool jsonFigures = false;  // measure, mask check, decode: JSON instead of text
    RecordOptions record;
    MaskOptions mask;
    std::vector<ReferenceOption> references;  // REF A, REF B
    // decode and record: the decoder stacks (-P), as written.
    std::vector<std::string> decoders;
    bool listDecoders = false;
};

struct UsageError : std::runtime_error {
    explicit UsageError(const std::string& what, std::string where = "--help")
        : std::runtime_error(what), seeAlso(std::move(where)) {}
    std::string seeAlso;  // where the right usage is shown
};

// The options of the command line (the program's name first); --help prints the help and ends
// the program.
Options parse(const QStringList& args);

}  // namespace tracebay::cli
