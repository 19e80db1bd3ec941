#include "system/Listers.h"

#include <algorithm>

#include "text/AnsiText.h"

namespace nimbral {

namespace {

// "C:\" keeps its backslash: without it the text would name the drive's current folder instead.
std::string WithoutTrailingBackslash(std::string path) {
    while (path.size() > 1 && path.back() == '\\') {
        if (path.size() == 3 && path[1] == ':')
            break;
        path.pop_back();
    }
    return path;
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}

bool Lister::SetPath(const std::string& path, const std::function<void()>& betweenEntries) {
    const std::string folder = WithoutTrailingBackslash(path);
    if (folder.empty() || !fileSystem_.FolderExists(folder))
        return false;
    std::vector<std::string> entries;
    if (!ListFolder(folder, entries, betweenEntries))
        return false;
    std::sort(entries.begin(), entries.end(),
              [](const std::string& a, const std::string& b) { return LessIgnoreCase(a, b); });
    path_ = folder;
    entries_ = std::move(entries);
    OnPathChanged(betweenEntries);
    return true;
}

bool FolderLister::ListFolder(const std::string& folder,
                              std::vector<std::string>& entries,
                              const std::function<void()>& betweenEntries) {
    const auto found = fileSystem_.ListEntries(JoinPath(folder, "*"), betweenEntries);
    if (!found)
        return false;
    for (const DirEntry& entry : *found) {
        if (!(entry.attributes & FileAttribute::kDirectory) || entry.name == "." || entry.name == "..")
            continue;
        entries.push_back(JoinPath(folder, entry.name));
    }
    return true;
}

void FolderLister::OnPathChanged(const std::function<void()>& betweenEntries) {
    if (pathChanged_)
        pathChanged_(path_, betweenEntries);
}

bool FileLister::ListFolder(const std::string& folder,
                            std::vector<std::string>& entries,
                            const std::function<void()>& betweenEntries) {
    const auto found = fileSystem_.ListEntries(JoinPath(folder, pattern_), betweenEntries);
    if (!found)
        return false;
    constexpr std::uint32_t kLeftOut = FileAttribute::kDirectory | FileAttribute::kHidden | FileAttribute::kSystem;
    for (const DirEntry& entry : *found) {
        if (!(entry.attributes & kLeftOut))
            entries.push_back(entry.name);
    }
    return true;
}

bool FileLister::Refresh() {
    return !path_.empty() && SetPath(path_);
}

std::string FileLister::FileName() const {
    if (listIndex_ < 0 || static_cast<std::size_t>(listIndex_) >= entries_.size())
        return {};
    return entries_[static_cast<std::size_t>(listIndex_)];
}

MainWindowListers::MainWindowListers(FileSystem& fileSystem)
    : DirEngine(fileSystem), FileEngine(fileSystem), File1(fileSystem, "*.ww1") {
    DirEngine.SetPathChanged([this](const std::string& path, const std::function<void()>& betweenEntries) {
        FileEngine.SetPath(path, betweenEntries);
    });
}

}  // namespace nimbral
