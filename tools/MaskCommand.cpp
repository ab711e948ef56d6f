#include "tools/MaskCommand.h"

#include <iostream>

#include "acquisition/UploadFile.h"
#include "mask/MaskFile.h"
#include "mask/MaskReport.h"
#include "platform/EscapedText.h"
#include "tools/CliOutput.h"

namespace tracebay::cli {
namespace {

int cannotCheck(const std::string& why) {
    std::cerr << "tracebay-cli: cannot check: " << platform::escapeControls(why) << "\n";
    return ExitCannotCheck;
}

int makeMask(const Options& options, const acquisition::ScopeState& upload) {
    const MaskOptions& m = options.mask;
    std::string why;
    const auto reference = mask::referenceFrom(upload, m.source, why);
    const auto made =
        reference ? mask::makeMask(*reference, *m.tolerance, m.timeTolerance, why) : std::nullopt;
    if (!made) return fileFailed("cannot make a mask from", *options.json, why);
    if (!mask::writeMaskFile(m.out, *made, why)) return fileFailed("cannot write", m.out, why);
    return ExitOk;
}

int checkMask(const Options& options, const acquisition::ScopeState& upload) {
    std::string why;
    const auto mask = mask::readMaskFile(options.mask.file, why);
    if (!mask) return cannotCheck(options.mask.file + ": " + why);
    const auto check = mask::checkUpload(*mask, upload, why);
    if (!check) return cannotCheck(why);
    const acquisition::MaskVerdict verdict = check->verdict();
    const int written = writeOut(options.jsonFigures ? mask::verdictJson(verdict)
                                                     : mask::verdictText(verdict, mask->unit));
    if (written != ExitOk) return written;
    return verdict.passed() ? ExitOk : ExitMaskFailed;
}

}  // namespace

int maskCommand(const Options& options) {
    std::string error;
    const auto upload = acquisition::readUploadFile(*options.json, error);
    if (!upload) return fileFailed("cannot read", *options.json, error);
    return options.mask.action == "make" ? makeMask(options, *upload) : checkMask(options, *upload);
}

std::optional<mask::Comparison> referencesToDraw(const Options& options) {
    mask::Comparison comparison;
    for (const ReferenceOption& ref : options.references) {
        std::string why;
        const auto upload = acquisition::readUploadFile(ref.path, why);
        const auto trace = upload ? mask::referenceFrom(*upload, ref.source, why) : std::nullopt;
        if (!trace) {
            fileFailed("cannot take a reference from", ref.path, why);
            return std::nullopt;
        }
        const char* label = comparison.references.empty() ? "REF A" : "REF B";
        comparison.references.push_back({label, *trace});
    }
    return comparison;
}

std::optional<mask::Mask> recordingMask(const Options& options) {
    std::string why;
    auto mask = mask::readMaskFile(options.mask.file, why);
    if (!mask) fileFailed("cannot read the mask", options.mask.file, why);
    return mask;
}

session::Screen withMaskVerdict(const mask::Mask& mask, const session::Screen& upload) {
    std::string why;
    const auto check = mask::checkUpload(mask, *upload, why);
    auto tested = std::make_shared<acquisition::ScopeState>(*upload);
    tested->Mask = check ? check->verdict() : mask::uncheckedVerdict(mask, why);
    return tested;
}

void reportVerdict(const mask::Mask& mask, const acquisition::MaskVerdict& verdict) {
    if (!verdict.checked())
        cannotCheck(verdict.reason);
    else if (!verdict.passed())
        std::cerr << mask::verdictText(verdict, mask.unit);
}

}  // namespace tracebay::cli
