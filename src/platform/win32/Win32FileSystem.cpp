#include "platform/win32/Win32FileSystem.h"

#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <vector>

#include "platform/win32/SystemText.h"
#include "platform/win32/UniqueHandles.h"

namespace nimbral::win32 {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr wchar_t kLocalPrefix[] = L"\\\\?\\";
constexpr wchar_t kSharePrefix[] = L"\\\\?\\UNC\\";

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.compare(0, std::char_traits<wchar_t>::length(prefix), prefix) == 0;
}

bool IsDots(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// A full path as the system is handed it. A drive or share path of plain segments gets the "\\?\"
// prefix, so that the system takes it literally: a name ending in a dot or a blank, a device name
// such as "con.txt" and a path beyond 260 characters then reach the entry that was listed. A path
// with "." or ".." segments, forward slashes or doubled separators is left to the system's own
// reading; the program never lists such a path itself.
std::wstring SystemPath(const std::string& path) {
    std::wstring wide = Wide(path);
    if (StartsWith(wide, kLocalPrefix) || StartsWith(wide, L"\\\\.\\"))
        return wide;
    const bool drive = wide.size() >= 3 && wide[1] == L':' && wide[2] == L'\\' &&
                       ((wide[0] >= L'A' && wide[0] <= L'Z') || (wide[0] >= L'a' && wide[0] <= L'z'));
    const bool share = wide.size() >= 3 && wide[0] == L'\\' && wide[1] == L'\\' && wide[2] != L'\\';
    if ((!drive && !share) || wide.find(L'/') != std::wstring::npos)
        return wide;
    std::size_t at = drive ? 3 : 2;
    while (at < wide.size()) {
        const std::size_t end = std::min(wide.find(L'\\', at), wide.size());
        const std::wstring_view segment(wide.data() + at, end - at);
        if (segment.empty() || segment == L"." || segment == L"..")
            return wide;
        at = end + 1;
    }
    return drive ? kLocalPrefix + wide : kSharePrefix + wide.substr(2);
}

// One spelling of a place for comparisons: the "\\?\" form without a trailing backslash, but for a
// root's.
std::wstring ComparisonForm(std::wstring path) {
    if (!StartsWith(path, kLocalPrefix)) {
        if (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\')
            path = kSharePrefix + path.substr(2);
        else
            path = kLocalPrefix + path;
    }
    while (path.size() > 1 && path.back() == L'\\' && path[path.size() - 2] != L':')
        path.pop_back();
    return path;
}

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

std::vector<std::wstring_view> Segments(const std::wstring& path) {
    std::vector<std::wstring_view> segments;
    for (std::size_t at = 0; at <= path.size();) {
        const std::size_t end = std::min(path.find(L'\\', at), path.size());
        segments.emplace_back(path.data() + at, end - at);
        at = end + 1;
    }
    return segments;
}

// Whether the folder holds an entry of exactly that name.
bool Holds(const std::wstring& folder, std::wstring_view name) {
    WIN32_FIND_DATAW data = {};
    const UniqueFindHandle find(::FindFirstFileExW((folder + L"\\" + std::wstring(name)).c_str(), FindExInfoBasic,
                                                   &data, FindExSearchNameMatch, nullptr, 0));
    return find && EqualIgnoringCase(data.cFileName, name);
}

// The final path of the entry named, spelt as named, when the object with that final path is the
// entry named; no value when it is something else. Some systems (Wine) cannot spell a name that ends
// in a dot or a blank in a final path and drop those characters: such a name still names the entry
// as long as its folder holds nothing under the shortened name, which the entry could lead to.
std::optional<std::wstring> SpeltAsNamed(const std::wstring& finalPath, const std::wstring& named) {
    const std::wstring left = ComparisonForm(finalPath);
    const std::wstring right = ComparisonForm(named);
    if (EqualIgnoringCase(left, right))
        return left;
    const auto finalSegments = Segments(left);
    const auto namedSegments = Segments(right);
    if (finalSegments.size() != namedSegments.size())
        return std::nullopt;
    std::wstring spelt;
    for (std::size_t i = 0; i < namedSegments.size(); ++i) {
        const std::wstring_view segment = namedSegments[i];
        std::wstring_view chosen = finalSegments[i];
        if (!EqualIgnoringCase(chosen, segment)) {
            const std::wstring_view shortened = segment.substr(0, segment.find_last_not_of(L". ") + 1);
            if (shortened.empty() || shortened.size() == segment.size() || !EqualIgnoringCase(chosen, shortened) ||
                Holds(spelt, shortened)) {
                return std::nullopt;
            }
            chosen = segment;
        }
        spelt += (i == 0 ? L"" : L"\\") + std::wstring(chosen);
    }
    return spelt;
}

// "\\?\C:\x" as "C:\x", "\\?\UNC\server\share" as "\\server\share".
std::string DisplayPath(const std::wstring& finalPath) {
    if (StartsWith(finalPath, kSharePrefix))
        return "\\\\" + Narrow(finalPath.substr(std::char_traits<wchar_t>::length(kSharePrefix)));
    if (StartsWith(finalPath, kLocalPrefix))
        return Narrow(finalPath.substr(std::char_traits<wchar_t>::length(kLocalPrefix)));
    return Narrow(finalPath);
}

// The object's name as the kernel keeps it, when that is a path the program can use. Wine keeps
// "\??\C:\..." and answers it without limit of length, where its GetFinalPathNameByHandleW (which
// asks the same) gives up past 260 characters; Windows keeps a device name, "\Device\...".
std::optional<std::wstring> KernelPathOf(HANDLE handle) {
    // A name of 32,767 characters with its header, aligned; kept, since every deletion asks.
    thread_local std::vector<ULONG> buffer(16 * 1024 + 8);
    ULONG needed = 0;
    if (!NT_SUCCESS(::NtQueryObject(handle, ObjectNameInformation, buffer.data(),
                                    static_cast<ULONG>(buffer.size() * sizeof(ULONG)), &needed))) {
        return std::nullopt;
    }
    const auto* name = reinterpret_cast<const UNICODE_STRING*>(buffer.data());
    std::wstring text(name->Buffer, name->Length / sizeof(wchar_t));
    if (text.compare(0, 4, L"\\??\\") != 0)
        return std::nullopt;
    text[1] = L'\\';
    return text;
}

std::optional<std::wstring> FinalPathOf(HANDLE handle) {
    if (auto path = KernelPathOf(handle))
        return path;
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                         FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return std::nullopt;
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(length + 1);
    }
}

enum class EntryKind { File, Folder };

// Opens the entry that lies exactly at path, never what it leads to: a link is opened as itself
// where the system allows, and where the system follows it anyway (Wine does for a link to a file)
// the object opened lies elsewhere and is turned away. A file is opened as a file only, so it can
// never be a folder that took its place.
UniqueHfile OpenExactly(const std::wstring& path, DWORD access, EntryKind kind) {
    const DWORD flags = FILE_FLAG_OPEN_REPARSE_POINT | (kind == EntryKind::Folder ? FILE_FLAG_BACKUP_SEMANTICS : 0);
    UniqueHfile entry(::CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr));
    if (!entry)
        return {};
    const auto finalPath = FinalPathOf(entry.get());
    if (!finalPath || !SpeltAsNamed(*finalPath, path))
        return {};
    return entry;
}

// Removes entries, or, for a preview, only finds out which it would remove and where it would stop:
// the same entries opened the same way, in the same order.
class Remover {
  public:
    // With wouldRemove, nothing is removed: what would be is added to it instead.
    explicit Remover(std::vector<std::string>* wouldRemove = nullptr) : wouldRemove_(wouldRemove) {}

    // The one deletion of the program: what was checked is what goes, through the same handle.
    bool Entry(const std::wstring& path, EntryKind kind, bool assumeNormal = false) const {
        const UniqueHfile entry = OpenExactly(path, DELETE, kind);
        if (!entry)
            return false;
        if (!wouldRemove_) {
            FILE_DISPOSITION_INFO disposition = {TRUE};
            return ::SetFileInformationByHandle(entry.get(), FileDispositionInfo, &disposition, sizeof disposition) !=
                   0;
        }
        // The system refuses to delete a read-only entry, and so the removal would fail there.
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (!assumeNormal && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            return false;
        wouldRemove_->push_back(DisplayPath(path));
        return true;
    }

    // Empties and removes a folder that lies exactly at root, walking down with a stack of its own
    // so that no depth of folders can exhaust the program's stack. Stops at the first entry that
    // resists, as a removal that is not forced does. Every entry is removed by the path it was
    // listed under below root, and checked to lie there.
    bool Tree(const std::wstring& root, const std::function<void()>& betweenEntries) const {
        struct Level {
            std::wstring folder;
            UniqueFindHandle find;
            bool listed = false;
        };
        std::vector<Level> levels;
        levels.push_back({root, {}, false});
        WIN32_FIND_DATAW data = {};
        while (!levels.empty()) {
            if (betweenEntries)
                betweenEntries();
            Level& level = levels.back();
            bool found = false;
            if (!level.listed) {
                level.listed = true;
                level.find.reset(::FindFirstFileExW((level.folder + L"\\*").c_str(), FindExInfoBasic, &data,
                                                    FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
                if (!level.find && ::GetLastError() != ERROR_FILE_NOT_FOUND)
                    return false;
                found = static_cast<bool>(level.find);
            } else {
                found = ::FindNextFileW(level.find.get(), &data) != 0;
            }
            if (!found) {
                // Everything inside is gone: the search is closed before its folder goes.
                const std::wstring folder = std::move(level.folder);
                levels.pop_back();
                if (!Entry(folder, EntryKind::Folder))
                    return false;
                continue;
            }
            if (IsDots(data.cFileName))
                continue;
            std::wstring path = level.folder + L"\\" + data.cFileName;
            const DWORD attributes = data.dwFileAttributes;
            if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                // A link goes as a link or not at all: its target is never entered. Some systems
                // cannot remove a link to a folder; it then stays, and so does the folder.
                if (!Entry(path, (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::Folder : EntryKind::File))
                    return false;
            } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                levels.push_back({std::move(path), {}, false});
            } else if ((attributes & FILE_ATTRIBUTE_READONLY) || !Entry(path, EntryKind::File)) {
                return false;
            }
        }
        return true;
    }

  private:
    std::vector<std::string>* wouldRemove_;
};

class FileByteSource final : public ByteSource {
  public:
    FileByteSource(UniqueHfile file, bool regular, std::uint64_t size)
        : file_(std::move(file)), regular_(regular), size_(size) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        DWORD got = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 20));
        failed_ = !::ReadFile(file_.get(), buffer, wanted, &got, nullptr);
        return failed_ ? 0 : got;
    }
    bool Failed() const override { return failed_; }
    bool IsRegularFile() const override { return regular_; }
    std::uint64_t Size() const override { return size_; }

  private:
    UniqueHfile file_;
    bool regular_;
    std::uint64_t size_;
    bool failed_ = false;
};

}  // namespace

std::optional<std::vector<DirEntry>> Win32FileSystem::FindEntries(const std::string& searchSpec) {
    return ListEntries(searchSpec, {});
}

std::optional<std::vector<DirEntry>> Win32FileSystem::ListEntries(const std::string& searchSpec,
                                                                  const std::function<void()>& betweenEntries) {
    if (searchSpec.empty())
        return std::nullopt;
    const std::wstring path = SystemPath(searchSpec);
    // A search for one exact name finds that entry and nothing else, and asking for the entry's
    // attributes costs a tenth of a directory search. A short name (with its "~") is left to the
    // search, which answers with the long name it stands for.
    const std::size_t last = path.rfind(L'\\') + 1;
    if (StartsWith(path, kLocalPrefix) && path.find_first_of(L"*?~", last) == std::wstring::npos &&
        last < path.size()) {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
            return std::vector<DirEntry>{{Narrow(path.substr(last)), data.dwFileAttributes}};
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND)
            return std::vector<DirEntry>();
        if (error == ERROR_PATH_NOT_FOUND)
            return std::nullopt;
    }
    WIN32_FIND_DATAW data = {};
    UniqueFindHandle find(::FindFirstFileExW(path.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                             FIND_FIRST_EX_LARGE_FETCH));
    std::vector<DirEntry> entries;
    if (!find) {
        // Nothing matched in a folder that is there: an empty result, not a failure.
        return ::GetLastError() == ERROR_FILE_NOT_FOUND ? std::optional(entries) : std::nullopt;
    }
    do {
        entries.push_back({Narrow(data.cFileName), data.dwFileAttributes});
        if (betweenEntries)
            betweenEntries();
    } while (::FindNextFileW(find.get(), &data));
    return entries;
}

std::vector<std::string> Win32FileSystem::DriveRoots() {
    std::vector<std::string> roots;
    wchar_t buffer[4 * 26 + 1] = {};
    const DWORD length = ::GetLogicalDriveStringsW(static_cast<DWORD>(std::size(buffer)), buffer);
    for (const wchar_t* root = buffer; length > 0 && length < std::size(buffer) && *root; root += std::wcslen(root) + 1)
        roots.push_back(Narrow(root));
    return roots;
}

bool Win32FileSystem::FolderExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(SystemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> Win32FileSystem::FinalPath(const std::string& path) {
    if (path.empty())
        return std::nullopt;
    const UniqueHfile entry(::CreateFileW(SystemPath(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!entry)
        return std::nullopt;
    const auto finalPath = FinalPathOf(entry.get());
    if (!finalPath)
        return std::nullopt;
    return DisplayPath(SpeltAsNamed(*finalPath, SystemPath(path)).value_or(*finalPath));
}

bool Win32FileSystem::CreateFolder(const std::string& path) {
    return ::CreateDirectoryW(SystemPath(path).c_str(), nullptr) != 0;
}

bool Win32FileSystem::RemoveFile(const std::string& path) {
    return Remover().Entry(SystemPath(path), EntryKind::File);
}

bool Win32FileSystem::CouldRemoveFile(const std::string& path, bool assumeNormal) {
    std::vector<std::string> wouldRemove;
    return Remover(&wouldRemove).Entry(SystemPath(path), EntryKind::File, assumeNormal);
}

bool Win32FileSystem::CouldSetAttributesNormal(const std::string& path) {
    return static_cast<bool>(
        OpenExactly(SystemPath(path), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, EntryKind::Folder));
}

bool Win32FileSystem::SetAttributesNormal(const std::string& path) {
    const UniqueHfile entry =
        OpenExactly(SystemPath(path), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, EntryKind::Folder);
    FILE_BASIC_INFO basic = {};
    if (!entry || !::GetFileInformationByHandleEx(entry.get(), FileBasicInfo, &basic, sizeof basic))
        return false;
    // Times of zero are left as they are.
    basic.CreationTime.QuadPart = basic.LastAccessTime.QuadPart = 0;
    basic.LastWriteTime.QuadPart = basic.ChangeTime.QuadPart = 0;
    basic.FileAttributes =
        (basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    return ::SetFileInformationByHandle(entry.get(), FileBasicInfo, &basic, sizeof basic) != 0;
}

bool Win32FileSystem::DeleteFilesMatching(const std::string& pattern) {
    const auto slash = pattern.rfind('\\');
    if (slash == std::string::npos)
        return false;
    // The folder may be given in any spelling; the files are deleted where it really lies.
    const auto folder = FinalPath(pattern.substr(0, slash + 1));
    if (!folder)
        return false;
    const std::wstring base = ComparisonForm(SystemPath(*folder));
    WIN32_FIND_DATAW data = {};
    UniqueFindHandle find(::FindFirstFileExW((base + L"\\" + Wide(pattern.substr(slash + 1))).c_str(), FindExInfoBasic,
                                             &data, FindExSearchNameMatch, nullptr, 0));
    if (!find)
        return false;
    bool any = false;
    do {
        if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
            continue;
        any = true;
        if (!Remover().Entry(base + L"\\" + data.cFileName, EntryKind::File))
            return false;
    } while (::FindNextFileW(find.get(), &data));
    return any;
}

namespace {

// A folder that lies exactly at path and is not itself a link, ready for a removal from the top.
std::optional<std::wstring> FolderToRemove(const std::string& path) {
    std::wstring folder = ComparisonForm(SystemPath(path));
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    // A folder that is itself a link would lead into its target.
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !OpenExactly(folder, 0, EntryKind::Folder)) {
        return std::nullopt;
    }
    return folder;
}

}  // namespace

bool Win32FileSystem::RemoveFolder(const std::string& path, const std::function<void()>& betweenEntries) {
    const auto folder = FolderToRemove(path);
    return folder && Remover().Tree(*folder, betweenEntries);
}

bool Win32FileSystem::CouldRemoveFolder(const std::string& path, std::vector<std::string>& removed) {
    const auto folder = FolderToRemove(path);
    return folder && Remover(&removed).Tree(*folder, {});
}

std::unique_ptr<ByteSource> Win32FileSystem::OpenForReading(const std::string& path) {
    UniqueHfile file(::CreateFileW(SystemPath(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return nullptr;
    LARGE_INTEGER size = {};
    const bool regular = ::GetFileType(file.get()) == FILE_TYPE_DISK && ::GetFileSizeEx(file.get(), &size);
    return std::make_unique<FileByteSource>(std::move(file), regular,
                                            regular ? static_cast<std::uint64_t>(size.QuadPart) : 0);
}

}  // namespace nimbral::win32
