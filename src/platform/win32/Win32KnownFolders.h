#pragma once

#include "platform/KnownFolders.h"

namespace nimbral::win32 {

// The shell's known folders, the temporary path and the account name, each asked of the system in
// its Unicode form.
class Win32KnownFolders final : public KnownFolders {
  public:
    std::string FolderPath(KnownFolder folder) override;
    std::string AccountName() override;
};

}  // namespace nimbral::win32
