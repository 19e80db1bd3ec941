#include "engine/Preview.h"

#include <algorithm>

#include "system/Listers.h"
#include "system/ProtectedFolders.h"
#include "text/AnsiText.h"

namespace nimbral {

namespace {

std::string WithoutTrailingBackslash(std::string path) {
    while (path.size() > 1 && path.back() == '\\' && !(path.size() == 3 && path[1] == ':'))
        path.pop_back();
    return path;
}

std::string ParentKey(const std::string& key) {
    const auto slash = key.rfind('\\');
    if (slash == std::string::npos || key.size() <= 3)
        return {};
    return slash == 2 ? key.substr(0, 3) : key.substr(0, slash);
}

bool HoldsName(const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(), [&name](const std::string& n) { return EqualsIgnoreCase(n, name); });
}

}  // namespace

// ---- the file system ----

std::string PreviewFileSystem::Key(const std::string& path) {
    const std::string trimmed = WithoutTrailingBackslash(path);
    if (const auto finalPath = real_.FinalPath(trimmed))
        return FoldCase(*finalPath);
    return FoldCase(ResolveFullPath(trimmed).value_or(trimmed));
}

bool PreviewFileSystem::GoneKey(const std::string& key) const {
    if (made_.count(key))
        return false;
    for (std::string at = key; !at.empty(); at = ParentKey(at)) {
        if (gone_.count(at))
            return true;
    }
    return false;
}

std::optional<std::vector<DirEntry>> PreviewFileSystem::FindEntries(const std::string& searchSpec) {
    const auto slash = searchSpec.rfind('\\');
    if (slash == std::string::npos)
        return real_.FindEntries(searchSpec);
    const std::string folderKey = Key(searchSpec.substr(0, slash + 1));
    if (GoneKey(folderKey))
        return std::nullopt;
    auto entries = real_.FindEntries(searchSpec);
    if (!entries)
        return entries;
    entries->erase(std::remove_if(entries->begin(), entries->end(),
                                  [&](const DirEntry& entry) {
                                      return entry.name != "." && entry.name != ".." &&
                                             GoneKey(JoinPath(folderKey, FoldCase(entry.name)));
                                  }),
                   entries->end());
    return entries;
}

bool PreviewFileSystem::FolderExists(const std::string& path) {
    const std::string key = Key(path);
    return made_.count(key) || (!GoneKey(key) && real_.FolderExists(path));
}

std::optional<std::string> PreviewFileSystem::FinalPath(const std::string& path) {
    if (Gone(path))
        return std::nullopt;
    return real_.FinalPath(path);
}

bool PreviewFileSystem::CreateFolder(const std::string& path) {
    if (FolderExists(path))
        return false;
    const std::string trimmed = WithoutTrailingBackslash(path);
    const auto slash = trimmed.rfind('\\');
    if (!real_.FolderExists(path) && (slash == std::string::npos || !FolderExists(trimmed.substr(0, slash + 1))))
        return false;
    made_.insert(Key(path));
    return true;
}

bool PreviewFileSystem::RemoveFile(const std::string& path) {
    const std::string key = Key(path);
    if (GoneKey(key) || !real_.CouldRemoveFile(path, madeNormal_.count(key) != 0))
        return false;
    gone_.insert(key);
    return true;
}

bool PreviewFileSystem::SetAttributesNormal(const std::string& path) {
    const std::string key = Key(path);
    if (GoneKey(key) || !real_.CouldSetAttributesNormal(path))
        return false;
    madeNormal_.insert(key);
    return true;
}

// As the real one goes about it: the folder resolved, its matches listed, each ordinary file deleted
// in turn until one resists.
bool PreviewFileSystem::DeleteFilesMatching(const std::string& pattern) {
    const auto slash = pattern.rfind('\\');
    if (slash == std::string::npos)
        return false;
    const auto folder = FinalPath(pattern.substr(0, slash + 1));
    if (!folder)
        return false;
    const auto entries = FindEntries(JoinPath(*folder, pattern.substr(slash + 1)));
    if (!entries)
        return false;
    bool any = false;
    for (const DirEntry& entry : *entries) {
        if (entry.attributes & (FileAttribute::kDirectory | FileAttribute::kHidden | FileAttribute::kSystem))
            continue;
        any = true;
        if (!RemoveFile(JoinPath(*folder, entry.name)))
            return false;
    }
    return any;
}

bool PreviewFileSystem::RemoveFolder(const std::string& path, const std::function<void()>& betweenEntries) {
    if (Gone(path))
        return false;
    std::vector<std::string> removed;
    const bool all = real_.CouldRemoveFolder(path, removed);
    for (const std::string& entry : removed) {
        gone_.insert(FoldCase(entry));
        if (betweenEntries)
            betweenEntries();
    }
    return all;
}

bool PreviewFileSystem::CouldRemoveFile(const std::string& path, bool assumeNormal) {
    return !Gone(path) && real_.CouldRemoveFile(path, assumeNormal);
}

bool PreviewFileSystem::CouldSetAttributesNormal(const std::string& path) {
    return !Gone(path) && real_.CouldSetAttributesNormal(path);
}

bool PreviewFileSystem::CouldRemoveFolder(const std::string& path, std::vector<std::string>& removed) {
    return !Gone(path) && real_.CouldRemoveFolder(path, removed);
}

std::unique_ptr<ByteSource> PreviewFileSystem::OpenForReading(const std::string& path) {
    if (Gone(path))
        return nullptr;
    return real_.OpenForReading(path);
}

// ---- the registry ----

PreviewRegistry::KeyId PreviewRegistry::Id(Hive hive, const std::string& keyPath) {
    std::string path = FoldCase(keyPath);
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    return {hive, path};
}

PreviewRegistry::KeyChanges* PreviewRegistry::Changes(Hive hive, const std::string& keyPath) {
    const auto found = changes_.find(Id(hive, keyPath));
    return found == changes_.end() ? nullptr : &found->second;
}

bool PreviewRegistry::Exists(Hive hive, const std::string& keyPath) {
    if (const KeyChanges* changes = Changes(hive, keyPath)) {
        if (changes->made)
            return true;
        if (changes->deleted)
            return false;
    }
    return real_.SubkeyNames(hive, keyPath).has_value();
}

void PreviewRegistry::Make(Hive hive, const std::string& keyPath) {
    // Every key on the way is made as the system makes it.
    const std::string path = Id(hive, keyPath).second;
    for (std::size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1)) {
        if (!Exists(hive, path.substr(0, at)))
            changes_[Id(hive, path.substr(0, at))].made = true;
    }
    if (!Exists(hive, path))
        changes_[Id(hive, path)].made = true;
}

std::optional<std::string> PreviewRegistry::Written(Hive hive,
                                                    const std::string& keyPath,
                                                    const std::string& valueName) {
    const KeyChanges* changes = Changes(hive, keyPath);
    if (!changes)
        return std::nullopt;
    const auto value = changes->values.find(FoldCase(valueName));
    if (value != changes->values.end())
        return value->second.value_or(std::string());
    if (changes->deleted)
        return std::string();
    return std::nullopt;
}

void PreviewRegistry::Write(Hive hive,
                            const std::string& keyPath,
                            const std::string& valueName,
                            const std::string& text) {
    Make(hive, keyPath);
    KeyChanges& changes = changes_[Id(hive, keyPath)];
    const bool realHasIt =
        !changes.deleted && HoldsName(real_.ValueNames(hive, keyPath).value_or(std::vector<std::string>{}), valueName);
    if (!realHasIt && !HoldsName(changes.order, valueName))
        changes.order.push_back(valueName);
    changes.values[FoldCase(valueName)] = text;
}

bool PreviewRegistry::SetStringValue(Hive hive,
                                     const std::string& keyPath,
                                     const std::string& valueName,
                                     const std::string& text) {
    Write(hive, keyPath, valueName, text);
    return true;
}

std::string PreviewRegistry::ReadStringValue(Hive hive, const std::string& keyPath, const std::string& valueName) {
    if (!Exists(hive, keyPath))
        return {};
    if (auto written = Written(hive, keyPath, valueName))
        return *written;
    return real_.ReadStringValue(hive, keyPath, valueName);
}

std::string PreviewRegistry::GetString(Hive hive, const std::string& keyPath, const std::string& valueName) {
    if (!Exists(hive, keyPath))
        return {};
    if (auto written = Written(hive, keyPath, valueName))
        return *written;
    return real_.GetString(hive, keyPath, valueName);
}

void PreviewRegistry::DeleteRegistryValue(Hive hive, const std::string& keyPath, const std::string& valueName) {
    if (Exists(hive, keyPath))
        changes_[Id(hive, keyPath)].values[FoldCase(valueName)] = std::nullopt;
}

std::string PreviewRegistry::DeleteRegistryKey(Hive hive, const std::string& keyPath) {
    // An empty path would name the hive itself; a key with subkeys cannot be deleted this way.
    const std::string path = Id(hive, keyPath).second;
    if (path.find_first_not_of('\\') == std::string::npos || !Exists(hive, keyPath))
        return kKeyNotDeleted;
    const auto subkeys = SubkeyNames(hive, keyPath);
    if (!subkeys || !subkeys->empty())
        return kKeyNotDeleted;
    KeyChanges& changes = changes_[Id(hive, keyPath)];
    changes = KeyChanges{};
    changes.deleted = true;
    return kKeyDeleted;
}

std::optional<std::vector<std::string>> PreviewRegistry::ValueNames(Hive hive, const std::string& keyPath) {
    if (!Exists(hive, keyPath))
        return std::vector<std::string>();
    const KeyChanges* changes = Changes(hive, keyPath);
    std::vector<std::string> names;
    if (!changes || !changes->deleted) {
        const auto real = real_.ValueNames(hive, keyPath);
        if (!real)
            return real;
        for (const std::string& name : *real) {
            bool deleted = false;
            if (changes) {
                const auto value = changes->values.find(FoldCase(name));
                deleted = value != changes->values.end() && !value->second;
            }
            if (!deleted)
                names.push_back(name);
        }
    }
    if (changes) {
        for (const std::string& name : changes->order) {
            if (changes->values.at(FoldCase(name)) && !HoldsName(names, name))
                names.push_back(name);
        }
    }
    return names;
}

std::optional<std::vector<std::string>> PreviewRegistry::SubkeyNames(Hive hive, const std::string& keyPath) {
    if (!Exists(hive, keyPath))
        return std::nullopt;
    const KeyId id = Id(hive, keyPath);
    const KeyChanges* changes = Changes(hive, keyPath);
    std::vector<std::string> names;
    if (!changes || !changes->deleted) {
        for (const std::string& name : real_.SubkeyNames(hive, keyPath).value_or(std::vector<std::string>{})) {
            if (Exists(hive, id.second + "\\" + name))
                names.push_back(name);
        }
    }
    for (const auto& [other, otherChanges] : changes_) {
        const std::string& path = other.second;
        if (other.first != hive || !otherChanges.made || path.size() <= id.second.size() + 1 ||
            path.compare(0, id.second.size() + 1, id.second + "\\") != 0) {
            continue;
        }
        const std::string name = path.substr(id.second.size() + 1);
        if (name.find('\\') == std::string::npos && !HoldsName(names, name))
            names.push_back(name);
    }
    return names;
}

void PreviewRegistry::SaveKey(Hive hive, const std::string& keyPath) {
    Make(hive, keyPath);
}

void PreviewRegistry::SaveString(Hive hive,
                                 const std::string& keyPath,
                                 const std::string& valueName,
                                 const std::string& text) {
    Write(hive, keyPath, valueName, text);
}

void PreviewRegistry::DeleteValue(Hive hive, const std::string& keyPath, const std::string& valueName) {
    DeleteRegistryValue(hive, keyPath, valueName);
}

void PreviewRegistry::DeleteKey(Hive hive, const std::string& keyPath) {
    DeleteRegistryKey(hive, keyPath);
}

// ---- the URL cache, the history library and the shell ----

bool PreviewUrlCache::Walk(const std::function<void(const std::string& sourceName, std::uint32_t entryType)>& visit) {
    return real_.Walk([&](const std::string& name, std::uint32_t type) {
        if (!deleted_.count(name))
            visit(name, type);
    });
}

bool PreviewUrlCache::DeleteEntry(const std::string& sourceName) {
    return deleted_.insert(sourceName).second;
}

void PreviewUrlCache::ForgetHistory() {
    real_.Walk([&](const std::string& name, std::uint32_t type) {
        if ((type & UrlCacheEntryType::kUrlHistory) || FindIgnoreCase(name, "visited:") == 0)
            deleted_.insert(name);
    });
}

void PreviewShell::ClearRecentDocuments() {
    if (const std::string recent = real_.SpecialFolderPath(0, SpecialFolder::kRecent); !recent.empty())
        fileSystem_.DeleteFilesMatching(recent + "*.lnk");
}

}  // namespace nimbral
