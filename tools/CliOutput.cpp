#include "tools/CliOutput.h"

#include <iostream>

#include "platform/EscapedText.h"
#include "tools/CliOptions.h"

namespace tracebay::cli {

std::string printableMessage(std::string_view text) {
    std::string printed;
    for (size_t start = 0;;) {
        const size_t end = text.find_first_of("\r\n", start);
        printed += platform::escapeControls(text.substr(start, end - start));
        if (end == std::string_view::npos) return printed;
        printed += '\n';
        start = end + 1;
        if (start < text.size() && (text[start] == '\r' || text[start] == '\n') &&
            text[start] != text[end])
            ++start;
    }
}

int fileFailed(const std::string& what, const std::string& path, const std::string& why) {
    std::cerr << "tracebay-cli: " << what << " " << platform::escapeControls(path) << ": "
              << platform::escapeControls(why) << "\n";
    return ExitFileFailed;
}

int writeOut(const std::string& text) {
    std::cout << text;
    if (std::cout.flush()) return ExitOk;
    std::cerr << "tracebay-cli: cannot write to standard output\n";
    return ExitFileFailed;
}

bool reportMissingParts(const acquisition::ScopeState& slot) {
    bool missing = false;
    for (const acquisition::UploadPart& part : slot.Parts) {
        if (part.arrived()) continue;
        std::cerr << platform::escapeControls(part.shortfall()) << "\n";
        missing = true;
    }
    return missing;
}

}  // namespace tracebay::cli
