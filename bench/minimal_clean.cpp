// The baselines of the end-to-end benchmark: the same deletions a clean run makes on a seeded
// prefix (cache content and cookie entries, cookie files, the temp folder's contents), with nothing
// else: no settings, no keep tests, no log. Plain, they are DeleteFileA and RemoveDirectoryA; with
// --checked, each file and folder goes through the checked deletion the program makes.
//
//   minimal_clean.exe [--checked]

#include <windows.h>
#include <shlobj.h>
#include <wininet.h>

#include <cstdio>
#include <string>
#include <vector>

#include "CheckedDelete.h"

namespace {

void DeleteCacheEntries() {
    std::vector<std::string> names;
    DWORD size = 0;
    FindFirstUrlCacheEntryA(nullptr, nullptr, &size);
    std::vector<char> buffer(size ? size : 4096);
    size = static_cast<DWORD>(buffer.size());
    HANDLE find = FindFirstUrlCacheEntryA(nullptr, reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data()), &size);
    if (!find)
        return;
    for (;;) {
        const auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
        if (!(entry->CacheEntryType & URLHISTORY_CACHE_ENTRY))
            names.emplace_back(entry->lpszSourceUrlName);
        size = static_cast<DWORD>(buffer.size());
        if (FindNextUrlCacheEntryA(find, reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data()), &size))
            continue;
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            break;
        buffer.resize(size);
        size = static_cast<DWORD>(buffer.size());
        if (!FindNextUrlCacheEntryA(find, reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data()), &size))
            break;
    }
    FindCloseUrlCache(find);
    for (const std::string& name : names)
        DeleteUrlCacheEntryA(name.c_str());
}

bool checked = false;

void DeleteTreeChecked(const std::wstring& folder, bool removeFolder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTreeChecked(path, true);
            else
                CheckedDelete(path, false);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    if (removeFolder)
        CheckedDelete(folder, true);
}

void DeleteTree(const std::string& folder, bool removeFolder) {
    if (checked) {
        DeleteTreeChecked(std::wstring(folder.begin(), folder.end()), removeFolder);
        return;
    }
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(path, true);
            } else {
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    if (removeFolder)
        RemoveDirectoryA(folder.c_str());
}

void DeleteCookieFiles() {
    char folder[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, folder, CSIDL_COOKIES, FALSE))
        return;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((std::string(folder) + "\\*.txt").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string path = std::string(folder) + "\\" + data.cFileName;
        if (checked)
            CheckedDelete(std::wstring(path.begin(), path.end()), false);
        else
            DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

}  // namespace

int main(int argc, char** argv) {
    checked = argc > 1 && std::string(argv[1]) == "--checked";
    DeleteCookieFiles();
    DeleteCacheEntries();
    char temp[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length > 1)
        temp[length - 1] = '\0';
    DeleteTree(temp, false);
    std::puts("done");
    return 0;
}
