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

// The key path ends where the marker starts, not at the first hyphen or plus sign of the line: key
// names such as "{0002DF01-0000-0000-C000-000000000046}" or "Notepad++" hold both. What follows the
// value marker is the value name as written, but for trailing blanks: text in it that happens to
// repeat the hive or the key path stays.
RegistryListLine ParseRegistryListLine(std::string_view line) {
    RegistryListLine entry;
    // The system's calls would end the name at the zero byte and so act on some other key or value.
    if (line.find('\0') != std::string_view::npos)
        return entry;

    const std::size_t slash = line.find('\\');
    const std::size_t pathStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t valueAt = FindIgnoreCase(line, kValueMarker, pathStart);
    const std::size_t keyAt = FindIgnoreCase(line, kKeyMarker, pathStart);
    if (valueAt == std::string_view::npos && keyAt == std::string_view::npos)
        return entry;

    const bool isValue = valueAt < keyAt;
    const std::size_t markerAt = isValue ? valueAt : keyAt;
    if (isValue) {
        // Trailing blanks are not part of the name; a marker followed by blanks alone names nothing.
        const std::string_view name = TrimRight(line.substr(valueAt + kValueMarker.size()));
        if (name.empty())
            return entry;
        entry.valueName = name;
    }
    entry.kind = isValue ? RegistryListLine::Kind::Value : RegistryListLine::Kind::Key;
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
                    results.AppendLine("Deleted Registry Value: " + entry.hiveText + entry.keyPath + entry.valueName);
                    break;
                case RegistryListLine::Kind::Key:
                    if (entry.hive)
                        services.registry.DeleteRegistryKey(*entry.hive, entry.keyPath);
                    results.AppendLine("Deleted Registry Key: " + entry.hiveText + entry.keyPath);
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
