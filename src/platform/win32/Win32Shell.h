#pragma once

#include "platform/Shell.h"
#include "platform/win32/Win32FileSystem.h"

namespace nimbral::win32 {

class Win32Shell final : public Shell {
  public:
    std::string SpecialFolderPath(WindowHandle owner, int folderNumber) override;
    std::string TempFolderPath() override;
    void ClearRecentDocuments() override;
    void AddRecentDocument(const std::string& path) override;
    void EmptyRecycleBin(WindowHandle owner) override;
    std::string WindowsFolder() override;
    std::vector<SystemFolderPath> OwnFolders() override;
    void OpenLink(const std::string& link) override;
    void StartCommand(const std::string& commandLine) override;

  private:
    // The shortcuts the shell leaves behind go through the one checked deletion.
    Win32FileSystem fileSystem_;
};

}  // namespace nimbral::win32
