#include "doubles/FakeFileSystem.h"

#include <algorithm>
#include <stdexcept>

#include "doubles/PathParts.h"
#include "text/AnsiText.h"

namespace nimbral::testing {

namespace {

bool MatchFrom(const char* name, const char* pattern) {
    for (; *pattern; ++pattern) {
        if (*pattern == '*') {
            for (const char* rest = name;; ++rest) {
                if (MatchFrom(rest, pattern + 1))
                    return true;
                if (!*rest)
                    return false;
            }
        }
        if (!*name)
            return false;
        if (*pattern != '?' && FoldCase(*pattern) != FoldCase(*name))
            return false;
        ++name;
    }
    return !*name;
}

// The root of a path and the names below it: "C:\a\b" gives "C:" and {a, b}; "\\s\sh\a" gives
// "\\s\sh" and {a}. False for a path that is neither.
bool SplitRoot(const std::string& path, std::string& root, std::vector<std::string>& names) {
    std::vector<std::string> parts = PathParts(path);
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        if (parts.size() < 2)
            return false;
        root = "\\\\" + parts[0] + "\\" + parts[1];
        names.assign(parts.begin() + 2, parts.end());
        return true;
    }
    if (parts.empty() || parts[0].size() != 2 || parts[0][1] != ':')
        return false;
    root = std::string(1, static_cast<char>(parts[0][0] & ~0x20)) + ":";
    names.assign(parts.begin() + 1, parts.end());
    return true;
}

std::string Joined(const std::string& root, const std::vector<std::string>& names) {
    if (names.empty())
        return root.size() == 2 ? root + "\\" : root;
    std::string path = root;
    for (const std::string& name : names)
        path += "\\" + name;
    return path;
}

// The path without trailing backslashes, but for a drive root's.
std::string WithoutTrailingBackslash(std::string path) {
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

class StringSource final : public ByteSource {
  public:
    StringSource(std::string text, std::uint64_t size) : text_(std::move(text)), size_(size) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min(size, text_.size() - at_);
        std::copy_n(text_.data() + at_, n, buffer);
        at_ += n;
        return n;
    }
    std::uint64_t Size() const override { return size_; }

  private:
    std::string text_;
    std::uint64_t size_;
    std::size_t at_ = 0;
};

// A device such as /dev/zero seen through a link: it never ends.
class EndlessSource final : public ByteSource {
  public:
    std::size_t Read(char* buffer, std::size_t size) override {
        std::fill_n(buffer, size, '\0');
        return size;
    }
    bool IsRegularFile() const override { return false; }
    std::uint64_t Size() const override { return 0; }
};

}  // namespace

bool MatchesWildcard(const std::string& name, const std::string& pattern) {
    if (pattern == "*.*")
        return true;
    return MatchFrom(name.c_str(), pattern.c_str());
}

std::optional<FakeFileSystem::Resolved> FakeFileSystem::Resolve(const std::string& path, bool followLast, int depth) {
    std::string root;
    std::vector<std::string> names;
    if (depth > 32 || !SplitRoot(path, root, names))
        return std::nullopt;
    const auto found = roots_.find(FoldCase(root));
    if (found == roots_.end() || found->second.unreadable)
        return std::nullopt;
    Resolved resolved;
    resolved.node = &found->second.node;
    std::vector<std::string> finalNames;
    for (std::size_t i = 0; i < names.size(); ++i) {
        Node* folder = resolved.node;
        const std::string folded = FoldCase(names[i]);
        auto it = folder->children.find(folded);
        if (it == folder->children.end()) {
            it = std::find_if(folder->children.begin(), folder->children.end(), [&folded](const auto& child) {
                return !child.second->shortName.empty() && FoldCase(child.second->shortName) == folded;
            });
        }
        if (it == folder->children.end())
            return std::nullopt;
        Node* child = it->second.get();
        const bool last = i + 1 == names.size();
        const bool isLink = child->attributes & FileAttribute::kReparsePoint || !child->linkTarget.empty();
        if (isLink && (!last || followLast)) {
            if (child->linkTarget.empty()) {
                if (!last)
                    return std::nullopt;  // a dead link leads nowhere
            } else {
                std::string rest = child->linkTarget;
                for (std::size_t j = i + 1; j < names.size(); ++j)
                    rest += "\\" + names[j];
                return Resolve(rest, followLast, depth + 1);
            }
        }
        resolved.parent = folder;
        resolved.key = it->first;
        resolved.node = child;
        finalNames.push_back(child->name);
    }
    resolved.finalPath = Joined(found->second.display, finalNames);
    return resolved;
}

std::optional<FakeFileSystem::Resolved> FakeFileSystem::Exactly(const std::string& path) {
    auto resolved = Resolve(path, true);
    if (!resolved)
        return std::nullopt;
    if (!EqualsIgnoreCase(resolved->finalPath, WithoutTrailingBackslash(path))) {
        ++refusedAsNotExact;
        return std::nullopt;
    }
    return resolved;
}

FakeFileSystem::Node* FakeFileSystem::FindExact(const std::string& path) {
    std::string root;
    std::vector<std::string> names;
    if (!SplitRoot(path, root, names))
        return nullptr;
    const auto found = roots_.find(FoldCase(root));
    if (found == roots_.end())
        return nullptr;
    Node* node = &found->second.node;
    for (const std::string& name : names) {
        const auto it = node->children.find(FoldCase(name));
        if (it == node->children.end())
            return nullptr;
        node = it->second.get();
    }
    return node;
}

FakeFileSystem::Node& FakeFileSystem::AddNode(const std::string& path, std::uint32_t attributes) {
    std::string root;
    std::vector<std::string> names;
    if (!SplitRoot(path, root, names))
        throw std::invalid_argument("not a full path: " + path);
    Root& top = roots_[FoldCase(root)];
    top.display = root;
    top.node.attributes = FileAttribute::kDirectory;
    Node* node = &top.node;
    for (const std::string& name : names) {
        auto& child = node->children[FoldCase(name)];
        if (!child)
            child = std::make_unique<Node>(Node{name, FileAttribute::kDirectory, false, false, {}, {}, {}, {}, {}});
        node = child.get();
    }
    node->attributes = attributes;
    return *node;
}

void FakeFileSystem::AddFolder(const std::string& path, std::uint32_t attributes) {
    AddNode(path, attributes | FileAttribute::kDirectory);
}

void FakeFileSystem::AddFile(const std::string& path, std::uint32_t attributes) {
    AddNode(path, attributes);
}

void FakeFileSystem::LockFile(const std::string& path) {
    if (Node* node = FindExact(path))
        node->locked = true;
}

void FakeFileSystem::SetContent(const std::string& path, std::string content) {
    if (Node* node = FindExact(path))
        node->content = std::move(content);
}

void FakeFileSystem::AddFolderLink(const std::string& path, const std::string& target) {
    AddNode(path, FileAttribute::kDirectory | FileAttribute::kReparsePoint).linkTarget = target;
}

void FakeFileSystem::AddFileLink(const std::string& path, const std::string& target) {
    AddNode(path, FileAttribute::kArchive).linkTarget = target;
}

void FakeFileSystem::AddShortName(const std::string& path, const std::string& shortName) {
    if (Node* node = FindExact(path))
        node->shortName = shortName;
}

void FakeFileSystem::AddDevice(const std::string& path) {
    AddNode(path, FileAttribute::kArchive).device = true;
}

void FakeFileSystem::AddUnreadableDrive(const std::string& drive) {
    Root& root = roots_[FoldCase(drive)];
    root.display = drive;
    root.node.attributes = FileAttribute::kDirectory;
    root.unreadable = true;
}

void FakeFileSystem::SetReportedSize(const std::string& path, std::uint64_t size) {
    if (Node* node = FindExact(path))
        node->reportedSize = size;
}

std::vector<std::string> FakeFileSystem::Dump() const {
    std::vector<std::string> lines;
    const std::function<void(const Node&, const std::string&)> walk = [&](const Node& node, const std::string& path) {
        lines.push_back(path + " " + std::to_string(node.attributes) + (node.locked ? " locked" : "") + " [" +
                        node.content + "] -> " + node.linkTarget);
        for (const auto& [key, child] : node.children)
            walk(*child, path + "\\" + child->name);
    };
    for (const auto& [key, root] : roots_)
        walk(root.node, root.display);
    return lines;
}

bool FakeFileSystem::Exists(const std::string& path) {
    return FindExact(path) != nullptr;
}

std::uint32_t FakeFileSystem::Attributes(const std::string& path) {
    const Node* node = FindExact(path);
    return node ? node->attributes : 0;
}

std::optional<std::vector<DirEntry>> FakeFileSystem::FindEntries(const std::string& searchSpec) {
    const auto slash = searchSpec.rfind('\\');
    if (slash == std::string::npos)
        return std::nullopt;
    const auto folder = Resolve(searchSpec.substr(0, slash + 1), true);
    if (!folder || !(folder->node->attributes & FileAttribute::kDirectory) ||
        (folder->node->attributes & FileAttribute::kReparsePoint)) {
        return std::nullopt;
    }
    const std::string pattern = searchSpec.substr(slash + 1);
    std::vector<DirEntry> entries;
    for (const auto& [folded, child] : folder->node->children) {
        if (MatchesWildcard(child->name, pattern) ||
            (!child->shortName.empty() && MatchesWildcard(child->shortName, pattern))) {
            entries.push_back({child->name, child->attributes});
        }
    }
    return entries;
}

std::vector<std::string> FakeFileSystem::DriveRoots() {
    std::vector<std::string> drives;
    for (const auto& [folded, root] : roots_) {
        if (root.display.size() == 2)
            drives.push_back(root.display + "\\");
    }
    return drives;
}

bool FakeFileSystem::FolderExists(const std::string& path) {
    const auto resolved = Resolve(path, true);
    return resolved && (resolved->node->attributes & FileAttribute::kDirectory);
}

std::optional<std::string> FakeFileSystem::FinalPath(const std::string& path) {
    const auto resolved = Resolve(path, true);
    if (!resolved)
        return std::nullopt;
    return resolved->finalPath;
}

bool FakeFileSystem::CreateFolder(const std::string& path) {
    const std::string trimmed = WithoutTrailingBackslash(path);
    const auto slash = trimmed.rfind('\\');
    if (slash == std::string::npos)
        return false;
    const auto parent = Resolve(trimmed.substr(0, slash + 1), true);
    const std::string name = trimmed.substr(slash + 1);
    if (!parent || name.empty() || !(parent->node->attributes & FileAttribute::kDirectory) ||
        parent->node->children.count(FoldCase(name))) {
        return false;
    }
    parent->node->children[FoldCase(name)] =
        std::make_unique<Node>(Node{name, FileAttribute::kDirectory, false, false, {}, {}, {}, {}, {}});
    return true;
}

bool FakeFileSystem::RemoveFile(const std::string& path) {
    const auto exact = Exactly(path);
    if (!exact || !exact->parent)
        return false;
    const Node& node = *exact->node;
    if ((node.attributes & (FileAttribute::kDirectory | FileAttribute::kReadOnly)) || node.locked)
        return false;
    exact->parent->children.erase(exact->key);
    return true;
}

bool FakeFileSystem::SetAttributesNormal(const std::string& path) {
    const auto exact = Exactly(path);
    if (!exact)
        return false;
    Node& node = *exact->node;
    node.attributes = node.attributes & (FileAttribute::kDirectory | FileAttribute::kReparsePoint);
    if (!(node.attributes & FileAttribute::kDirectory))
        node.attributes = FileAttribute::kNormal;
    return true;
}

bool FakeFileSystem::DeleteFilesMatching(const std::string& pattern) {
    const auto slash = pattern.rfind('\\');
    if (slash == std::string::npos)
        return false;
    const auto folder = FinalPath(pattern.substr(0, slash + 1));
    if (!folder)
        return false;
    const std::string base = WithoutTrailingBackslash(*folder);
    const auto entries = FindEntries(base + "\\" + pattern.substr(slash + 1));
    if (!entries)
        return false;
    bool any = false;
    for (const DirEntry& entry : *entries) {
        constexpr std::uint32_t kPassedOver =
            FileAttribute::kDirectory | FileAttribute::kHidden | FileAttribute::kSystem;
        if (entry.attributes & kPassedOver)
            continue;
        any = true;
        if (!RemoveFile(base + (base.back() == '\\' ? "" : "\\") + entry.name))
            return false;
    }
    return any;
}

bool FakeFileSystem::RemoveTree(Node& parent, const std::string& key, const std::function<void()>& betweenEntries) {
    if (betweenEntries)
        betweenEntries();
    Node& node = *parent.children.at(key);
    // Like Wine, no link is removed: a link to a folder cannot be, and a link to a file is not the
    // entry its final path names.
    if ((node.attributes & FileAttribute::kReparsePoint) || !node.linkTarget.empty())
        return false;
    if (!(node.attributes & FileAttribute::kDirectory)) {
        if ((node.attributes & FileAttribute::kReadOnly) || node.locked)
            return false;
        parent.children.erase(key);
        return true;
    }
    while (!node.children.empty()) {
        if (!RemoveTree(node, node.children.begin()->first, betweenEntries))
            return false;
    }
    parent.children.erase(key);
    return true;
}

bool FakeFileSystem::RemoveFolder(const std::string& path, const std::function<void()>& betweenEntries) {
    const auto exact = Exactly(path);
    if (!exact || !exact->parent || !(exact->node->attributes & FileAttribute::kDirectory) ||
        (exact->node->attributes & FileAttribute::kReparsePoint)) {
        return false;
    }
    return RemoveTree(*exact->parent, exact->key, betweenEntries);
}

bool FakeFileSystem::CouldRemoveFile(const std::string& path, bool assumeNormal) {
    const auto exact = Exactly(path);
    if (!exact || !exact->parent)
        return false;
    const Node& node = *exact->node;
    return !(node.attributes & FileAttribute::kDirectory) &&
           (assumeNormal || !(node.attributes & FileAttribute::kReadOnly)) && !node.locked;
}

bool FakeFileSystem::CouldSetAttributesNormal(const std::string& path) {
    return Exactly(path).has_value();
}

bool FakeFileSystem::WouldRemoveTree(const Node& node, const std::string& path, std::vector<std::string>& removed) const {
    if ((node.attributes & FileAttribute::kReparsePoint) || !node.linkTarget.empty())
        return false;
    if (!(node.attributes & FileAttribute::kDirectory)) {
        if ((node.attributes & FileAttribute::kReadOnly) || node.locked)
            return false;
        removed.push_back(path);
        return true;
    }
    for (const auto& [key, child] : node.children) {
        if (!WouldRemoveTree(*child, path + "\\" + child->name, removed))
            return false;
    }
    removed.push_back(path);
    return true;
}

bool FakeFileSystem::CouldRemoveFolder(const std::string& path, std::vector<std::string>& removed) {
    const auto exact = Exactly(path);
    if (!exact || !exact->parent || !(exact->node->attributes & FileAttribute::kDirectory) ||
        (exact->node->attributes & FileAttribute::kReparsePoint)) {
        return false;
    }
    return WouldRemoveTree(*exact->node, exact->finalPath, removed);
}

std::unique_ptr<ByteSource> FakeFileSystem::OpenForReading(const std::string& path) {
    const auto resolved = Resolve(path, true);
    if (!resolved || (resolved->node->attributes & FileAttribute::kDirectory))
        return nullptr;
    if (resolved->node->device)
        return std::make_unique<EndlessSource>();
    // A copy: the file may change or go while it is read, as on a real system.
    const Node& node = *resolved->node;
    return std::make_unique<StringSource>(node.content, node.reportedSize.value_or(node.content.size()));
}

}  // namespace nimbral::testing
