#pragma once

#include "platform/Shell.h"

namespace nimbral::win32 {

class Win32Shell final : public Shell {
  public:
    std::string SpecialFolderPath(WindowHandle owner, int folderNumber) override;
    std::string TempFolderPath() override;
    void ClearRecentDocuments() override;
    void AddRecentDocument(const std::string& path) override;
    void EmptyRecycleBin(WindowHandle owner) override;
    std::string WindowsFolder() override;
    void OpenLink(const std::string& link) override;
};

}  // namespace nimbral::win32
