#pragma once

// A clean that changes nothing. These seams stand over the real ones: every question is answered as
// the real seam would answer it after the changes the run has made so far, and every change is only
// noted. The clean run's steps run unchanged over them, so the preview writes the log the clean
// would write, by construction; what a change would do is asked of the real seam (the checked
// deletions each have a "could" twin that opens and checks the same entries without acting).

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/HistoryLibrary.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/UrlCache.h"

namespace nimbral {

class PreviewFileSystem final : public FileSystem {
  public:
    explicit PreviewFileSystem(FileSystem& real) : real_(real) {}

    std::optional<std::vector<DirEntry>> FindEntries(const std::string& searchSpec) override;
    std::vector<std::string> DriveRoots() override { return real_.DriveRoots(); }
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

  private:
    // Where a path lies, as one spelling: the real final path, letter case folded.
    std::string Key(const std::string& path);
    // Whether the entry of that key went in the run: it or a folder holding it was removed, and it
    // was not made again since.
    bool GoneKey(const std::string& key) const;
    bool Gone(const std::string& path) { return GoneKey(Key(path)); }

    FileSystem& real_;
    std::set<std::string> gone_;
    std::set<std::string> made_;
    std::set<std::string> madeNormal_;
};

class PreviewRegistry final : public Registry {
  public:
    explicit PreviewRegistry(Registry& real) : real_(real) {}

    bool SetStringValue(Hive hive,
                        const std::string& keyPath,
                        const std::string& valueName,
                        const std::string& text) override;
    std::string ReadStringValue(Hive hive, const std::string& keyPath, const std::string& valueName) override;
    void DeleteRegistryValue(Hive hive, const std::string& keyPath, const std::string& valueName) override;
    std::string DeleteRegistryKey(Hive hive, const std::string& keyPath) override;
    std::optional<std::vector<std::string>> ValueNames(Hive hive, const std::string& keyPath) override;
    std::optional<std::vector<std::string>> SubkeyNames(Hive hive, const std::string& keyPath) override;

    void SaveKey(Hive hive, const std::string& keyPath) override;
    std::string GetString(Hive hive, const std::string& keyPath, const std::string& valueName) override;
    void SaveString(Hive hive,
                    const std::string& keyPath,
                    const std::string& valueName,
                    const std::string& text) override;
    void DeleteValue(Hive hive, const std::string& keyPath, const std::string& valueName) override;
    void DeleteKey(Hive hive, const std::string& keyPath) override;

  private:
    // What the run did to one key.
    struct KeyChanges {
        bool deleted = false;  // the real key is gone (and with it its values)
        bool made = false;     // the key is there (again)
        // By folded name: the text written, or nothing for a value deleted; in the order first
        // touched, as a new value joins the end of a key.
        std::map<std::string, std::optional<std::string>> values;
        std::vector<std::string> order;  // names as written, for values the real key does not have
    };
    using KeyId = std::pair<Hive, std::string>;
    static KeyId Id(Hive hive, const std::string& keyPath);
    KeyChanges* Changes(Hive hive, const std::string& keyPath);
    bool Exists(Hive hive, const std::string& keyPath);
    void Make(Hive hive, const std::string& keyPath);
    void Write(Hive hive, const std::string& keyPath, const std::string& valueName, const std::string& text);
    // The value as the run left it: no value when the run did not touch it.
    std::optional<std::string> Written(Hive hive, const std::string& keyPath, const std::string& valueName);

    Registry& real_;
    std::map<KeyId, KeyChanges> changes_;
};

class PreviewUrlCache final : public UrlCache {
  public:
    explicit PreviewUrlCache(UrlCache& real) : real_(real) {}

    bool Walk(const std::function<void(const std::string& sourceName, std::uint32_t entryType)>& visit) override;
    bool DeleteEntry(const std::string& sourceName) override;
    // What the history library does: every history entry goes.
    void ForgetHistory();

  private:
    UrlCache& real_;
    std::set<std::string> deleted_;
};

class PreviewHistory final : public HistoryLibrary {
  public:
    explicit PreviewHistory(PreviewUrlCache& cache) : cache_(cache) {}
    bool DeleteHistory() override {
        cache_.ForgetHistory();
        return true;
    }

  private:
    PreviewUrlCache& cache_;
};

class PreviewShell final : public Shell {
  public:
    PreviewShell(Shell& real, PreviewFileSystem& fileSystem) : real_(real), fileSystem_(fileSystem) {}

    std::string SpecialFolderPath(WindowHandle owner, int folderNumber) override {
        return real_.SpecialFolderPath(owner, folderNumber);
    }
    std::string TempFolderPath() override { return real_.TempFolderPath(); }
    // The list is its shortcuts in the Recent folder, as the real shell leaves it.
    void ClearRecentDocuments() override;
    void AddRecentDocument(const std::string&) override {}
    void EmptyRecycleBin(WindowHandle) override {}
    std::string WindowsFolder() override { return real_.WindowsFolder(); }
    std::vector<SystemFolderPath> OwnFolders() override { return real_.OwnFolders(); }
    void OpenLink(const std::string&) override {}
    void StartCommand(const std::string&) override {}

  private:
    Shell& real_;
    PreviewFileSystem& fileSystem_;
};

// The first line of a preview's log.
inline constexpr char kPreviewLine[] =
    "Preview: nothing was changed. These are the lines a clean would write now, with the temp folder "
    "question answered OK:";

}  // namespace nimbral
