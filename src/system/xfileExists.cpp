#include "system/xfileExists.h"

#include "text/AnsiText.h"

namespace nimbral {

std::string FileNamePart(std::string_view path) {
    const auto slash = path.rfind('\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool FileFound(FileSystem& fileSystem, const std::string& path) {
    if (path.empty())
        return false;
    const auto entries = fileSystem.FindEntries(path);
    if (!entries)
        return false;
    constexpr std::uint32_t kNotOrdinary = FileAttribute::kHidden | FileAttribute::kSystem | FileAttribute::kDirectory;
    for (const DirEntry& entry : *entries) {
        if (entry.attributes & kNotOrdinary)
            continue;
        return EqualsIgnoreCase(entry.name, FileNamePart(path));
    }
    return false;
}

}  // namespace nimbral
