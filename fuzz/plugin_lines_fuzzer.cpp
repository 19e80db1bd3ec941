// Feeds arbitrary bytes to the two plugin line parsers and to the line reader in front of them, and
// stops at the first result that could make a list act on something its line does not name.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "plugins/LineReader.h"
#include "plugins/runPlugin.h"
#include "text/AnsiText.h"

namespace nimbral {
namespace {

// The limit the list processors read with.
constexpr std::size_t kListLineLimit = 32768;

constexpr std::array<std::string_view, 4> kHiveTexts = {"HKey_Classes_Root\\", "HKey_Current_User\\",
                                                        "HKey_Local_Machine\\", "HKey_Users\\"};

// Aborts with the broken rule, so that libFuzzer keeps the input that broke it.
void Require(bool holds, const char* rule) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", rule);
        std::abort();
    }
}

bool HasNul(std::string_view text) {
    return text.find('\0') != std::string_view::npos;
}

bool StartsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

void CheckFileListLine(std::string_view line) {
    const FileListLine parsed = ParseFileListLine(line);
    using Kind = FileListLine::Kind;
    if (parsed.kind == Kind::Ignored)
        return;
    Require(!parsed.folder.empty() && parsed.folder.back() == '\\', "an acting .ww1 line has a folder ending in \\");
    Require(!parsed.name.empty(), "an acting .ww1 line has a name");
    Require(parsed.name.find('\\') == std::string::npos, "a .ww1 name holds no backslash");
    Require(!HasNul(parsed.folder) && !HasNul(parsed.name) && !HasNul(parsed.option), "a .ww1 line acts without NUL");
    Require(StartsWith(line, parsed.folder) && StartsWith(line.substr(parsed.folder.size()), parsed.name),
            "a .ww1 line's folder and name are the line's own text");
    switch (parsed.kind) {
        case Kind::WholeFolder:
            Require(parsed.name == "*.*" && parsed.option == ">plus subdirectories<",
                    "only \"*.* >plus subdirectories<\" removes a whole folder");
            break;
        case Kind::FilesInFolder:
            Require(parsed.name == "*.*" && parsed.option != ">plus subdirectories<", "only \"*.*\" empties a folder");
            break;
        case Kind::OneFile:
            Require(parsed.name != "*.*", "\"*.*\" is never one file");
            break;
        case Kind::Ignored:
            break;
    }
}

void CheckRegistryListLine(std::string_view line) {
    const RegistryListLine entry = ParseRegistryListLine(line);
    using Kind = RegistryListLine::Kind;
    if (entry.kind == Kind::Nothing)
        return;
    Require(!HasNul(line), "a .ww2 line holding NUL does not act");
    Require(StartsWith(line, entry.hiveText + entry.keyPath), "a .ww2 hive and key path are the line's own text");
    Require(entry.hiveText.empty() ||
                (entry.hiveText.back() == '\\' && std::count(entry.hiveText.begin(), entry.hiveText.end(), '\\') == 1),
            "the hive text runs to the first backslash");
    const bool named = std::find(kHiveTexts.begin(), kHiveTexts.end(), entry.hiveText) != kHiveTexts.end();
    Require(entry.hive.has_value() == named, "only the four exact hive texts name a hive");
    Require(!ContainsIgnoreCase(entry.keyPath, "+ Value`= ") && !ContainsIgnoreCase(entry.keyPath, "- Key*"),
            "the key path ends at the first marker");
    const std::string_view rest = line.substr(entry.hiveText.size() + entry.keyPath.size());
    if (entry.kind == Kind::Value) {
        Require(!entry.valueName.empty(), "a value entry names a value");
        Require(entry.valueName.back() != ' ', "a value name has no trailing blank");
        Require(EqualsIgnoreCase(rest.substr(0, 10), "+ Value`= ") && StartsWith(rest.substr(10), entry.valueName),
                "the value name follows the value marker");
    } else {
        Require(entry.valueName.empty(), "a key entry names no value");
        Require(EqualsIgnoreCase(rest.substr(0, 6), "- Key*"), "a key entry's path is followed by the key marker");
    }
}

// Hands the input over in pieces of a fixed size, so that line ends fall across the reader's refills.
class ChunkedSource final : public ByteSource {
  public:
    ChunkedSource(std::string_view text, std::size_t chunk) : text_(text), chunk_(chunk) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min({size, chunk_, text_.size()});
        std::memcpy(buffer, text_.data(), n);
        text_.remove_prefix(n);
        return n;
    }

  private:
    std::string_view text_;
    std::size_t chunk_;
};

struct ReadLine {
    std::string text;
    bool tooLong = false;
    bool operator==(const ReadLine&) const = default;
};

// Lines as the format defines them: a line ends at CR, CR LF or LF, and a last line without an end
// counts when it holds anything.
std::vector<ReadLine> SplitLines(std::string_view text, std::size_t limit) {
    std::vector<ReadLine> lines;
    ReadLine line;
    bool any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::exchange(line, {}));
            any = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            continue;
        }
        any = true;
        if (line.text.size() < limit)
            line.text += c;
        else
            line.tooLong = true;
    }
    if (any)
        lines.push_back(std::move(line));
    return lines;
}

std::vector<ReadLine> ReadAll(std::string_view text, std::size_t limit, std::size_t chunk) {
    ChunkedSource source(text, chunk);
    const auto reader = std::make_unique<LineReader>(source, limit);
    std::vector<ReadLine> lines;
    ReadLine line;
    while (reader->Next(line.text, line.tooLong)) {
        Require(line.text.size() <= limit, "a line read is never longer than the limit");
        Require(line.text.find_first_of("\r\n") == std::string::npos, "a line read holds no line end");
        Require(lines.size() <= text.size(), "the reader ends");
        lines.push_back(line);
    }
    return lines;
}

}  // namespace
}  // namespace nimbral

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace nimbral;
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    CheckFileListLine(input);
    CheckRegistryListLine(input);

    // A small limit and small pieces, taken from the input's ends, reach the cut and refill paths.
    const std::size_t limit = size == 0 ? 1 : 1 + data[0] % 64;
    const std::size_t chunk = size == 0 ? 1 : 1 + data[size - 1] % 7;
    Require(ReadAll(input, limit, chunk) == SplitLines(input, limit), "the reader splits lines as the format does");

    // Each line as the list processors see it.
    for (const ReadLine& line : ReadAll(input, kListLineLimit, 64 * 1024)) {
        if (line.tooLong)
            continue;
        CheckFileListLine(line.text);
        CheckRegistryListLine(line.text);
    }
    return 0;
}
