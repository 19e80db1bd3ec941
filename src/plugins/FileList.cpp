// The ".ww1" lists: files and folders to delete, one per line.

#include <memory>

#include "plugins/LineReader.h"
#include "plugins/runPlugin.h"
#include "system/Folders.h"
#include "system/ProtectedFolders.h"
#include "system/xfileExists.h"
#include "text/AnsiText.h"

namespace nimbral {

namespace {

constexpr char kNoEntries[] = "No entries.";
constexpr char kAllFiles[] = "*.*";
constexpr char kWithSubfolders[] = ">plus subdirectories<";

// Options are written in angle brackets; anything else after a blank belongs to the file's name.
bool IsOption(std::string_view text) {
    return text.size() >= 2 && text.front() == '>' && text.back() == '<';
}

void DeleteWholeFolder(PluginServices& services, ResultsSurface& results, const std::string& folder) {
    if (RefusedAsProtected(services.shell, services.mainWindow, results, folder))
        return;
    DeleteDirectory(services.fileSystem, results, folder);
}

// Failures to delete are not reported: a file in use or read-only simply stays.
void DeleteOneFile(FileSystem& fileSystem,
                   ResultsSurface& results,
                   const std::string& folder,
                   const std::string& name) {
    const std::string target = JoinPath(folder, name);
    if (!FileFound(fileSystem, target)) {
        results.AppendLine("Does not exist: " + name);
    } else if (fileSystem.RemoveFile(target)) {
        results.AppendLine("Deleted File: " + name);
    }
}

void DeleteFilesIn(PluginServices& services, ResultsSurface& results, const std::string& folder) {
    FileSystem& fileSystem = services.fileSystem;
    // A search inside the folder finds "." in any folder that is there, a root's included.
    if (!DirExists(fileSystem, JoinPath(folder, "*")))
        return;
    FileLister& files = services.FileEngine;
    if (!files.SetPath(folder))
        return;
    for (std::size_t i = 0; i < files.Count(); ++i) {
        const std::string target = JoinPath(folder, files.Entry(i));
        if (!FileFound(fileSystem, target)) {
            results.AppendLine(std::string("Does not exist: ") + kAllFiles);
        } else if (fileSystem.RemoveFile(target)) {
            results.AppendLine("Deleted File: " + target);
        }
        results.ProcessPendingMessages();
    }
}

void ProcessLine(PluginServices& services, ResultsSurface& results, const std::string& line) {
    const FileListLine parsed = ParseFileListLine(line);
    if (parsed.kind == FileListLine::Kind::Ignored) {
        // The system would stop reading the path at the NUL and act on what comes before it.
        if (line.find('\0') != std::string::npos && line.find('\\') != std::string::npos)
            results.AppendLine("Skipped a line holding a NUL character");
        return;
    }
    // Checked and acted on as the system reads it, so ".." cannot lead a line past a refusal.
    const auto folder = ResolveFullPath(parsed.folder);
    if (!folder) {
        results.AppendLine("Skipped a line without a full path: " + line);
        return;
    }
    switch (parsed.kind) {
        case FileListLine::Kind::WholeFolder:
            DeleteWholeFolder(services, results, *folder);
            break;
        case FileListLine::Kind::OneFile:
            DeleteOneFile(services.fileSystem, results, *folder, parsed.name);
            break;
        case FileListLine::Kind::FilesInFolder:
            DeleteFilesIn(services, results, *folder);
            break;
        case FileListLine::Kind::Ignored:
            break;
    }
}

}  // namespace

FileListLine ParseFileListLine(std::string_view line) {
    FileListLine parsed;
    if (line.empty() || line == kNoEntries || line.find('\0') != std::string_view::npos)
        return parsed;
    const auto slash = line.rfind('\\');
    if (slash == std::string_view::npos)
        return parsed;
    parsed.folder = std::string(line.substr(0, slash + 1));
    const std::string_view tail = line.substr(slash + 1);
    const auto blank = tail.find(' ');
    const std::string_view beforeBlank = tail.substr(0, blank);
    if (blank != std::string_view::npos && (beforeBlank == kAllFiles || IsOption(tail.substr(blank + 1)))) {
        parsed.name = std::string(beforeBlank);
        parsed.option = ReplaceAllIgnoreCase(tail, parsed.name + " ", "");
    } else {
        // "a b.txt" names the file "a b.txt": cutting at the blank would delete another file, "a".
        parsed.name = std::string(tail);
        parsed.option = parsed.name;
    }
    // "C:\Temp\" or "C:\Temp\ >x<" names a folder and no file in it: nothing to act on.
    if (parsed.name.empty())
        return parsed;
    if (parsed.name != kAllFiles)
        parsed.kind = FileListLine::Kind::OneFile;
    else if (parsed.option == kWithSubfolders)
        parsed.kind = FileListLine::Kind::WholeFolder;
    else
        parsed.kind = FileListLine::Kind::FilesInFolder;
    return parsed;
}

void ProcessFileList(PluginServices& services, ResultsSurface& results, const std::string& listPath) {
    ForEachListLine(services.fileSystem, results, listPath,
                    [&](const std::string& line) { ProcessLine(services, results, line); });
}

}  // namespace nimbral
