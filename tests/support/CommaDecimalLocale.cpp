#include "tests/support/CommaDecimalLocale.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <unistd.h>

namespace tracebay::testing {
namespace {

// The locale is compiled once into a shared folder; tests running side by side each compile
// into a folder of their own and move it into place, so none ever sees half a locale.
std::string localeFolder() {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / "tracebay-test-locales";
    const fs::path locale = folder / "de_DE.UTF-8";
    if (fs::exists(locale)) return folder.string();
    fs::create_directories(folder);
    const fs::path mine = folder / ("building-" + std::to_string(::getpid()));
    const std::string command =
        "localedef -i de_DE -f UTF-8 -c '" + mine.string() + "' >/dev/null 2>&1";
    std::system(command.c_str());
    std::error_code error;
    fs::rename(mine, locale, error);
    fs::remove_all(mine, error);
    return fs::exists(locale) ? folder.string() : std::string();
}

}  // namespace

CommaDecimalLocale::CommaDecimalLocale() {
    const std::string folder = localeFolder();
    if (folder.empty()) return;
    ::setenv("LOCPATH", folder.c_str(), 1);
    active_ = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr &&
              std::strcmp(std::localeconv()->decimal_point, ",") == 0;
}

CommaDecimalLocale::~CommaDecimalLocale() {
    std::setlocale(LC_NUMERIC, "C");
    ::unsetenv("LOCPATH");
}

}  // namespace tracebay::testing
