#include "system/ProtectedFolders.h"

#include <algorithm>

#include "system/Listers.h"
#include "text/AnsiText.h"
#include "text/WideText.h"

namespace nimbral {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// "...", ". " and the like: systems read such a segment in different ways, so what it names cannot
// be told from the text alone.
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
    const bool endsInSeparator = IsSeparator(path.back());
    while (at < path.size()) {
        std::string_view segment = NextSegment(path, at);
        if (segment == ".")
            continue;
        if (segment == "..") {
            if (!full.segments.empty())
                full.segments.pop_back();
            continue;
        }
        if (IsOnlyDotsAndBlanks(segment))
            return std::nullopt;
        // What the system drops before it looks: one dot from a segment's end, and every dot and
        // blank from the end of the last one.
        if (at >= path.size() && !endsInSeparator)
            segment = WithoutTrailingDotsAndBlanks(segment);
        else if (segment.back() == '.')
            segment.remove_suffix(1);
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
// a system may drop from the end of a segment dropped, a drive's "$" share read as the drive.
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

std::optional<std::string> KeyOf(std::string_view path) {
    const auto full = Parse(path);
    if (!full)
        return std::nullopt;
    return ComparisonKey(*full);
}

// True when inner is outer or lies below it; both are comparison keys.
bool IsAtOrBelow(const std::string& inner, const std::string& outer) {
    if (inner.size() < outer.size() || inner.compare(0, outer.size(), outer) != 0)
        return false;
    return inner.size() == outer.size() || outer.back() == '\\' || inner[outer.size()] == '\\';
}

const char* NameOf(SystemFolder kind) {
    switch (kind) {
        case SystemFolder::kWindows:
            return "the Windows folder";
        case SystemFolder::kSystem:
            return "a system folder";
        case SystemFolder::kProgramFiles:
            return "the Program Files folder";
        case SystemFolder::kProgram:
            return "this program's folder";
        case SystemFolder::kProfile:
            return "your profile folder";
        case SystemFolder::kAppData:
            return "your AppData folder";
        case SystemFolder::kDocuments:
            return "your Documents folder";
        case SystemFolder::kDesktop:
            return "your Desktop folder";
    }
    return "a folder of the system";
}

// Nothing below these may go, not even a single file.
bool GuardsEverythingInside(SystemFolder kind) {
    return kind == SystemFolder::kSystem || kind == SystemFolder::kProgram;
}

// What the Windows folder itself holds that Windows cannot start or run without.
bool IsSystemFileName(std::string_view name) {
    // The system reads a name only up to a stream's colon, and without its trailing dots and blanks.
    name = WithoutTrailingDotsAndBlanks(name.substr(0, name.find(':')));
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    const std::string extension = FoldCase(name.substr(dot));
    for (const char* kind : {".exe", ".dll", ".sys", ".drv", ".ini"}) {
        if (extension == kind)
            return true;
    }
    return false;
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

ProtectedPlaces ProtectedPlaces::Resolve(const std::vector<SystemFolderPath>& folders, FileSystem& fileSystem) {
    ProtectedPlaces places;
    bool windows = false;
    bool profile = false;
    for (const SystemFolderPath& folder : folders) {
        const auto full = ResolveFullPath(folder.path);
        if (!full)
            continue;
        // A folder that is not there yet keeps its spelling: it cannot be reached any other way.
        const auto key = KeyOf(fileSystem.FinalPath(*full).value_or(*full));
        if (!key)
            continue;
        places.places_.push_back({folder.kind, *key});
        windows = windows || folder.kind == SystemFolder::kWindows;
        profile = profile || folder.kind == SystemFolder::kProfile;
    }
    // Holding places come first, in the order of the enumeration, so a reason names the largest.
    std::stable_sort(places.places_.begin(), places.places_.end(),
                     [](const Place& a, const Place& b) { return a.kind < b.kind; });
    places.known_ = windows && profile;
    return places;
}

std::string ProtectedPlaces::RefusalReason(const std::string& target, Removal removal) const {
    if (!known_)
        return "the Windows folder or your profile folder could not be found";
    const auto full = Parse(target);
    if (!full)
        return "it is not a full path";
    const std::string key = ComparisonKey(*full);
    if (removal == Removal::kFolder) {
        if (full->segments.empty())
            return full->share ? "it is the root of a network share" : "it is the root of a drive";
        for (const Place& place : places_) {
            if (IsAtOrBelow(place.key, key))
                return std::string("it is or holds ") + NameOf(place.kind);
        }
    }
    for (const Place& place : places_) {
        if (GuardsEverythingInside(place.kind) && IsAtOrBelow(key, place.key) && key != place.key)
            return std::string("it is inside ") + NameOf(place.kind);
    }
    if (removal == Removal::kFile && !full->segments.empty() && IsSystemFileName(full->segments.back())) {
        const std::string folder = key.substr(0, key.rfind('\\'));
        for (const Place& place : places_) {
            if (place.kind == SystemFolder::kWindows && (place.key == folder || place.key == folder + "\\"))
                return "it is a program, library, driver or settings file of the Windows folder";
        }
    }
    return {};
}

std::string PathShapeRefusal(std::string_view path) {
    // With the "\\?\" in front that every path is handed to the system with.
    constexpr std::size_t kLongestPath = 32767 - 4;
    constexpr std::size_t kLongestSegment = 255;
    const std::u16string wide = Utf16FromProgramText(path);
    if (wide.size() > kLongestPath)
        return "it is longer than Windows allows";
    bool dotted = false;
    for (std::size_t at = 0; at <= wide.size();) {
        std::size_t end = wide.find_first_of(u"\\/", at);
        if (end == std::u16string::npos)
            end = wide.size();
        const std::u16string_view segment(wide.data() + at, end - at);
        if (segment.size() > kLongestSegment)
            return "it is longer than Windows allows";
        dotted = dotted || segment == u"." || segment == u"..";
        at = end + 1;
    }
    return dotted ? "it is not a plain full path" : "";
}

std::optional<FolderTarget> ResolveFolder(FileSystem& fileSystem, const std::string& path) {
    const auto finalPath = fileSystem.FinalPath(path);
    if (!finalPath)
        return std::nullopt;
    FolderTarget target{*finalPath, false};
    const auto full = ResolveFullPath(path);
    if (!full)
        return target;
    const auto slash = full->rfind('\\');
    if (slash == std::string::npos || slash + 1 == full->size())
        return target;  // a root leads nowhere else
    // The entry as its folder lists it, so that a short name is read as the name it stands for.
    const auto listed = fileSystem.FindEntries(*full);
    const auto parent = fileSystem.FinalPath(full->substr(0, slash + 1));
    if (!listed || listed->empty() || !parent) {
        target.isLink = true;
        return target;
    }
    target.isLink = !EqualsIgnoreCase(*finalPath, JoinPath(*parent, listed->front().name));
    return target;
}

}  // namespace nimbral
