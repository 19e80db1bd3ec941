#pragma once

// Folder and file listers: enumerators that are pointed at a folder and read back by index, sorted
// alphabetically without regard to letter case.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace nimbral {

class Lister {
  public:
    // Makes the folder current and lists it afresh, calling betweenEntries as the listing goes. False
    // when the folder does not exist or cannot be listed; the previous folder and entries then stay.
    bool SetPath(const std::string& path, const std::function<void()>& betweenEntries = {});
    // The current folder, without a trailing backslash unless it is a drive's root.
    const std::string& Path() const { return path_; }
    std::size_t Count() const { return entries_.size(); }
    const std::string& Entry(std::size_t index) const { return entries_.at(index); }

  protected:
    explicit Lister(FileSystem& fileSystem) : fileSystem_(fileSystem) {}
    ~Lister() = default;

    // The entries the folder holds, unsorted; false when it cannot be listed.
    virtual bool ListFolder(const std::string& folder,
                            std::vector<std::string>& entries,
                            const std::function<void()>& betweenEntries) = 0;
    virtual void OnPathChanged(const std::function<void()>& betweenEntries) {}

    FileSystem& fileSystem_;
    std::string path_;
    std::vector<std::string> entries_;
};

// Lists the immediate subfolders of its folder as full paths.
class FolderLister : public Lister {
  public:
    explicit FolderLister(FileSystem& fileSystem) : Lister(fileSystem) {}

    // Called with the new path after each successful SetPath.
    void SetPathChanged(std::function<void(const std::string&, const std::function<void()>&)> handler) {
        pathChanged_ = std::move(handler);
    }

  private:
    bool ListFolder(const std::string& folder,
                    std::vector<std::string>& entries,
                    const std::function<void()>& betweenEntries) override;
    void OnPathChanged(const std::function<void()>& betweenEntries) override;

    std::function<void(const std::string&, const std::function<void()>&)> pathChanged_;
};

// Lists the names of the ordinary files (normal, archived, read-only) directly in its folder that
// match its pattern; hidden and system files are left out.
class FileLister : public Lister {
  public:
    explicit FileLister(FileSystem& fileSystem, std::string pattern = "*.*")
        : Lister(fileSystem), pattern_(std::move(pattern)) {}

    const std::string& Pattern() const { return pattern_; }
    // Lists the current folder again.
    bool Refresh();

    void SetListIndex(std::ptrdiff_t index) { listIndex_ = index; }
    std::ptrdiff_t ListIndex() const { return listIndex_; }
    // The name at the current index; empty when the index is none or outside the list.
    std::string FileName() const;

  private:
    bool ListFolder(const std::string& folder,
                    std::vector<std::string>& entries,
                    const std::function<void()>& betweenEntries) override;

    std::string pattern_;
    std::ptrdiff_t listIndex_ = -1;
};

// A folder and a file name joined with one backslash, whether or not the folder ends in one.
std::string JoinPath(const std::string& folder, const std::string& name);

// The hidden listers of the main window. Pointing DirEngine at a folder points FileEngine there too.
struct MainWindowListers {
    explicit MainWindowListers(FileSystem& fileSystem);
    MainWindowListers(const MainWindowListers&) = delete;
    MainWindowListers& operator=(const MainWindowListers&) = delete;

    FolderLister DirEngine;
    FileLister FileEngine;
    FileLister File1;  // plugin files
};

}  // namespace nimbral
