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
    bool DirExists(const std::string& path) override;

    // Fixtures. Folders on the way are created as needed; paths start with a drive, "C:\...".
    void AddFolder(const std::string& path, std::uint32_t attributes = FileAttribute::kDirectory);
    void AddFile(const std::string& path, std::uint32_t attributes = FileAttribute::kArchive);

  private:
    struct Node {
        std::string name;
        std::uint32_t attributes = 0;
        std::map<std::string, std::unique_ptr<Node>> children;  // by folded name
    };
    Node* FindNode(const std::string& path);
    Node& AddNode(const std::string& path, std::uint32_t attributes);

    std::map<std::string, Node> drives_;  // by folded drive, "c:"
};

// Windows wildcard matching of one name, ignoring letter case.
bool MatchesWildcard(const std::string& name, const std::string& pattern);

}  // namespace nimbral::testing
