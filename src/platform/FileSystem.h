#pragma once

// The file system as the program asks it: what a directory search finds, and whether a folder is
// there. Names are Windows-1252 texts; paths use backslashes.

#include <cstdint>
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

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Everything a directory search for searchSpec (a path whose last part may hold * and ?) finds,
    // in the order the system gives, "." and ".." included where the system reports them. An empty
    // list when nothing matches; no value when the search cannot be made (its folder is missing or
    // unreadable, or the spec is empty).
    virtual std::optional<std::vector<DirEntry>> FindEntries(const std::string& searchSpec) = 0;
    virtual bool DirExists(const std::string& path) = 0;
};

}  // namespace nimbral
