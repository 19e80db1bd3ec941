#pragma once

// A file tree in memory that searches as Windows does: names ignore letter case, "*" and "?" are
// wildcards in the last part of a search, and "*.*" matches every name. Links, short names and
// devices behave as they do under Wine: paths lead through links, a link to a file looks like an
// ordinary file, and only the checked operations of the seam keep a deletion from reaching a link's
// target.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace nimbral::testing {

class FakeFileSystem final : public FileSystem {
  public:
    std::optional<std::vector<DirEntry>> FindEntries(const std::string& searchSpec) override;
    std::vector<std::string> DriveRoots() override;
    bool FolderExists(const std::string& path) override;
    std::optional<std::string> FinalPath(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    bool SetAttributesNormal(const std::string& path) override;
    bool DeleteFilesMatching(const std::string& pattern) override;
    bool RemoveFolder(const std::string& path, const std::function<void()>& betweenEntries) override;
    bool CouldRemoveFile(const std::string& path, bool assumeNormal) override;
    bool CouldSetAttributesNormal(const std::string& path) override;
    bool CouldRemoveFolder(const std::string& path, std::vector<std::string>& removed) override;
    std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override;

    // Fixtures. Folders on the way are created as needed, by their exact names; paths start with a
    // drive ("C:\...") or a share ("\\server\share\...").
    void AddFolder(const std::string& path, std::uint32_t attributes = FileAttribute::kDirectory);
    void AddFile(const std::string& path, std::uint32_t attributes = FileAttribute::kArchive);
    // A file that is open elsewhere: it cannot be deleted.
    void LockFile(const std::string& path);
    // What reading the file gives; a file added without it reads as empty.
    void SetContent(const std::string& path, std::string content);
    // A link to a folder, shown as a folder that is a reparse point. Like Wine's, it cannot be
    // removed. Without a target nothing is ever reached through it; with one, paths lead through it
    // to the target, as the system's do.
    void AddFolderLink(const std::string& path, const std::string& target = {});
    // A link to a file, shown as an ordinary file, as Wine shows it.
    void AddFileLink(const std::string& path, const std::string& target);
    // A second name (an 8.3 short name) for an existing entry of the same folder.
    void AddShortName(const std::string& path, const std::string& shortName);
    // Something that only looks like a file: reading it never ends.
    void AddDevice(const std::string& path);
    // A drive that is listed but cannot be read, as one without a medium: "E:".
    void AddUnreadableDrive(const std::string& drive);
    // The size a file reports when opened, whatever it holds.
    void SetReportedSize(const std::string& path, std::uint64_t size);

    // Every entry with what can be seen of it, one line each in a fixed order, to tell whether
    // anything changed.
    std::vector<std::string> Dump() const;
    // Whether an entry of exactly this path is there; links along the path are not followed.
    bool Exists(const std::string& path);
    std::uint32_t Attributes(const std::string& path);
    // What was asked of the checked operations and turned away because the path was not where the
    // entry lies.
    int refusedAsNotExact = 0;

  private:
    struct Node {
        std::string name;
        std::uint32_t attributes = 0;
        bool locked = false;
        bool device = false;
        std::string content;
        std::optional<std::uint64_t> reportedSize;
        std::string linkTarget;  // where a link leads; empty for anything else, and for a dead link
        std::string shortName;
        std::map<std::string, std::unique_ptr<Node>> children;  // by folded name
    };
    struct Resolved {
        Node* parent = nullptr;
        std::string key;  // of node in parent
        Node* node = nullptr;
        std::string finalPath;
    };
    struct Root {
        std::string display;  // "C:" or "\\server\share"
        Node node;
        bool unreadable = false;
    };

    // Walks the path as the system does, through links (the last one too when followLast); no value
    // when something on the way is missing or a dead link.
    std::optional<Resolved> Resolve(const std::string& path, bool followLast, int depth = 0);
    // The entry that lies exactly at path, for the checked operations; counts a refusal otherwise.
    std::optional<Resolved> Exactly(const std::string& path);
    Node* FindExact(const std::string& path);
    Node& AddNode(const std::string& path, std::uint32_t attributes);
    bool RemoveTree(Node& parent, const std::string& key, const std::function<void()>& betweenEntries);
    // The same walk, removing nothing: what it would remove is added to removed.
    bool WouldRemoveTree(const Node& node, const std::string& path, std::vector<std::string>& removed) const;

    std::map<std::string, Root> roots_;  // by folded root, "c:" or "\\server\share"
};

// Windows wildcard matching of one name, ignoring letter case.
bool MatchesWildcard(const std::string& name, const std::string& pattern);

}  // namespace nimbral::testing
