#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/UniqueHandles.h"

namespace nimbral::win32 {

namespace {

bool IsDots(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Empties and removes a folder that is known to be a real folder, not a link. Stops at the first
// entry that resists, as a removal that is not forced does.
bool RemoveRealFolder(const std::string& folder) {
    {
        WIN32_FIND_DATAA data = {};
        UniqueFindHandle find(::FindFirstFileA((folder + "\\*").c_str(), &data));
        if (!find && ::GetLastError() != ERROR_FILE_NOT_FOUND)
            return false;
        if (find) {
            do {
                if (IsDots(data.cFileName))
                    continue;
                const std::string path = folder + "\\" + data.cFileName;
                const DWORD attributes = data.dwFileAttributes;
                if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                    // A linked folder goes as a link or not at all: its target is never entered. Some
                    // systems cannot remove such a link; it then stays, and so does the folder.
                    const bool removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? ::RemoveDirectoryA(path.c_str())
                                                                                 : ::DeleteFileA(path.c_str());
                    if (!removed)
                        return false;
                } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                    if (!RemoveRealFolder(path))
                        return false;
                } else {
                    if ((attributes & FILE_ATTRIBUTE_READONLY) || !::DeleteFileA(path.c_str()))
                        return false;
                }
            } while (::FindNextFileA(find.get(), &data));
        }
    }  // the search is closed before its folder goes
    return ::RemoveDirectoryA(folder.c_str()) != 0;
}

class FileByteSource final : public ByteSource {
  public:
    explicit FileByteSource(UniqueHfile file) : file_(std::move(file)) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        DWORD got = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 20));
        failed_ = !::ReadFile(file_.get(), buffer, wanted, &got, nullptr);
        return failed_ ? 0 : got;
    }
    bool Failed() const override { return failed_; }

  private:
    UniqueHfile file_;
    bool failed_ = false;
};

}  // namespace

std::optional<std::vector<DirEntry>> Win32FileSystem::FindEntries(const std::string& searchSpec) {
    if (searchSpec.empty())
        return std::nullopt;
    WIN32_FIND_DATAA data = {};
    UniqueFindHandle find(::FindFirstFileA(searchSpec.c_str(), &data));
    std::vector<DirEntry> entries;
    if (!find) {
        // Nothing matched in a folder that is there: an empty result, not a failure.
        return ::GetLastError() == ERROR_FILE_NOT_FOUND ? std::optional(entries) : std::nullopt;
    }
    do {
        entries.push_back({data.cFileName, data.dwFileAttributes});
    } while (::FindNextFileA(find.get(), &data));
    return entries;
}

bool Win32FileSystem::FolderExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::CreateFolder(const std::string& path) {
    return ::CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool Win32FileSystem::RemoveFile(const std::string& path) {
    return ::DeleteFileA(path.c_str()) != 0;
}

bool Win32FileSystem::SetAttributesNormal(const std::string& path) {
    return ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL) != 0;
}

bool Win32FileSystem::DeleteFilesMatching(const std::string& pattern) {
    const auto entries = FindEntries(pattern);
    if (!entries)
        return false;
    const std::string folder = FolderOf(pattern);
    bool any = false;
    for (const DirEntry& entry : *entries) {
        if (entry.attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
            continue;
        any = true;
        if (!::DeleteFileA((folder + entry.name).c_str()))
            return false;
    }
    return any;
}

bool Win32FileSystem::RemoveFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    // A folder that is itself a link would lead into its target.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return false;
    return RemoveRealFolder(path);
}

std::unique_ptr<ByteSource> Win32FileSystem::OpenForReading(const std::string& path) {
    UniqueHfile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return nullptr;
    return std::make_unique<FileByteSource>(std::move(file));
}

}  // namespace nimbral::win32
