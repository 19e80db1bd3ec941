#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/Shell.h"

namespace nimbral::testing {

// A shell that answers from its members and records what it was asked to do.
class FakeShell final : public Shell {
  public:
    std::string SpecialFolderPath(WindowHandle, int folderNumber) override {
        const auto it = folders.find(folderNumber);
        return it == folders.end() ? std::string() : it->second;
    }
    std::string TempFolderPath() override { return tempPath; }
    void ClearRecentDocuments() override {
        recentDocuments.clear();
        calls.push_back("ClearRecentDocuments");
    }
    void AddRecentDocument(const std::string& path) override {
        recentDocuments.push_back(path);
        calls.push_back("AddRecentDocument " + path);
    }
    void EmptyRecycleBin(WindowHandle owner) override {
        recycleBinEmptiedBy.push_back(owner);
        calls.push_back("EmptyRecycleBin");
    }
    std::string WindowsFolder() override { return windowsFolder; }
    void OpenLink(const std::string& link) override { openedLinks.push_back(link); }

    std::map<int, std::string> folders;
    std::string tempPath = "C:\\users\\me\\Temp\\";
    std::string windowsFolder = "C:\\windows";
    std::vector<std::string> recentDocuments;
    std::vector<WindowHandle> recycleBinEmptiedBy;
    std::vector<std::string> calls;
    std::vector<std::string> openedLinks;
};

}  // namespace nimbral::testing
