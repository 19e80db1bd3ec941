#pragma once

// The folders the system keeps for the user and for programs, and the user's account name, as the
// system itself answers them: never read from the environment, which anyone can set to anything.
// Texts are program texts (the code page's letters, and "<U+hex>" for those it lacks), so a folder
// named with such letters is still reached, not a look-alike.

#include <string>

namespace nimbral {

enum class KnownFolder {
    kLocalAppData,
    kRoamingAppData,
    kLocalLowAppData,
    kProfile,
    kProgramFiles,     // the system's own Program Files tree
    kProgramFilesX86,  // the tree of 32-bit programs, where there is one
    kCommonProgramFiles,
    kCommonProgramFilesX86,
    kProgramData,
    kPublic,
    kWindows,
    kDocuments,
    kPictures,
    kMusic,
    kVideos,
    kDesktop,
    kDownloads,
    kTemp,  // the temporary folder as the system gives it to this program
};

class KnownFolders {
  public:
    virtual ~KnownFolders() = default;
    // The folder's full path without a trailing backslash (a drive's root keeps its own); empty when
    // the system has no such folder.
    virtual std::string FolderPath(KnownFolder folder) = 0;
    // The name of the account this program runs under; empty when the system does not say.
    virtual std::string AccountName() = 0;
};

}  // namespace nimbral
