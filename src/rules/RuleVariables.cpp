#include "rules/RuleVariables.h"

#include <algorithm>
#include <array>

#include "system/ProtectedFolders.h"
#include "text/AnsiText.h"

namespace nimbral {

namespace {

enum class Source {
    kFolder,   // the folder itself
    kDriveOf,  // the root of the drive the folder is on
};

struct Variable {
    std::string_view name;
    Source source;
    std::array<std::optional<KnownFolder>, 2> folders;
    bool temp = false;
};

using KF = KnownFolder;

// Both Program Files trees: a 64-bit system keeps 32-bit programs in a tree of their own, and the
// rules name either with the one variable.
const Variable kVariables[] = {
    {"LocalAppData", Source::kFolder, {KF::kLocalAppData}},
    {"AppData", Source::kFolder, {KF::kRoamingAppData}},
    {"LocalLowAppData", Source::kFolder, {KF::kLocalLowAppData}},
    {"UserProfile", Source::kFolder, {KF::kProfile}},
    {"ProgramFiles", Source::kFolder, {KF::kProgramFiles, KF::kProgramFilesX86}},
    {"CommonProgramFiles", Source::kFolder, {KF::kCommonProgramFiles, KF::kCommonProgramFilesX86}},
    {"ProgramData", Source::kFolder, {KF::kProgramData}},
    {"CommonAppData", Source::kFolder, {KF::kProgramData}},
    {"AllUsersProfile", Source::kFolder, {KF::kProgramData}},
    {"Public", Source::kFolder, {KF::kPublic}},
    {"WinDir", Source::kFolder, {KF::kWindows}},
    {"SystemRoot", Source::kFolder, {KF::kWindows}},
    {"SystemDrive", Source::kDriveOf, {KF::kWindows}},
    {"HomeDrive", Source::kDriveOf, {KF::kProfile}},
    {"Temp", Source::kFolder, {KF::kTemp}, true},
    {"Tmp", Source::kFolder, {KF::kTemp}, true},
    {"Documents", Source::kFolder, {KF::kDocuments}},
    {"Pictures", Source::kFolder, {KF::kPictures}},
    {"Music", Source::kFolder, {KF::kMusic}},
    {"Video", Source::kFolder, {KF::kVideos}},
};

constexpr std::string_view kUserName = "UserName";
constexpr std::string_view kHardwareProfile = "SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current";

const Variable* FindVariable(std::string_view name) {
    for (const Variable& variable : kVariables) {
        if (EqualsIgnoreCase(variable.name, name))
            return &variable;
    }
    return nullptr;
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// "C:\" for a path on drive C:; empty for anything else.
std::string DriveRootOf(const std::string& path) {
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':' && (path.size() == 2 || IsSeparator(path[2])))
        return path.substr(0, 2) + "\\";
    return {};
}

std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && IsSeparator(path.back()) && !(path.size() == 3 && path[1] == ':'))
        path.pop_back();
    return path;
}

// Every %UserName% replaced by the account's name; nothing when there is none to put in.
std::optional<std::string> WithUserName(std::string_view rest, const std::string& accountName) {
    std::string out;
    std::size_t at = 0;
    while (at < rest.size()) {
        const std::size_t open = rest.find('%', at);
        if (open == std::string_view::npos) {
            out.append(rest.substr(at));
            break;
        }
        const std::size_t close = rest.find('%', open + 1);
        if (close == std::string_view::npos || !IsUserNameVariable(rest.substr(open + 1, close - open - 1)) ||
            accountName.empty()) {
            return std::nullopt;
        }
        out.append(rest.substr(at, open - at));
        out.append(accountName);
        at = close + 1;
    }
    return out;
}

// A name the system would read another way than it is written, or as more than one part.
bool IsAmbiguousSegment(std::string_view segment) {
    return segment.find_first_not_of(". ") == std::string_view::npos || segment.back() == '.' || segment.back() == ' ';
}

}  // namespace

bool IsFolderVariable(std::string_view name) {
    return FindVariable(name) != nullptr;
}

bool IsUserNameVariable(std::string_view name) {
    return EqualsIgnoreCase(name, kUserName);
}

std::string ResolvedPath::Shown() const {
    std::string shown = base;
    for (const std::string& segment : segments) {
        if (!shown.empty() && shown.back() != '\\')
            shown += '\\';
        shown += segment;
    }
    return shown;
}

const std::string& VariableResolver::Folder(KnownFolder folder) {
    const auto found = known_.find(folder);
    if (found != known_.end())
        return found->second;
    return known_.emplace(folder, WithoutTrailingSeparators(folders_.FolderPath(folder))).first->second;
}

const std::string& VariableResolver::AccountName() {
    if (!accountName_) {
        accountName_ = folders_.AccountName();
        // A name that would make more than one part of a path, or a pattern, is no name.
        if (!accountName_->empty() &&
            (accountName_->find_first_of("\\/:*?%") != std::string::npos || IsAmbiguousSegment(*accountName_))) {
            accountName_->clear();
        }
    }
    return *accountName_;
}

const std::vector<std::string>& VariableResolver::Bases(std::string_view name) {
    std::string key = FoldCase(name);
    const auto found = bases_.find(key);
    if (found != bases_.end())
        return found->second;
    std::vector<std::string> bases;
    if (const Variable* variable = FindVariable(name)) {
        for (const std::optional<KnownFolder>& folder : variable->folders) {
            if (!folder)
                continue;
            std::string base = Folder(*folder);
            if (variable->source == Source::kDriveOf)
                base = DriveRootOf(base);
            base = WithoutTrailingSeparators(std::move(base));
            const bool twice = std::any_of(bases.begin(), bases.end(),
                                           [&base](const std::string& known) { return EqualsIgnoreCase(known, base); });
            if (!base.empty() && ResolveFullPath(base) && !twice)
                bases.push_back(std::move(base));
        }
    }
    return bases_.emplace(std::move(key), std::move(bases)).first->second;
}

Resolution VariableResolver::Resolve(const RulePath& path) {
    Resolution resolution;
    const std::vector<std::string>* bases = nullptr;
    std::string root;
    bool temp = false;
    std::string_view rest = path.rest;
    if (!path.variable.empty()) {
        const Variable* variable = FindVariable(path.variable);
        if (!variable) {
            resolution.refusal = RuleRefusal::kUnknownVariable;
            return resolution;
        }
        temp = variable->temp;
        bases = &Bases(path.variable);
        if (bases->empty()) {
            resolution.refusal = RuleRefusal::kFolderUnknown;
            return resolution;
        }
        // "%AppData%Foo" would glue a name onto the folder's own.
        if (!rest.empty() && !IsSeparator(rest.front())) {
            resolution.refusal = RuleRefusal::kNotFullPath;
            return resolution;
        }
    } else if (rest.size() >= 2 && IsSeparator(rest[0]) && IsSeparator(rest[1])) {
        resolution.refusal = RuleRefusal::kNetworkPath;
        return resolution;
    } else if (rest.size() >= 3 && IsDriveLetter(rest[0]) && rest[1] == ':' && IsSeparator(rest[2])) {
        root = std::string(rest.substr(0, 2)) + "\\";
        rest.remove_prefix(3);
    } else {
        resolution.refusal = RuleRefusal::kNotFullPath;
        return resolution;
    }

    std::optional<std::string> named;
    if (rest.find('%') != std::string_view::npos) {
        named = WithUserName(rest, AccountName());
        if (!named) {
            resolution.refusal = RuleRefusal::kFolderUnknown;
            return resolution;
        }
        rest = *named;
    }
    std::vector<std::string> segments;
    for (std::size_t at = 0; at < rest.size();) {
        std::size_t end = at;
        while (end < rest.size() && !IsSeparator(rest[end]))
            ++end;
        const std::string_view segment = rest.substr(at, end - at);
        at = end + 1;
        if (segment.empty())
            continue;
        if (IsAmbiguousSegment(segment)) {
            resolution.refusal = RuleRefusal::kDotSegment;
            return resolution;
        }
        if (segment.find(':') != std::string_view::npos) {
            resolution.refusal = RuleRefusal::kNotFullPath;
            return resolution;
        }
        segments.emplace_back(segment);
    }

    if (bases) {
        for (std::size_t i = 0; i < bases->size(); ++i)
            resolution.paths.push_back({(*bases)[i], i + 1 < bases->size() ? segments : std::move(segments), temp});
    } else {
        resolution.paths.push_back({std::move(root), std::move(segments), temp});
    }
    return resolution;
}

std::pair<Hive, std::string> SeamKey(const RegistryPlace& place) {
    switch (place.hive) {
        case RuleHive::kClassesRoot:
            return {Hive::ClassesRoot, place.keyPath};
        case RuleHive::kCurrentUser:
            return {Hive::CurrentUser, place.keyPath};
        case RuleHive::kLocalMachine:
            return {Hive::LocalMachine, place.keyPath};
        case RuleHive::kUsers:
            return {Hive::Users, place.keyPath};
        case RuleHive::kCurrentConfig:
            return {Hive::LocalMachine, std::string(kHardwareProfile) + "\\" + place.keyPath};
    }
    return {Hive::CurrentUser, place.keyPath};
}

std::string ShownKey(const RegistryPlace& place) {
    return place.hiveText + "\\" + place.keyPath;
}

}  // namespace nimbral
