#pragma once

#include <map>
#include <string>
#include <vector>

#include "doubles/FakeFileSystem.h"
#include "platform/Shell.h"
#include "system/xfileExists.h"

namespace nimbral::testing {

// A shell that answers from its members and records what it was asked to do. Given a file system,
// it keeps the recent-documents list as the system does, as shortcuts in the Recent folder.
class FakeShell final : public Shell {
  public:
    FakeShell() = default;
    explicit FakeShell(FakeFileSystem& fileSystem) : fileSystem_(&fileSystem) {}

    std::string SpecialFolderPath(WindowHandle, int folderNumber) override {
        const auto it = folders.find(folderNumber);
        return it == folders.end() ? std::string() : it->second;
    }
    std::string TempFolderPath() override { return tempPath; }
    void ClearRecentDocuments() override {
        recentDocuments.clear();
        calls.push_back("ClearRecentDocuments");
        if (const std::string recent = SpecialFolderPath(0, SpecialFolder::kRecent); fileSystem_ && !recent.empty())
            fileSystem_->DeleteFilesMatching(recent + "*.lnk");
    }
    void AddRecentDocument(const std::string& path) override {
        recentDocuments.push_back(path);
        calls.push_back("AddRecentDocument " + path);
        if (const std::string recent = SpecialFolderPath(0, SpecialFolder::kRecent); fileSystem_ && !recent.empty())
            fileSystem_->AddFile(recent + FileNamePart(path) + ".lnk");
    }
    void EmptyRecycleBin(WindowHandle owner) override {
        recycleBinEmptiedBy.push_back(owner);
        calls.push_back("EmptyRecycleBin");
    }
    std::string WindowsFolder() override { return windowsFolder; }
    std::vector<SystemFolderPath> OwnFolders() override { return ownFolders; }
    void OpenLink(const std::string& link) override { openedLinks.push_back(link); }
    void StartCommand(const std::string& commandLine) override { startedCommands.push_back(commandLine); }

    std::map<int, std::string> folders;
    std::string tempPath = "C:\\users\\me\\Temp\\";
    std::string windowsFolder = "C:\\windows";
    std::vector<SystemFolderPath> ownFolders = {
        {SystemFolder::kWindows, "C:\\windows"},
        {SystemFolder::kSystem, "C:\\windows\\system32"},
        {SystemFolder::kProgramFiles, "C:\\Program Files"},
        {SystemFolder::kProgram, "C:\\Program Files\\Nimbral"},
        {SystemFolder::kProfile, "C:\\users\\me"},
        {SystemFolder::kAppData, "C:\\users\\me\\AppData"},
        {SystemFolder::kAppData, "C:\\users\\me\\AppData\\Local"},
        {SystemFolder::kAppData, "C:\\users\\me\\AppData\\Roaming"},
        {SystemFolder::kDocuments, "C:\\users\\me\\Documents"},
        {SystemFolder::kDesktop, "C:\\users\\me\\Desktop"},
    };
    std::vector<std::string> recentDocuments;
    std::vector<WindowHandle> recycleBinEmptiedBy;
    std::vector<std::string> calls;
    std::vector<std::string> openedLinks;
    std::vector<std::string> startedCommands;

  private:
    FakeFileSystem* fileSystem_ = nullptr;
};

}  // namespace nimbral::testing
