#pragma once

// The one crossing between the program's texts and the system's UTF-16 ones (see text/WideText.h):
// every name that reaches a deletion goes through here, never through the ANSI code page, whose best
// fit would hand back a look-alike that names another file.

#include <windows.h>

#include <string>
#include <string_view>

#include "text/WideText.h"

namespace nimbral::win32 {

inline std::wstring Wide(std::string_view text) {
    const std::u16string wide = Utf16FromProgramText(text);
    return std::wstring(wide.begin(), wide.end());
}

inline std::string Narrow(std::wstring_view wide) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    return ProgramTextFromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

// The full path of a module's file (the program's own with none), however long; empty when the
// system cannot say.
inline std::string ModulePath(HMODULE module = nullptr) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size())
            return Narrow(std::wstring_view(path.data(), length));
        if (path.size() >= 32768)
            return {};
        path.resize(path.size() * 2);
    }
}

}  // namespace nimbral::win32
