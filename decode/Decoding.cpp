#include "decode/Decoding.h"

#include <algorithm>

#include "decode/LibraryThread.h"

namespace tracebay::decode {
namespace {

using Kind = StackOutcome::Kind;

std::optional<Stack> resolveHere(const StackSpec& spec, std::string& error) {
    return resolveStack(spec, library::decoder, error);
}

StackOutcome decodeStack(const acquisition::ScopeState& upload, const StackSpec& spec, int index,
                         const Limits& limits, std::vector<Annotation>& found) {
    StackOutcome outcome{Kind::Decoded, spec.text, {}};
    const auto fail = [&](Kind kind, const std::string& why) {
        outcome.kind = kind;
        outcome.message = spec.text + ": " + why;
        return outcome;
    };
    std::string error;
    const auto stack = resolveHere(spec, error);
    if (!stack) return fail(Kind::Refused, error);
    const auto frame = inputFrame(upload, stack->sources(), error);
    if (!frame) return fail(Kind::Undecodable, error);
    library::StackRun run = library::runStack(*stack, index, *frame, limits);
    found.insert(found.end(), std::make_move_iterator(run.annotations.begin()),
                 std::make_move_iterator(run.annotations.end()));
    if (!run.failure.empty()) {
        outcome.kind = Kind::Failed;
        outcome.message = run.failure;
    }
    return outcome;
}

Decoded decodeHere(const acquisition::ScopeState& upload, const std::vector<StackSpec>& stacks,
                   const Limits& limits) {
    Decoded decoded;
    const std::string failure = LibraryThread::instance().setupFailure();
    for (size_t i = 0; i < stacks.size(); ++i) {
        if (!failure.empty()) {
            decoded.outcomes.push_back({Kind::Failed, stacks[i].text, failure});
            continue;
        }
        decoded.outcomes.push_back(
            decodeStack(upload, stacks[i], static_cast<int>(i), limits, decoded.annotations));
    }
    std::stable_sort(decoded.annotations.begin(), decoded.annotations.end(),
                     [](const Annotation& a, const Annotation& b) { return a.start < b.start; });
    return decoded;
}

std::vector<DecoderInfo> listHere() {
    if (!LibraryThread::instance().setupFailure().empty()) return {};
    return library::allDecoders();
}

}  // namespace

std::string Decoded::problems() const {
    std::string text;
    for (const StackOutcome& outcome : outcomes)
        if (outcome.kind != Kind::Decoded) text += (text.empty() ? "" : "\n") + outcome.message;
    return text;
}

std::string libraryFailure() { return LibraryThread::instance().setupFailure(); }

std::vector<DecoderInfo> listDecoders() { return LibraryThread::instance().call(listHere); }

void listDecodersLater(std::function<void(std::vector<DecoderInfo>)> done) {
    LibraryThread::instance().post([done = std::move(done)] { done(listHere()); });
}

std::optional<std::vector<Stack>> resolveStacks(const std::vector<StackSpec>& specs,
                                                std::string& error) {
    return LibraryThread::instance().call([&]() -> std::optional<std::vector<Stack>> {
        std::vector<Stack> stacks;
        for (const StackSpec& spec : specs) {
            auto stack = resolveHere(spec, error);
            if (!stack) return std::nullopt;
            stacks.push_back(std::move(*stack));
        }
        return stacks;
    });
}

Decoded decodeUpload(const acquisition::ScopeState& upload, const std::vector<StackSpec>& stacks,
                     const Limits& limits) {
    return LibraryThread::instance().call([&] { return decodeHere(upload, stacks, limits); });
}

void decodeUploadLater(acquisition::ScopeState upload, std::vector<StackSpec> stacks,
                       std::function<void(Decoded)> done, const Limits& limits) {
    LibraryThread::instance().post([upload = std::move(upload), stacks = std::move(stacks),
                                    done = std::move(done),
                                    limits] { done(decodeHere(upload, stacks, limits)); });
}

}  // namespace tracebay::decode
