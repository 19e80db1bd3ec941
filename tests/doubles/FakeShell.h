#pragma once

#include <map>
#include <string>

#include "platform/Shell.h"

namespace nimbral::testing {

class FakeShell final : public Shell {
  public:
    std::string SpecialFolderPath(WindowHandle, int folderNumber) override {
        const auto it = folders.find(folderNumber);
        return it == folders.end() ? std::string() : it->second;
    }
    std::string TempFolderPath() override { return tempPath; }

    std::map<int, std::string> folders;
    std::string tempPath = "C:\\users\\me\\Temp\\";
};

}  // namespace nimbral::testing
