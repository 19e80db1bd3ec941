#pragma once

// The shell's folder lookups.

#include <cstdint>
#include <string>

namespace nimbral {

// An owner window as the shell takes it; 0 for none. Opaque to portable code.
using WindowHandle = std::uintptr_t;

namespace SpecialFolder {
inline constexpr int kRecent = 8;
inline constexpr int kCookies = 33;
}  // namespace SpecialFolder

class Shell {
  public:
    virtual ~Shell() = default;

    // The folder's path followed by one backslash, or the empty text when the shell does not know
    // the folder number or has no path for it.
    virtual std::string SpecialFolderPath(WindowHandle owner, int folderNumber) = 0;
    // The temporary folder path as the system gives it (normally with a trailing backslash), or the
    // empty text when the system gives none.
    virtual std::string TempFolderPath() = 0;
};

}  // namespace nimbral
