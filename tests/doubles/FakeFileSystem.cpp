#include "doubles/FakeFileSystem.h"

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
            child = std::make_unique<Node>(Node{parts[i], FileAttribute::kDirectory, {}});
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

bool FakeFileSystem::DirExists(const std::string& path) {
    const Node* node = FindNode(path);
    return node && (node->attributes & FileAttribute::kDirectory);
}

}  // namespace nimbral::testing
