#pragma once

// The deletion the program makes, with nothing around it: the entry opened as itself (never what a
// link leads to), the opened object's name asked of the kernel and compared with the path named,
// then deleted through that same handle. The second baseline of the Wine benchmarks: what a clean
// costs beyond it is the program's own.

#include <windows.h>
#include <winternl.h>

#include <string>
#include <vector>

inline bool CheckedDelete(const std::wstring& path, bool folder) {
    const std::wstring full = L"\\\\?\\" + path;
    HANDLE entry =
        ::CreateFileW(full.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | (folder ? FILE_FLAG_BACKUP_SEMANTICS : 0), nullptr);
    if (entry == INVALID_HANDLE_VALUE)
        return false;
    static std::vector<ULONG> buffer(16 * 1024 + 8);
    ULONG needed = 0;
    bool same = false;
    if (NT_SUCCESS(::NtQueryObject(entry, ObjectNameInformation, buffer.data(),
                                   static_cast<ULONG>(buffer.size() * sizeof(ULONG)), &needed))) {
        const auto* name = reinterpret_cast<const UNICODE_STRING*>(buffer.data());
        const std::wstring kernel(name->Buffer, name->Length / sizeof(wchar_t));
        same = kernel.size() == path.size() + 4 &&
               ::CompareStringOrdinal(kernel.c_str() + 4, static_cast<int>(path.size()), path.c_str(),
                                      static_cast<int>(path.size()), TRUE) == CSTR_EQUAL;
    }
    FILE_DISPOSITION_INFO disposition = {TRUE};
    const bool deleted =
        same && ::SetFileInformationByHandle(entry, FileDispositionInfo, &disposition, sizeof disposition);
    ::CloseHandle(entry);
    return deleted;
}
