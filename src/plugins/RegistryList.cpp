// runPlugin: the ".ww2" registry lists.

#include <array>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "plugins/LineReader.h"
#include "plugins/runPlugin.h"
#include "text/AnsiText.h"

namespace nimbral {

namespace {

constexpr std::string_view kValueMarker = "+ Value`= ";
constexpr std::string_view kKeyMarker = "- Key*";

// Written exactly as the list format spells them: another spelling names no hive.
constexpr std::array<std::pair<std::string_view, Hive>, 4> kHiveTexts = {{
    {"HKey_Classes_Root\\", Hive::ClassesRoot},
    {"HKey_Current_User\\", Hive::CurrentUser},
    {"HKey_Local_Machine\\", Hive::LocalMachine},
    {"HKey_Users\\", Hive::Users},
}};

std::optional<Hive> HiveNamed(std::string_view hiveText) {
    for (const auto& [text, hive] : kHiveTexts) {
        if (hiveText == text)
            return hive;
    }
    return std::nullopt;
}

bool HoldsMarker(std::string_view line) {
    return ContainsIgnoreCase(line, kValueMarker) || ContainsIgnoreCase(line, kKeyMarker);
}

}  // namespace

// A line that holds the value marker anywhere is a value line, whatever else it holds; otherwise the
// key marker makes it a key line. The key path ends where that marker starts, not at the first
// hyphen or plus sign of the line: key names such as "{0002DF01-0000-0000-C000-000000000046}",
// "Notepad++" or "Leaf- Key*" hold them. The value name is the entry text (from the marker on, blanks
// trimmed) with only the marker as written, in its exact case, taken out: a marker spelt another way
// stays part of the name. Text in the name that happens to repeat the hive or the key path stays.
RegistryListLine ParseRegistryListLine(std::string_view line) {
    RegistryListLine entry;
    // The system's calls would end the name at the zero byte and so act on some other key or value.
    if (line.find('\0') != std::string_view::npos)
        return entry;

    const std::size_t slash = line.find('\\');
    const std::size_t pathStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t valueAt = FindIgnoreCase(line, kValueMarker, pathStart);
    const std::size_t keyAt = FindIgnoreCase(line, kKeyMarker, pathStart);
    std::size_t markerAt = std::string_view::npos;
    if (valueAt != std::string_view::npos) {
        // Trimming takes the marker's own last blank from a marker with nothing after it: it then
        // names nothing.
        const std::string_view entryText = Trim(line.substr(valueAt));
        if (!ContainsIgnoreCase(entryText, kValueMarker))
            return entry;
        entry.kind = RegistryListLine::Kind::Value;
        entry.valueName = ReplaceAll(entryText, kValueMarker, "");
        markerAt = valueAt;
    } else if (keyAt != std::string_view::npos) {
        entry.kind = RegistryListLine::Kind::Key;
        markerAt = keyAt;
    } else {
        return entry;
    }
    entry.hiveText = line.substr(0, pathStart);
    entry.hive = HiveNamed(entry.hiveText);
    entry.keyPath = line.substr(pathStart, markerAt - pathStart);
    return entry;
}

// Each entry is logged whether or not it was there to delete: the log records what the list asked for.
void ProcessRegistryList(PluginServices& services, ResultsSurface& results, const std::string& listPath) {
    ForEachListLine(services.fileSystem, results, listPath, [&](const std::string& line) {
        if (line.empty())
            return;
        // A line that fails is abandoned; the rest of the list still runs.
        try {
            const RegistryListLine entry = ParseRegistryListLine(line);
            switch (entry.kind) {
                case RegistryListLine::Kind::Value:
                    if (entry.hive)
                        services.registry.DeleteRegistryValue(*entry.hive, entry.keyPath, entry.valueName);
                    results.AppendLine("Deleted Registry Value: " +
                                       PrintableText(entry.hiveText + entry.keyPath + entry.valueName));
                    break;
                case RegistryListLine::Kind::Key:
                    if (entry.hive)
                        services.registry.DeleteRegistryKey(*entry.hive, entry.keyPath);
                    results.AppendLine("Deleted Registry Key: " + PrintableText(entry.hiveText + entry.keyPath));
                    break;
                case RegistryListLine::Kind::Nothing:
                    // Garbage stays silent; a damaged entry is worth a word.
                    if (line.find('\0') != std::string::npos && HoldsMarker(line))
                        results.AppendLine("Skipped a line holding a NUL character");
                    break;
            }
        } catch (const std::exception&) {
        }
    });
}

}  // namespace nimbral
