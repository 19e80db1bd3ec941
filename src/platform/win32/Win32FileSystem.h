#pragma once

#include "platform/FileSystem.h"

namespace nimbral::win32 {

class Win32FileSystem final : public FileSystem {
  public:
    std::optional<std::vector<DirEntry>> FindEntries(const std::string& searchSpec) override;
    bool DirExists(const std::string& path) override;
};

}  // namespace nimbral::win32
