#pragma once

#include <string>
#include <vector>

#include "decode/Annotation.h"
#include "decode/Catalogue.h"

namespace tracebay::decode {

// The annotations as a JSON array in their order, each {"decoder", "class", "start", "end",
// "texts"}, the times in seconds from the trigger.
std::string annotationsJson(const std::vector<Annotation>& annotations);
// A line each: "start end decoder class: text", the longest text, control characters escaped.
std::string annotationsText(const std::vector<Annotation>& annotations);
// A header line, then a row each: start (s), end (s), decoder, class, text.
std::string annotationsCsv(const std::vector<Annotation>& annotations);

// The decoders with their channels (or what they read) and options, the default first and the
// values an option takes in brackets.
std::string decoderList(const std::vector<DecoderInfo>& decoders);

}  // namespace tracebay::decode
