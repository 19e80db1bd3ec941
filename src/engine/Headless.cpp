#include "engine/Headless.h"

#include "text/AnsiText.h"

namespace nimbral {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The arguments one by one, as the C runtime of a Windows program reads them: 2n backslashes before
// a double quote stand for n and the quote groups; 2n+1 stand for n and a literal quote; other
// backslashes are themselves; "" inside a group is one literal quote.
std::vector<std::string> SplitArguments(std::string_view text) {
    std::vector<std::string> arguments;
    std::size_t at = 0;
    for (;;) {
        while (at < text.size() && IsBlank(text[at]))
            ++at;
        if (at >= text.size())
            return arguments;
        std::string argument;
        bool quoted = false;
        while (at < text.size() && (quoted || !IsBlank(text[at]))) {
            std::size_t backslashes = 0;
            while (at < text.size() && text[at] == '\\')
                ++backslashes, ++at;
            if (at < text.size() && text[at] == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    argument += '"';
                } else if (quoted && at + 1 < text.size() && text[at + 1] == '"') {
                    argument += '"';
                    ++at;
                } else {
                    quoted = !quoted;
                }
                ++at;
            } else {
                argument.append(backslashes, '\\');
                if (at < text.size() && (quoted || !IsBlank(text[at])))
                    argument += text[at++];
            }
        }
        arguments.push_back(std::move(argument));
    }
}

}  // namespace

CommandLineSwitches ParseCommandLine(std::string_view arguments) {
    CommandLineSwitches switches;
    for (std::string& argument : SplitArguments(arguments)) {
        if (EqualsIgnoreCase(argument, "/auto"))
            switches.autoClean = true;
        else if (EqualsIgnoreCase(argument, "/yes"))
            switches.yes = true;
        else if (EqualsIgnoreCase(argument, "/preview"))
            switches.preview = true;
        else if (EqualsIgnoreCase(argument, "/rules"))
            switches.rulesReport = true;
        else
            switches.unknown.push_back(std::move(argument));
    }
    return switches;
}

std::string_view ArgumentsOf(std::string_view commandLine) {
    std::size_t at = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        at = commandLine.find('"', 1);
        at = at == std::string_view::npos ? commandLine.size() : at + 1;
    }
    while (at < commandLine.size() && !IsBlank(commandLine[at]))
        ++at;
    while (at < commandLine.size() && IsBlank(commandLine[at]))
        ++at;
    return commandLine.substr(at);
}

void ConsoleResults::AppendLine(const std::string& line) {
    // One write per line, so a reader of the stream never sees half a line; a line break or other
    // control character inside a line (a setting's, a name's) is shown, never obeyed.
    write_(PrintableText(line) + "\n");
}

}  // namespace nimbral
