#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/ScopeState.h"
#include "decode/Annotation.h"
#include "decode/Catalogue.h"
#include "decode/DecoderSpec.h"
#include "decode/Library.h"

// Protocol decoders over an upload's samples, through the field's decoder library. Every call
// waits for the library's thread except decodeUploadLater(), the one for the window's thread.
namespace tracebay::decode {

using library::Limits;

// How one stack of a set-up fared on one upload.
struct StackOutcome {
    enum class Kind {
        Decoded,
        Refused,      // an unknown decoder, channel or option value
        Undecodable,  // the upload holds no samples the stack can read
        Failed,       // a decoder raised an exception or was stopped
    };
    Kind kind = Kind::Decoded;
    std::string stack;    // as written
    std::string message;  // why it was not decoded; "" when it was
};

struct Decoded {
    std::vector<Annotation> annotations;  // in time order
    std::vector<StackOutcome> outcomes;   // a stack each, in the set-up's order

    // The messages of the stacks that were not decoded, a line each.
    std::string problems() const;
};

// Why the library cannot be used; "" when it can.
std::string libraryFailure();

// Every decoder the library has, by id.
std::vector<DecoderInfo> listDecoders();
// As listDecoders(), without waiting: `done` gets them on the library's thread.
void listDecodersLater(std::function<void(std::vector<DecoderInfo>)> done);

// The stacks checked against the library's decoders; nothing, with the reason in `error`, for
// an unknown decoder, channel, option or option value.
std::optional<std::vector<Stack>> resolveStacks(const std::vector<StackSpec>& specs,
                                                std::string& error);

Decoded decodeUpload(const acquisition::ScopeState& upload, const std::vector<StackSpec>& stacks,
                     const Limits& limits = {});
// As decodeUpload(), without waiting: `done` gets the result on the library's thread.
void decodeUploadLater(acquisition::ScopeState upload, std::vector<StackSpec> stacks,
                       std::function<void(Decoded)> done, const Limits& limits = {});

}  // namespace tracebay::decode
