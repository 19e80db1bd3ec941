#include "platform/win32/Win32Databases.h"

#include <windows.h>
#include <sqlite3.h>

#include <string>

#include "platform/win32/UniqueHandles.h"
#include "text/WideText.h"

namespace nimbral::win32 {

namespace {

constexpr char kThroughLink[] = "it is reached through a link";
constexpr char kInUse[] = "it is in use";

std::wstring Wide(const std::string& programText) {
    const std::u16string text = Utf16FromProgramText(programText);
    return std::wstring(text.begin(), text.end());
}

// One spelling of a full path for comparing: without "\\?\" (or with "\\" for "\\?\UNC\").
std::wstring Plain(std::wstring path) {
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        return L"\\\\" + path.substr(8);
    if (path.compare(0, 4, L"\\\\?\\") == 0)
        return path.substr(4);
    return path;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    const std::wstring left = Plain(a);
    const std::wstring right = Plain(b);
    return ::CompareStringOrdinal(left.data(), static_cast<int>(left.size()), right.data(),
                                  static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

// Where the object behind the handle finally lies; empty when the system cannot say.
std::wstring FinalPathOf(HANDLE handle) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                         FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(length + 1);
    }
}

// Why the entry at path, opened as itself (a link as a link where the system allows it), is not to
// be used: it does not lie where the path says, or another program keeps it to itself. Empty for an
// entry that lies there, and for one that is not there.
std::string RefusalOf(const std::wstring& path) {
    const UniqueHfile entry(
        ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!entry) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return {};
        return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? kInUse : kThroughLink;
    }
    BY_HANDLE_FILE_INFORMATION information = {};
    if (!::GetFileInformationByHandle(entry.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return kThroughLink;
    }
    const std::wstring finalPath = FinalPathOf(entry.get());
    return !finalPath.empty() && SamePath(finalPath, path) ? std::string() : kThroughLink;
}

}  // namespace

bool Win32Databases::HeldByAnother(const std::string& path) {
    const UniqueHfile file(
        ::CreateFileW(Wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file)
        return false;
    const DWORD error = ::GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

std::string Win32Databases::RefusalBeforeOpen(const std::string& path) {
    for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
        if (std::string refusal = RefusalOf(Wide(path + suffix)); !refusal.empty())
            return refusal;
    }
    return {};
}

std::string Win32Databases::RefusalOfOpened(const std::string& path, Connection& connection) {
    HANDLE handle = INVALID_HANDLE_VALUE;
    if (sqlite3_file_control(connection.Handle(), "main", SQLITE_FCNTL_WIN32_GET_HANDLE, &handle) != SQLITE_OK ||
        handle == INVALID_HANDLE_VALUE || !handle) {
        return kThroughLink;
    }
    const std::wstring finalPath = FinalPathOf(handle);
    return !finalPath.empty() && SamePath(finalPath, Wide(path)) ? std::string() : kThroughLink;
}

}  // namespace nimbral::win32
