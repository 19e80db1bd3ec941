#include "doubles/FakeFileSystem.h"

#include <algorithm>
#include <vector>

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

}  // namespace

bool MatchesWildcard(const std::string& name, const std::string& pattern) {
    if (pattern == "*.*")
        return true;
    return MatchFrom(name.c_str(), pattern.c_str());
}

FakeFileSystem::Node* FakeFileSystem::FindNode(const std::string& path) {
    const auto parts = PathParts(path);
    if (parts.empty())
        return nullptr;
    const auto drive = drives_.find(FoldCase(parts[0]));
    if (drive == drives_.end())
        return nullptr;
    Node* node = &drive->second;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const auto it = node->children.find(FoldCase(parts[i]));
        if (it == node->children.end())
            return nullptr;
        node = it->second.get();
    }
    return node;
}

FakeFileSystem::Node& FakeFileSystem::AddNode(const std::string& path, std::uint32_t attributes) {
    const auto parts = PathParts(path);
    Node* node = &drives_[FoldCase(parts.at(0))];
    node->attributes = FileAttribute::kDirectory;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        auto& child = node->children[FoldCase(parts[i])];
        if (!child)
            child = std::make_unique<Node>(Node{parts[i], FileAttribute::kDirectory, false, {}, {}});
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

std::optional<std::vector<DirEntry>> FakeFileSystem::FindEntries(const std::string& searchSpec) {
    const auto slash = searchSpec.rfind('\\');
    if (slash == std::string::npos)
        return std::nullopt;
    Node* folder = FindNode(searchSpec.substr(0, slash));
    if (!folder || !(folder->attributes & FileAttribute::kDirectory))
        return std::nullopt;
    const std::string pattern = searchSpec.substr(slash + 1);
    std::vector<DirEntry> entries;
    for (const auto& [folded, child] : folder->children) {
        if (MatchesWildcard(child->name, pattern))
            entries.push_back({child->name, child->attributes});
    }
    return entries;
}

bool FakeFileSystem::FolderExists(const std::string& path) {
    const Node* node = FindNode(path);
    return node && (node->attributes & FileAttribute::kDirectory);
}

std::pair<FakeFileSystem::Node*, std::string> FakeFileSystem::FindParent(const std::string& path) {
    const auto slash = path.find_last_of('\\', path.find_last_not_of('\\'));
    if (slash == std::string::npos)
        return {nullptr, {}};
    Node* parent = FindNode(path.substr(0, slash));
    const auto parts = PathParts(path);
    if (!parent || parts.size() < 2)
        return {nullptr, {}};
    return {parent, FoldCase(parts.back())};
}

void FakeFileSystem::LockFile(const std::string& path) {
    if (Node* node = FindNode(path))
        node->locked = true;
}

void FakeFileSystem::AddFolderLink(const std::string& path) {
    AddNode(path, FileAttribute::kDirectory | FileAttribute::kReparsePoint);
}

void FakeFileSystem::SetContent(const std::string& path, std::string content) {
    if (Node* node = FindNode(path))
        node->content = std::move(content);
}

std::unique_ptr<ByteSource> FakeFileSystem::OpenForReading(const std::string& path) {
    const Node* node = FindNode(path);
    if (!node || (node->attributes & FileAttribute::kDirectory))
        return nullptr;
    // A copy: the file may change or go while it is read, as on a real system.
    struct Source final : ByteSource {
        explicit Source(std::string text) : text(std::move(text)) {}
        std::size_t Read(char* buffer, std::size_t size) override {
            const std::size_t n = std::min(size, text.size() - at);
            std::copy_n(text.data() + at, n, buffer);
            at += n;
            return n;
        }
        std::string text;
        std::size_t at = 0;
    };
    return std::make_unique<Source>(node->content);
}

bool FakeFileSystem::Exists(const std::string& path) {
    return FindNode(path) != nullptr;
}

std::uint32_t FakeFileSystem::Attributes(const std::string& path) {
    const Node* node = FindNode(path);
    return node ? node->attributes : 0;
}

bool FakeFileSystem::CreateFolder(const std::string& path) {
    auto [parent, key] = FindParent(path);
    if (!parent || parent->children.count(key))
        return false;
    AddFolder(path);
    return true;
}

bool FakeFileSystem::RemoveFile(const std::string& path) {
    auto [parent, key] = FindParent(path);
    if (!parent)
        return false;
    const auto it = parent->children.find(key);
    if (it == parent->children.end())
        return false;
    const Node& node = *it->second;
    if ((node.attributes & (FileAttribute::kDirectory | FileAttribute::kReadOnly)) || node.locked)
        return false;
    parent->children.erase(it);
    return true;
}

bool FakeFileSystem::SetAttributesNormal(const std::string& path) {
    Node* node = FindNode(path);
    if (!node)
        return false;
    node->attributes = (node->attributes & (FileAttribute::kDirectory | FileAttribute::kReparsePoint));
    if (!(node->attributes & FileAttribute::kDirectory))
        node->attributes = FileAttribute::kNormal;
    return true;
}

bool FakeFileSystem::DeleteFilesMatching(const std::string& pattern) {
    const auto entries = FindEntries(pattern);
    if (!entries)
        return false;
    const std::string folder = pattern.substr(0, pattern.rfind('\\') + 1);
    bool any = false;
    for (const DirEntry& entry : *entries) {
        constexpr std::uint32_t kPassedOver =
            FileAttribute::kDirectory | FileAttribute::kHidden | FileAttribute::kSystem;
        if (entry.attributes & kPassedOver)
            continue;
        any = true;
        if (!RemoveFile(folder + entry.name))
            return false;
    }
    return any;
}

bool FakeFileSystem::RemoveTree(Node& parent, const std::string& key) {
    Node& node = *parent.children.at(key);
    if (node.attributes & FileAttribute::kReparsePoint)
        return false;
    if (!(node.attributes & FileAttribute::kDirectory)) {
        if ((node.attributes & FileAttribute::kReadOnly) || node.locked)
            return false;
        parent.children.erase(key);
        return true;
    }
    while (!node.children.empty()) {
        if (!RemoveTree(node, node.children.begin()->first))
            return false;
    }
    parent.children.erase(key);
    return true;
}

bool FakeFileSystem::RemoveFolder(const std::string& path) {
    auto [parent, key] = FindParent(path);
    if (!parent || !parent->children.count(key))
        return false;
    const Node& node = *parent->children.at(key);
    if (!(node.attributes & FileAttribute::kDirectory))
        return false;
    return RemoveTree(*parent, key);
}

}  // namespace nimbral::testing
