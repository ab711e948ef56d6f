#include "tools/RecordCommand.h"

#include <algorithm>
#include <chrono>
#include <iostream>
#include <thread>

#include "decode/DecodedText.h"
#include "platform/EscapedText.h"
#include "tools/CliOutput.h"
#include "tools/DecodeCommand.h"
#include "tools/MaskCommand.h"
#include "tools/StopSignals.h"

namespace tracebay::cli {
namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

// How late a stop asked for during the interval is seen at most.
constexpr Seconds WaitSlice = std::chrono::milliseconds(50);

// Waits until `seconds` after `start`; false when a stop is asked for meanwhile.
bool waitUntil(Clock::time_point start, double seconds) {
    for (;;) {
        if (stopAsked()) return false;
        const Seconds left = Seconds(seconds) - (Clock::now() - start);
        if (left <= Seconds::zero()) return true;
        std::this_thread::sleep_for(std::min(left, WaitSlice));
    }
}

// What the decoders found in the upload, to go beside it; false when a stack was not decoded.
bool decodeBeside(const session::Upload& upload, const std::vector<decode::StackSpec>& stacks,
                  std::vector<exporting::BesideFile>& beside) {
    if (stacks.empty()) return true;
    decode::Decoded decoded;
    const bool whole = decodeReporting(*upload.screen, stacks, decoded);
    beside.push_back({"decoded.json", decode::annotationsJson(decoded.annotations)});
    return whole;
}

// The upload's files, and the JSON file's path on standard output.
int keep(exporting::UploadRecorder& recorder, const session::Upload& upload, const Options& options,
         const std::vector<exporting::BesideFile>& beside) {
    const std::string failure = recorder.record({*upload.screen, {}, options.zoom / 100}, beside);
    if (!failure.empty()) {
        std::cerr << "tracebay-cli: " << platform::escapeControls(failure) << "\n";
        return ExitFileFailed;
    }
    return writeOut(platform::escapeControls(recorder.lastFiles().front().toStdString()) + "\n");
}

// The status a recording stops with after a mask test; ExitOk to go on.
int maskStop(const Options& options, const acquisition::MaskVerdict& verdict) {
    if (!options.mask.stopOnFail || verdict.passed()) return ExitOk;
    return verdict.checked() ? ExitMaskFailed : ExitCannotCheck;
}

}  // namespace

std::unique_ptr<exporting::UploadRecorder> openRecording(const Options& options) {
    auto recorder = std::make_unique<exporting::UploadRecorder>(
        QString::fromStdString(options.record.folder), options.record.files);
    if (recorder->folderFailure().empty()) return recorder;
    std::cerr << "tracebay-cli: " << platform::escapeControls(recorder->folderFailure()) << "\n";
    return nullptr;
}

int recordUploads(exporting::UploadRecorder& recorder, const Options& options,
                  const NextUpload& next, const mask::Mask* mask) {
    int status = ExitOk;
    std::vector<decode::StackSpec> stacks;
    if (!options.decoders.empty()) {
        auto checked = checkedStacks(options, status);
        if (!checked) return status;
        stacks = std::move(*checked);
    }
    const int count = options.record.count;
    bool incomplete = false;
    bool undecoded = false;
    Clock::time_point start;
    while (!stopAsked() && (count == 0 || recorder.recorded() < count)) {
        if (recorder.recorded() > 0 && !waitUntil(start, options.record.intervalSeconds)) break;
        start = Clock::now();
        std::optional<session::Upload> upload = next();
        if (endAtOnce()) break;
        if (!upload) return ExitLinkFailed;
        if (mask) upload->screen = withMaskVerdict(*mask, upload->screen);
        std::vector<exporting::BesideFile> beside;
        undecoded = !decodeBeside(*upload, stacks, beside) || undecoded;
        if (const int kept = keep(recorder, *upload, options, beside); kept != ExitOk) return kept;
        if (mask) reportVerdict(*mask, *upload->screen->Mask);
        incomplete = reportMissingParts(*upload->screen) || incomplete;
        if (upload->lost) return ExitLinkFailed;
        if (mask)
            if (const int stopped = maskStop(options, *upload->screen->Mask); stopped != ExitOk)
                return stopped;
    }
    return incomplete ? ExitIncomplete : undecoded ? ExitFileFailed : ExitOk;
}

}  // namespace tracebay::cli
