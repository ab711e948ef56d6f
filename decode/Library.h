#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "decode/Annotation.h"
#include "decode/Catalogue.h"
#include "decode/DecoderSpec.h"
#include "decode/InputFrame.h"

// What runs on the library thread (LibraryThread) only.
namespace tracebay::decode::library {

// What a decoder may take of one screen before it is stopped.
struct Limits {
    std::chrono::milliseconds time{2000};
    size_t annotations = 20000;
};

// The decoder the library has by `id`, loaded at the first ask; nullptr when there is none.
const DecoderInfo* decoder(const std::string& id);
// Every decoder the library has, by id.
const std::vector<DecoderInfo>& allDecoders();

struct StackRun {
    std::vector<Annotation> annotations;
    // Why the stack stopped early, naming the decoder; "" when it ran over the whole frame.
    std::string failure;
};

// Runs the stack (number `index` of the set-up) over the frame.
StackRun runStack(const Stack& stack, int index, const InputFrame& frame, const Limits& limits);

}  // namespace tracebay::decode::library
