// The ".ww1" lists: files and folders to delete, one per line.

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

// What a line acts on, and how its log lines name it: the folder is checked and acted on as the
// system reads it ("..", "/" and doubled separators resolved), and written as the line spells it.
struct LineTarget {
    std::string resolved;  // the folder as the system reads it
    std::string spelt;     // the folder part of the line, with its trailing backslash
};

// A file that cannot be deleted is not reported: a file in use, a read-only one, or one that is a
// link to somewhere else (its target is never touched) simply stays.
void DeleteOneFile(FileSystem& fileSystem,
                   ResultsSurface& results,
                   const ProtectedPlaces& places,
                   const LineTarget& folder,
                   const std::string& name) {
    const auto finalFolder = fileSystem.FinalPath(folder.resolved);
    const std::string target = JoinPath(finalFolder.value_or(folder.resolved), name);
    if (name.empty() || !finalFolder || !FileFound(fileSystem, target)) {
        results.AppendLine("Does not exist: " + PrintableText(name));
        return;
    }
    if (const std::string reason = places.RefusalReason(target, Removal::kFile); !reason.empty()) {
        results.AppendLine(RefusalLine(PrintableText(folder.spelt + name), reason));
        return;
    }
    if (fileSystem.RemoveFile(target))
        results.AppendLine("Deleted File: " + PrintableText(name));
}

void DeleteFilesIn(PluginServices& services,
                   ResultsSurface& results,
                   const ProtectedPlaces& places,
                   const LineTarget& folder) {
    FileSystem& fileSystem = services.fileSystem;
    // A search inside the folder finds "." in any folder that is there, a root's included.
    if (!DirExists(fileSystem, JoinPath(folder.resolved, "*")))
        return;
    // Judged, listed and emptied where the folder finally lies, so that what was judged is what
    // is emptied.
    const auto finalFolder = fileSystem.FinalPath(folder.resolved);
    if (!finalFolder)
        return;
    if (const std::string reason = places.RefusalReason(*finalFolder, Removal::kFolder); !reason.empty()) {
        results.AppendLine(RefusalLine(PrintableText(WithoutOneTrailingSeparator(folder.spelt)), reason));
        return;
    }
    FileLister& files = services.FileEngine;
    if (!files.SetPath(*finalFolder))
        return;
    for (std::size_t i = 0; i < files.Count(); ++i) {
        const std::string target = JoinPath(*finalFolder, files.Entry(i));
        if (!FileFound(fileSystem, target)) {
            results.AppendLine(std::string("Does not exist: ") + kAllFiles);
        } else if (fileSystem.RemoveFile(target)) {
            results.AppendLine("Deleted File: " + PrintableText(folder.spelt + files.Entry(i)));
        }
        results.ProcessPendingMessages();
    }
}

void ProcessLine(PluginServices& services,
                 ResultsSurface& results,
                 const ProtectedPlaces& places,
                 const std::string& line) {
    const FileListLine parsed = ParseFileListLine(line);
    if (parsed.kind == FileListLine::Kind::Ignored) {
        // The system would stop reading the path at the NUL and act on what comes before it.
        if (line.find('\0') != std::string::npos && line.find('\\') != std::string::npos)
            results.AppendLine("Skipped a line holding a NUL character");
        return;
    }
    // Checked and acted on as the system reads it, so ".." cannot lead a line past a refusal.
    const auto resolved = ResolveFullPath(parsed.folder);
    if (!resolved) {
        results.AppendLine("Skipped a line without a full path: " + PrintableText(line));
        return;
    }
    const LineTarget folder{*resolved, parsed.folder};
    switch (parsed.kind) {
        case FileListLine::Kind::WholeFolder:
            DeleteDirectory(services.fileSystem, results, places, folder.resolved, PrintableText(folder.spelt));
            break;
        case FileListLine::Kind::OneFile:
            DeleteOneFile(services.fileSystem, results, places, folder, parsed.name);
            break;
        case FileListLine::Kind::FilesInFolder:
            DeleteFilesIn(services, results, places, folder);
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
    // "C:\Temp\" names no file in the folder: a file line for the empty name, which never exists.
    if (parsed.name != kAllFiles)
        parsed.kind = FileListLine::Kind::OneFile;
    else if (parsed.option == kWithSubfolders)
        parsed.kind = FileListLine::Kind::WholeFolder;
    else
        parsed.kind = FileListLine::Kind::FilesInFolder;
    return parsed;
}

void ProcessFileList(PluginServices& services,
                     ResultsSurface& results,
                     const ProtectedPlaces& places,
                     const std::string& listPath) {
    ForEachListLine(services.fileSystem, results, listPath,
                    [&](const std::string& line) { ProcessLine(services, results, places, line); });
}

}  // namespace nimbral
