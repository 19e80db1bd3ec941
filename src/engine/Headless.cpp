#include "engine/Headless.h"

#include "text/AnsiText.h"

namespace nimbral {

CommandLineSwitches ParseCommandLine(std::string_view commandLine) {
    CommandLineSwitches switches;
    std::size_t pos = 0;
    while (pos < commandLine.size()) {
        const std::size_t end = std::min(commandLine.find_first_of(" \t", pos), commandLine.size());
        const std::string_view word = commandLine.substr(pos, end - pos);
        if (EqualsIgnoreCase(word, "/auto"))
            switches.autoClean = true;
        if (EqualsIgnoreCase(word, "/yes"))
            switches.yes = true;
        if (EqualsIgnoreCase(word, "/preview"))
            switches.preview = true;
        if (EqualsIgnoreCase(word, "/rules"))
            switches.rulesReport = true;
        pos = end + 1;
    }
    return switches;
}

void ConsoleResults::AppendLine(const std::string& line) {
    // One write per line, so a reader of the stream never sees half a line.
    write_(line + "\n");
}

}  // namespace nimbral
