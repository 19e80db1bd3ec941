#include "system/ProtectedFolders.h"

#include <vector>

#include "text/AnsiText.h"

namespace nimbral {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// "...", ". " and the like: the system drops trailing dots and blanks from some segments and not
// from others, so what such a segment names cannot be told from the text alone.
bool IsOnlyDotsAndBlanks(std::string_view segment) {
    return segment.find_first_not_of(". ") == std::string_view::npos;
}

std::string_view WithoutTrailingDotsAndBlanks(std::string_view segment) {
    return segment.substr(0, segment.find_last_not_of(". ") + 1);
}

struct FullPath {
    bool share = false;
    std::string drive;   // "C:" for a drive path
    std::string server;  // for a share
    std::string shareName;
    std::vector<std::string> segments;  // below the root
};

// The next segment of path at or after at; at moves past it and the separators that follow.
std::string_view NextSegment(std::string_view path, std::size_t& at) {
    std::size_t end = at;
    while (end < path.size() && !IsSeparator(path[end]))
        ++end;
    const std::string_view segment = path.substr(at, end - at);
    at = end;
    while (at < path.size() && IsSeparator(path[at]))
        ++at;
    return segment;
}

std::optional<FullPath> Parse(std::string_view path) {
    FullPath full;
    std::size_t at = 0;
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) {
        full.drive = std::string(path.substr(0, 2));
        at = 3;
    } else if (path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2])) {
        at = 2;
        const std::string_view server = NextSegment(path, at);
        // The share must follow the server after exactly one separator, as the system reads it.
        if (at != 2 + server.size() + 1)
            return std::nullopt;
        const std::string_view shareName = NextSegment(path, at);
        if (server == "?" || server == "." || IsOnlyDotsAndBlanks(server) || shareName.empty() ||
            IsOnlyDotsAndBlanks(shareName)) {
            return std::nullopt;
        }
        full.share = true;
        full.server = std::string(server);
        full.shareName = std::string(shareName);
    } else {
        return std::nullopt;
    }
    while (at < path.size() && IsSeparator(path[at]))
        ++at;
    while (at < path.size()) {
        const std::string_view segment = NextSegment(path, at);
        if (segment == ".")
            continue;
        if (segment == "..") {
            if (!full.segments.empty())
                full.segments.pop_back();
            continue;
        }
        if (IsOnlyDotsAndBlanks(segment))
            return std::nullopt;
        full.segments.emplace_back(segment);
    }
    return full;
}

std::string Join(std::string root, const std::vector<std::string>& segments) {
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (i > 0)
            root += '\\';
        root += segments[i];
    }
    return root;
}

bool IsDriveShare(const std::string& shareName) {
    return shareName.size() == 2 && IsDriveLetter(shareName[0]) && shareName[1] == '$';
}

// One spelling for every way of writing the same folder: letter case folded, the dots and blanks
// the system may drop from the end of a segment dropped, a drive's "$" share read as the drive.
std::string ComparisonKey(const FullPath& full) {
    std::string root;
    if (!full.share)
        root = full.drive + "\\";
    else if (IsDriveShare(full.shareName))
        root = full.shareName.substr(0, 1) + ":\\";
    else
        root = "\\\\" + full.server + "\\" + full.shareName + "\\";
    std::vector<std::string> segments;
    for (const std::string& segment : full.segments)
        segments.emplace_back(WithoutTrailingDotsAndBlanks(segment));
    return FoldCase(Join(root, segments));
}

// True when removing the folder of key would take protectedFolder with it.
bool Holds(const std::string& key, const std::string& protectedFolder) {
    const auto full = Parse(protectedFolder);
    if (!full)
        return false;
    const std::string protectedKey = ComparisonKey(*full);
    return protectedKey == key || (protectedKey.size() > key.size() && protectedKey.compare(0, key.size(), key) == 0 &&
                                   (key.back() == '\\' || protectedKey[key.size()] == '\\'));
}

}  // namespace

std::optional<std::string> ResolveFullPath(std::string_view path) {
    const auto full = Parse(path);
    if (!full)
        return std::nullopt;
    if (!full->share)
        return Join(full->drive + "\\", full->segments);
    std::string root = "\\\\" + full->server + "\\" + full->shareName;
    if (!full->segments.empty())
        root += '\\';
    return Join(std::move(root), full->segments);
}

std::string ProtectedFolderReason(const std::string& folder,
                                  const std::string& windowsFolder,
                                  const std::string& profileFolder) {
    const auto full = Parse(folder);
    if (!full)
        return "it is not a full path";
    if (full->segments.empty())
        return full->share ? "it is the root of a network share" : "it is the root of a drive";
    const std::string key = ComparisonKey(*full);
    if (Holds(key, windowsFolder))
        return "it is or holds the Windows folder";
    if (Holds(key, profileFolder))
        return "it is or holds your profile folder";
    return {};
}

bool RefusedAsProtected(Shell& shell, WindowHandle owner, ResultsSurface& results, const std::string& folder) {
    const std::string reason =
        ProtectedFolderReason(folder, shell.WindowsFolder(), shell.SpecialFolderPath(owner, SpecialFolder::kProfile));
    if (reason.empty())
        return false;
    results.AppendLine("Refused to delete " + folder + ": " + reason);
    return true;
}

}  // namespace nimbral
