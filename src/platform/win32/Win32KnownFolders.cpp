#include "platform/win32/Win32KnownFolders.h"

#include <windows.h>
#include <knownfolders.h>
#include <lmcons.h>
#include <shlobj.h>

#include <string>

#include "platform/win32/UniqueHandles.h"
#include "text/WideText.h"

namespace nimbral::win32 {

namespace {

std::string FromWide(const wchar_t* text, std::size_t length) {
    return ProgramTextFromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

const KNOWNFOLDERID* FolderId(KnownFolder folder) {
    switch (folder) {
        case KnownFolder::kLocalAppData:
            return &FOLDERID_LocalAppData;
        case KnownFolder::kRoamingAppData:
            return &FOLDERID_RoamingAppData;
        case KnownFolder::kLocalLowAppData:
            return &FOLDERID_LocalAppDataLow;
        case KnownFolder::kProfile:
            return &FOLDERID_Profile;
        case KnownFolder::kProgramFiles:
            return &FOLDERID_ProgramFiles;
        case KnownFolder::kProgramFilesX86:
            return &FOLDERID_ProgramFilesX86;
        case KnownFolder::kCommonProgramFiles:
            return &FOLDERID_ProgramFilesCommon;
        case KnownFolder::kCommonProgramFilesX86:
            return &FOLDERID_ProgramFilesCommonX86;
        case KnownFolder::kProgramData:
            return &FOLDERID_ProgramData;
        case KnownFolder::kPublic:
            return &FOLDERID_Public;
        case KnownFolder::kWindows:
            return &FOLDERID_Windows;
        case KnownFolder::kDocuments:
            return &FOLDERID_Documents;
        case KnownFolder::kPictures:
            return &FOLDERID_Pictures;
        case KnownFolder::kMusic:
            return &FOLDERID_Music;
        case KnownFolder::kVideos:
            return &FOLDERID_Videos;
        case KnownFolder::kDesktop:
            return &FOLDERID_Desktop;
        case KnownFolder::kDownloads:
            return &FOLDERID_Downloads;
        case KnownFolder::kTemp:
            return nullptr;
    }
    return nullptr;
}

std::string WithoutTrailingBackslash(std::string path) {
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

}  // namespace

std::string Win32KnownFolders::FolderPath(KnownFolder folder) {
    if (folder == KnownFolder::kTemp) {
        wchar_t buffer[MAX_PATH + 1] = {};
        const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
        if (length == 0 || length > MAX_PATH)
            return {};
        return WithoutTrailingBackslash(FromWide(buffer, length));
    }
    const KNOWNFOLDERID* id = FolderId(folder);
    UniqueCoTaskText path;
    // A folder the user has not made yet (a Downloads never used) is still its own name.
    if (!id || FAILED(::SHGetKnownFolderPath(*id, KF_FLAG_DONT_VERIFY, nullptr, path.put())) || !path)
        return {};
    return WithoutTrailingBackslash(FromWide(path.get(), std::wcslen(path.get())));
}

std::string Win32KnownFolders::AccountName() {
    wchar_t buffer[UNLEN + 1] = {};
    DWORD size = UNLEN + 1;
    if (!::GetUserNameW(buffer, &size) || size == 0)
        return {};
    return FromWide(buffer, size - 1);
}

}  // namespace nimbral::win32
