#include "acquisition/CaptureTime.h"

#include <cstdio>

namespace tracebay::acquisition {

std::string capturedText(std::chrono::system_clock::time_point moment) {
    using namespace std::chrono;
    const auto milliseconds = floor<std::chrono::milliseconds>(moment);
    const auto day = floor<days>(milliseconds);
    const year_month_day date{day};
    const hh_mm_ss time{milliseconds - day};
    char text[32];
    std::snprintf(
        text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(date.year()),
        static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
        static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
        static_cast<int>(time.seconds().count()), static_cast<int>(time.subseconds().count()));
    return text;
}

std::string capturedFileStem(std::string_view captured) {
    std::string stem(captured);
    for (char& c : stem) {
        const bool kept = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                          (c >= 'a' && c <= 'z') || c == '.' || c == '-' || c == '+';
        if (!kept) c = '-';
    }
    return stem;
}

}  // namespace tracebay::acquisition
