#pragma once

#include <string>

namespace tracebay::testing {

// While it lives, numbers in the C library's formatting use a comma as their decimal point (a
// German locale, built with localedef into a temporary folder), as they do for a user whose
// desktop is set that way.
class CommaDecimalLocale {
public:
    CommaDecimalLocale();
    ~CommaDecimalLocale();
    CommaDecimalLocale(const CommaDecimalLocale&) = delete;
    CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;

    // False when such a locale could not be made here.
    bool active() const { return active_; }

private:
    bool active_ = false;
};

}  // namespace tracebay::testing
