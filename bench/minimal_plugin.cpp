// The baselines of bench/plugin-bench.sh: the deletions of its two plugin lines and nothing else: a
// folder tree removed whole, and the files directly inside another folder. Plain, they are
// DeleteFileA and RemoveDirectoryA; with --checked, the checked deletion the program makes.
//
//   minimal_plugin.exe [--checked]

#include <windows.h>

#include <cstdio>
#include <string>

#include "CheckedDelete.h"

namespace {

bool checked = false;

bool Delete(const std::string& path, bool folder) {
    if (checked)
        return CheckedDelete(std::wstring(path.begin(), path.end()), folder);
    return folder ? RemoveDirectoryA(path.c_str()) : DeleteFileA(path.c_str());
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                Delete(path, false);
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    Delete(folder, true);
}

void DeleteFilesIn(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            Delete(folder + "\\" + data.cFileName, false);
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

}  // namespace

int main(int argc, char** argv) {
    checked = argc > 1 && std::string(argv[1]) == "--checked";
    RemoveTree("C:\\bench\\tree");
    DeleteFilesIn("C:\\bench\\flat");
    std::puts("done");
    return 0;
}
