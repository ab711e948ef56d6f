#pragma once

#include <string>
#include <vector>

#include "decode/Decoding.h"
#include "display/DecodeBand.h"

namespace tracebay::decode {

// The rows of the band: a row for each line of a decoder (its annotation row) that has shown an
// annotation since the set-up was made, in the set-up's order, so that the band keeps its rows
// from one upload to the next; a stack without any yet has one row. A row is labelled with
// the line's name ("RX data"), the margin having room for little more.
class BandLayout {
public:
    // A new set-up: no rows yet.
    void clear() { rows_.clear(); }
    // The band of the decoded upload, with the rows it brings added.
    display::Band band(const Decoded& decoded);

private:
    struct Row {
        int stack;
        int level;
        std::string row;
        std::string decoder;
    };
    size_t rowOf(const Annotation& annotation);

    std::vector<Row> rows_;
};

}  // namespace tracebay::decode
