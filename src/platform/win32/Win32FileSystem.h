#pragma once

#include "platform/FileSystem.h"

namespace nimbral::win32 {

class Win32FileSystem final : public FileSystem {
  public:
    std::optional<std::vector<DirEntry>> FindEntries(const std::string& searchSpec) override;
    std::optional<std::vector<DirEntry>> ListEntries(const std::string& searchSpec,
                                                     const std::function<void()>& betweenEntries) override;
    std::vector<std::string> DriveRoots() override;
    bool FolderExists(const std::string& path) override;
    std::optional<std::string> FinalPath(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    bool SetAttributesNormal(const std::string& path) override;
    bool DeleteFilesMatching(const std::string& pattern) override;
    bool RemoveFolder(const std::string& path, const std::function<void()>& betweenEntries) override;
    bool CouldRemoveFile(const std::string& path, bool assumeNormal) override;
    bool CouldSetAttributesNormal(const std::string& path) override;
    bool CouldRemoveFolder(const std::string& path, std::vector<std::string>& removed) override;
    std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override;
};

}  // namespace nimbral::win32
