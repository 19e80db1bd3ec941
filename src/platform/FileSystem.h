#pragma once

// The file system as the program asks it: what a directory search finds, and whether a folder is
// there. Names are Windows-1252 texts; paths use backslashes.

#include <cstddef>
#include <cstdint>
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
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Everything a directory search for searchSpec (a path whose last part may hold * and ?) finds,
    // in the order the system gives, "." and ".." included where the system reports them. An empty
    // list when nothing matches; no value when the search cannot be made (its folder is missing or
    // unreadable, or the search text is empty).
    virtual std::optional<std::vector<DirEntry>> FindEntries(const std::string& searchSpec) = 0;
    // The folder-exists test: true only for an existing folder.
    virtual bool FolderExists(const std::string& path) = 0;

    // Creates one folder whose parent exists; true when it was created.
    virtual bool CreateFolder(const std::string& path) = 0;
    // True when the file was deleted.
    virtual bool RemoveFile(const std::string& path) = 0;
    // Clears read-only, hidden and system, so that a following deletion is not refused for them.
    virtual bool SetAttributesNormal(const std::string& path) = 0;
    // Deletes every file (never a folder) that the pattern matches in its folder. False when nothing
    // matched or a match could not be deleted; what was deleted before that stays deleted.
    virtual bool DeleteFilesMatching(const std::string& pattern) = 0;
    // Removes a folder with all its files and subfolders, without forcing: a read-only entry is not
    // removed and makes the removal fail, and whatever went before stays removed. A link or other
    // reparse point inside is never followed: it is removed as a link where the system allows, else
    // left, and its target is never touched. A path that names a link is not removed. False on any
    // failure.
    virtual bool RemoveFolder(const std::string& path) = 0;
    // Opens a file for reading, letting others read, write and delete it meanwhile; null when it
    // cannot be opened.
    virtual std::unique_ptr<ByteSource> OpenForReading(const std::string& path) = 0;
};

}  // namespace nimbral
