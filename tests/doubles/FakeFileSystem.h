#pragma once

// A file tree in memory that searches as Windows does: names ignore letter case, "*" and "?" are
// wildcards in the last part of a search, and "*.*" matches every name.

#include <map>
#include <memory>
#include <string>

#include "platform/FileSystem.h"

namespace nimbral::testing {

class FakeFileSystem final : public FileSystem {
  public:
    std::optional<std::vector<DirEntry>> FindEntries(const std::string& searchSpec) override;
    bool FolderExists(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    bool SetAttributesNormal(const std::string& path) override;
    bool DeleteFilesMatching(const std::string& pattern) override;
    bool RemoveFolder(const std::string& path) override;
    std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override;

    // Fixtures. Folders on the way are created as needed; paths start with a drive, "C:\...".
    void AddFolder(const std::string& path, std::uint32_t attributes = FileAttribute::kDirectory);
    void AddFile(const std::string& path, std::uint32_t attributes = FileAttribute::kArchive);
    // A file that is open elsewhere: it cannot be deleted.
    void LockFile(const std::string& path);
    // What reading the file gives; a file added without it reads as empty.
    void SetContent(const std::string& path, std::string content);
    // A link to a folder, shown as a folder that is a reparse point. Like Wine's, it cannot be
    // removed, and nothing behind it is ever listed or removed through it.
    void AddFolderLink(const std::string& path);
    bool Exists(const std::string& path);
    std::uint32_t Attributes(const std::string& path);

  private:
    struct Node {
        std::string name;
        std::uint32_t attributes = 0;
        bool locked = false;
        std::string content;
        std::map<std::string, std::unique_ptr<Node>> children;  // by folded name
    };
    Node* FindNode(const std::string& path);
    // The node's parent and the key of the node in it; null when the path has no parent.
    std::pair<Node*, std::string> FindParent(const std::string& path);
    bool RemoveTree(Node& parent, const std::string& key);
    Node& AddNode(const std::string& path, std::uint32_t attributes);

    std::map<std::string, Node> drives_;  // by folded drive, "c:"
};

// Windows wildcard matching of one name, ignoring letter case.
bool MatchesWildcard(const std::string& name, const std::string& pattern);

}  // namespace nimbral::testing
