#include "windows/RunningProgram.h"

#include <windows.h>

#include <string>

#include "platform/win32/SystemText.h"
#include "platform/win32/UniqueHandles.h"

namespace nimbral {

namespace {

std::wstring FileNameOf(const std::wstring& path) {
    return path.substr(path.find_last_of(L"\\/") + 1);
}

std::wstring ImageOf(DWORD process) {
    const win32::UniqueHandle handle(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
    if (!handle)
        return {};
    std::wstring path(32768, L'\0');
    DWORD length = static_cast<DWORD>(path.size());
    if (!::QueryFullProcessImageNameW(handle.get(), 0, path.data(), &length))
        return {};
    path.resize(length);
    return path;
}

}  // namespace

bool BringOtherCopyToFront() {
    struct Search {
        std::wstring ownName = FileNameOf(win32::Wide(win32::ModulePath()));
        DWORD ownProcess = ::GetCurrentProcessId();
        HWND found = nullptr;
    } search;
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            if (process == s.ownProcess || !::IsWindowVisible(window) || ::GetWindow(window, GW_OWNER))
                return TRUE;
            const std::wstring name = FileNameOf(ImageOf(process));
            if (name.empty() || ::CompareStringOrdinal(name.c_str(), -1, s.ownName.c_str(), -1, TRUE) != CSTR_EQUAL)
                return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return false;
    if (::IsIconic(search.found))
        ::ShowWindow(search.found, SW_RESTORE);
    ::SetForegroundWindow(::GetLastActivePopup(search.found));
    return true;
}

}  // namespace nimbral
