#pragma once

#include <string>
#include <vector>

namespace tracebay::decode {

// What a decoder found on the screen, as the library gives it.
struct Annotation {
    std::string decoder;    // "uart"
    std::string className;  // "rx-data"
    double start = 0;       // seconds from the trigger
    double end = 0;
    std::vector<std::string> texts;  // the longest first
    // Where the band draws it: screen columns, and the line of its own decoder it goes on.
    double startPlace = 0;
    double endPlace = 0;
    int stack = 0;  // in the set-up
    int level = 0;  // in the stack
    std::string row;

    const std::string& text() const;
};

}  // namespace tracebay::decode
