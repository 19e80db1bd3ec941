#pragma once

// Known folders answered from a table, as a Windows 7 machine of 64 bits names them for the user "me".

#include <map>
#include <string>

#include "platform/KnownFolders.h"

namespace nimbral::testing {

class FakeKnownFolders final : public KnownFolders {
  public:
    std::string FolderPath(KnownFolder folder) override {
        ++asked;
        const auto found = folders.find(folder);
        return found == folders.end() ? std::string() : found->second;
    }
    std::string AccountName() override { return accountName; }

    std::map<KnownFolder, std::string> folders = {
        {KnownFolder::kLocalAppData, "C:\\users\\me\\AppData\\Local"},
        {KnownFolder::kRoamingAppData, "C:\\users\\me\\AppData\\Roaming"},
        {KnownFolder::kLocalLowAppData, "C:\\users\\me\\AppData\\LocalLow"},
        {KnownFolder::kProfile, "C:\\users\\me"},
        {KnownFolder::kProgramFiles, "C:\\Program Files"},
        {KnownFolder::kProgramFilesX86, "C:\\Program Files (x86)"},
        {KnownFolder::kCommonProgramFiles, "C:\\Program Files\\Common Files"},
        {KnownFolder::kCommonProgramFilesX86, "C:\\Program Files (x86)\\Common Files"},
        {KnownFolder::kProgramData, "C:\\ProgramData"},
        {KnownFolder::kPublic, "C:\\users\\Public"},
        {KnownFolder::kWindows, "C:\\windows"},
        {KnownFolder::kDocuments, "C:\\users\\me\\Documents"},
        {KnownFolder::kPictures, "C:\\users\\me\\Pictures"},
        {KnownFolder::kMusic, "C:\\users\\me\\Music"},
        {KnownFolder::kVideos, "C:\\users\\me\\Videos"},
        {KnownFolder::kDesktop, "C:\\users\\me\\Desktop"},
        {KnownFolder::kDownloads, "C:\\users\\me\\Downloads"},
        {KnownFolder::kTemp, "C:\\users\\me\\AppData\\Local\\Temp\\"},
    };
    std::string accountName = "me";
    int asked = 0;
};

}  // namespace nimbral::testing
