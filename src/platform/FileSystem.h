#pragma once

// The file system as the program asks it: what a directory search finds, where a path leads, and
// the deletions, each checked to reach only what it names. Names are Windows-1252 texts; paths use
// backslashes.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nimbral {

namespace FileAttribute {
inline constexpr std::uint32_t kReadOnly = 0x1;
inline constexpr std::uint32_t kHidden = 0x2;
inline constexpr std::uint32_t kSystem = 0x4;
inline constexpr std::uint32_t kDirectory = 0x10;
inline constexpr std::uint32_t kArchive = 0x20;
inline constexpr std::uint32_t kNormal = 0x80;
inline constexpr std::uint32_t kReparsePoint = 0x400;
}  // namespace FileAttribute

struct DirEntry {
    std::string name;  // without folder
    std::uint32_t attributes = 0;
};

// A file opened for reading, front to back.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Up to size bytes into buffer; 0 at the end of the file or when reading fails.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
    // Whether the last 0 from Read was a failure rather than the end of the file.
    virtual bool Failed() const { return false; }
    // False for what only looks like a file: a device, a pipe, a socket. Such a thing may never end.
    virtual bool IsRegularFile() const { return true; }
    // The size when it was opened.
    virtual std::uint64_t Size() const = 0;
};

// Paths are full paths ("C:\..." or "\\server\share\..."). What the program lists itself is handed
// back exactly as listed: a name ending in a dot or a blank, a device name such as "con.txt" or a
// path longer than the old limit of 260 characters reaches the entry that was listed.
//
// Nothing is ever deleted or changed through a link. A link to a file shows as an ordinary file on
// some systems (Wine's), and deleting it there deletes its target; so every operation that deletes
// or changes an entry opens the entry itself, checks that the object it opened lies exactly where
// the path says (its final path is the path given, letter case aside), and acts through that same
// handle, so that nothing can be swapped in between. Such a path is one FinalPath gave for a folder,
// joined with a name as listed; any other spelling of the place (a link, junction or short name
// along the way) is refused, and the caller resolves the folder first.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Everything a directory search for searchSpec (a path whose last part may hold * and ?) finds,
    // in the order the system gives, "." and ".." included where the system reports them. An empty
    // list when nothing matches; no value when the search cannot be made (its folder is missing or
    // unreadable, or the search text is empty).
    virtual std::optional<std::vector<DirEntry>> FindEntries(const std::string& searchSpec) = 0;
    // The same search, calling betweenEntries as it goes, so that a window can handle its messages
    // while a folder of thousands of entries is listed. By default the plain search.
    virtual std::optional<std::vector<DirEntry>> ListEntries(const std::string& searchSpec,
                                                             const std::function<void()>& betweenEntries) {
        return FindEntries(searchSpec);
    }
    // The roots of the drives there are, in drive-letter order: "C:\", "D:\" and so on.
    virtual std::vector<std::string> DriveRoots() = 0;
    // The folder-exists test: true only for an existing folder.
    virtual bool FolderExists(const std::string& path) = 0;
    // Where the path finally leads, as the system resolves it when it opens the path: every link,
    // junction, mapped drive, share and short name along the way and at its end followed, letter
    // case as stored. Two paths to the same place give the same text. No value when nothing is there
    // or it cannot be opened.
    virtual std::optional<std::string> FinalPath(const std::string& path) = 0;

    // Creates one folder whose parent exists; true when it was created.
    virtual bool CreateFolder(const std::string& path) = 0;
    // Deletes the file that lies exactly at path (see above); never a folder, never through a link.
    // True when it was deleted. A read-only file is not forced.
    virtual bool RemoveFile(const std::string& path) = 0;
    // Clears read-only, hidden and system on the entry that lies exactly at path, so that a following
    // deletion is not refused for them.
    virtual bool SetAttributesNormal(const std::string& path) = 0;
    // Deletes every file (never a folder) that the pattern matches in its folder, which may be given
    // in any spelling. False when nothing matched or a match could not be deleted; what was deleted
    // before that stays deleted.
    virtual bool DeleteFilesMatching(const std::string& pattern) = 0;
    // Removes the folder that lies exactly at path (see above) with all its files and subfolders,
    // without forcing: a read-only entry is not removed and makes the removal fail, and whatever went
    // before stays removed. Everything removed is checked to lie below the folder: a link inside is
    // never followed, it is removed as a link where the system allows and left otherwise, and its
    // target is never touched. False on any failure. betweenEntries runs after each entry, so that a
    // window can stay responsive through a large tree.
    virtual bool RemoveFolder(const std::string& path, const std::function<void()>& betweenEntries) = 0;
    // What the three changes above would do, asked without doing them, for a preview that must say
    // what a clean would: the same checks, in the same order, each entry opened as the change would
    // open it. CouldRemoveFile with assumeNormal answers as if the file's attributes had been made
    // normal first. CouldRemoveFolder adds to removed every entry it would remove (full paths, the
    // folder last), in the order it would, up to where it would stop.
    virtual bool CouldRemoveFile(const std::string& path, bool assumeNormal) = 0;
    virtual bool CouldSetAttributesNormal(const std::string& path) = 0;
    virtual bool CouldRemoveFolder(const std::string& path, std::vector<std::string>& removed) = 0;
    // Opens a file for reading, letting others read, write and delete it meanwhile; null when it
    // cannot be opened.
    virtual std::unique_ptr<ByteSource> OpenForReading(const std::string& path) = 0;
};

}  // namespace nimbral
