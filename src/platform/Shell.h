#pragma once

// The shell's folder lookups.

#include <cstdint>
#include <string>
#include <vector>

namespace nimbral {

// An owner window as the shell takes it; 0 for none. Opaque to portable code.
using WindowHandle = std::uintptr_t;

namespace SpecialFolder {
inline constexpr int kDocuments = 5;
inline constexpr int kRecent = 8;
inline constexpr int kCookies = 33;
inline constexpr int kProfile = 0x28;
}  // namespace SpecialFolder

// The system's own folders and this program's, as the protection rule knows them.
enum class SystemFolder {
    kWindows,
    kSystem,        // a system folder of the Windows folder: nothing below it may go
    kProgramFiles,  // where programs are installed
    kProgram,       // this program's own folder: nothing in it may go
    kProfile,
    kAppData,  // the profile's AppData folder and its parts (Roaming, Local, LocalLow)
    kDocuments,
    kDesktop,
};
struct SystemFolderPath {
    SystemFolder kind;
    std::string path;
};

class Shell {
  public:
    virtual ~Shell() = default;

    // The folder's path followed by one backslash, or the empty text when the shell does not know
    // the folder number or has no path for it.
    virtual std::string SpecialFolderPath(WindowHandle owner, int folderNumber) = 0;
    // The temporary folder path as the system gives it (normally with a trailing backslash), or the
    // empty text when the system gives none.
    virtual std::string TempFolderPath() = 0;

    // Empties the shell's recent-documents list (SHAddToRecentDocs with no path). Where the system
    // leaves the list's shortcuts in place all the same, the adapter removes them, so the list is
    // empty afterwards on every platform.
    virtual void ClearRecentDocuments() = 0;
    // Adds a document to that list (SHAddToRecentDocs with an ANSI path); reports nothing.
    virtual void AddRecentDocument(const std::string& path) = 0;
    // Empties the recycle bin of every drive without confirmation, progress or sound.
    virtual void EmptyRecycleBin(WindowHandle owner) = 0;
    // The value of the environment variable "windir"; empty when it is not set.
    virtual std::string WindowsFolder() = 0;
    // Every path under which the system names one of its own folders, or this program's, as the
    // system answers it and never from the environment or a setting that a user or a plugin could
    // change. A folder may come under several paths; each counts.
    virtual std::vector<SystemFolderPath> OwnFolders() = 0;
    // Opens a link with the system's default handler (a web address in the browser) in a normal
    // window; reports nothing.
    virtual void OpenLink(const std::string& link) = 0;
    // Starts a command line in a normal window without waiting for it; reports nothing.
    virtual void StartCommand(const std::string& commandLine) = 0;
};

}  // namespace nimbral
