#include "tools/DecodeCommand.h"

#include <iostream>

#include "acquisition/UploadFile.h"
#include "decode/DecodedText.h"
#include "platform/EscapedText.h"
#include "tools/CliOutput.h"

namespace tracebay::cli {
namespace {

int libraryFailed() {
    std::cerr << "tracebay-cli: " << decode::libraryFailure() << "\n";
    return ExitFileFailed;
}

int refused(const std::string& why) {
    std::cerr << "tracebay-cli: " << platform::escapeControls(why)
              << " (see tracebay-cli decode --list)\n";
    return ExitUsage;
}

}  // namespace

int listDecoders() {
    if (!decode::libraryFailure().empty()) return libraryFailed();
    return writeOut(decode::decoderList(decode::listDecoders()));
}

std::optional<std::vector<decode::StackSpec>> checkedStacks(const Options& options, int& status) {
    if (!decode::libraryFailure().empty()) {
        status = libraryFailed();
        return std::nullopt;
    }
    std::vector<decode::StackSpec> stacks;
    std::string error;
    for (const std::string& text : options.decoders) {
        auto stack = decode::parseStack(text, error);
        if (!stack) {
            status = refused(error);
            return std::nullopt;
        }
        stacks.push_back(std::move(*stack));
    }
    if (!decode::resolveStacks(stacks, error)) {
        status = refused(error);
        return std::nullopt;
    }
    return stacks;
}

bool decodeReporting(const acquisition::ScopeState& upload,
                     const std::vector<decode::StackSpec>& stacks, decode::Decoded& decoded) {
    decoded = decode::decodeUpload(upload, stacks);
    const std::string problems = decoded.problems();
    if (!problems.empty()) std::cerr << printableMessage(problems) << "\n";
    return problems.empty();
}

// The annotations come out even when a stack failed: what was found before it stopped.
int decodeFile(const Options& options) {
    int status = ExitOk;
    const auto stacks = checkedStacks(options, status);
    if (!stacks) return status;
    std::string error;
    const auto upload = acquisition::readUploadFile(*options.json, error);
    if (!upload) return fileFailed("cannot read", *options.json, error);
    decode::Decoded decoded;
    const bool whole = decodeReporting(*upload, *stacks, decoded);
    status = writeOut(options.jsonFigures ? decode::annotationsJson(decoded.annotations)
                                          : decode::annotationsText(decoded.annotations));
    return whole ? status : ExitFileFailed;
}

}  // namespace tracebay::cli
