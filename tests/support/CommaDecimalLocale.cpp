#include "tests/support/CommaDecimalLocale.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace tracebay::testing {
namespace {

std::string localeFolder() {
    const auto folder = std::filesystem::temp_directory_path() / "tracebay-test-locales";
    if (!std::filesystem::exists(folder / "de_DE.UTF-8")) {
        std::filesystem::create_directories(folder);
        const std::string command = "localedef -i de_DE -f UTF-8 -c '" +
                                    (folder / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0 && !std::filesystem::exists(folder / "de_DE.UTF-8"))
            return {};
    }
    return folder.string();
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
