#include "WinTestSupport.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/win32/UniqueHandles.h"
#include "platform/win32/Win32FileSystem.h"

namespace nimbral::wintest {

namespace {

// A Unix path as Wine's drive Z: spells it.
std::string OnDriveZ(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

}  // namespace

using win32::UniqueFindHandle;
using win32::UniqueHandle;
using win32::UniqueHkey;

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1);
}

std::string RunAndCapture(const std::string& commandLine) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    UniqueHandle readEnd;
    UniqueHandle writeEnd;
    if (!::CreatePipe(readEnd.put(), writeEnd.put(), &inherit, 0))
        throw std::runtime_error("CreatePipe failed");
    ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = writeEnd.get();
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info = {};
    std::string line = commandLine;
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        throw std::runtime_error("cannot start " + commandLine);
    }
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    writeEnd.reset();  // so the read ends when the child's copy closes

    std::string output;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(readEnd.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        output.append(buffer, got);
    ::WaitForSingleObject(process.get(), INFINITE);
    return output;
}

std::string MakeScratchFolder(const std::string& stem) {
    static std::atomic<int> counter{0};
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string path =
        std::string(temp) + stem + "-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++counter);
    RemoveTree(path);
    if (!::CreateDirectoryA(path.c_str(), nullptr))
        throw std::runtime_error("cannot create " + path);
    return path;
}

// Through the program's own checked primitives: a scratch folder may hold links to files outside
// it, which a plain DeleteFileA would delete the targets of.
void RemoveTree(const std::string& path) {
    win32::Win32FileSystem fs;
    const auto finalPath = fs.FinalPath(path);
    if (!finalPath)
        return;
    if (!fs.FolderExists(*finalPath)) {
        fs.SetAttributesNormal(*finalPath);
        fs.RemoveFile(*finalPath);
        return;
    }
    if (const auto entries = fs.FindEntries(*finalPath + "\\*")) {
        for (const DirEntry& entry : *entries) {
            if (entry.name == "." || entry.name == "..")
                continue;
            const std::string inner = *finalPath + "\\" + entry.name;
            if (entry.attributes & FileAttribute::kReparsePoint)
                continue;
            if (entry.attributes & FileAttribute::kDirectory) {
                RemoveTree(inner);
            } else {
                fs.SetAttributesNormal(inner);
                fs.RemoveFile(inner);
            }
        }
    }
    fs.SetAttributesNormal(*finalPath);
    fs.RemoveFolder(*finalPath, {});
}

std::string UnixDrivePath(const std::string& path) {
    using Convert = char*(CDECL*)(const wchar_t*);
    const auto convert =
        reinterpret_cast<Convert>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    wchar_t wide[MAX_PATH] = {};
    ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char* unixPath = convert ? convert(wide) : nullptr;
    if (!unixPath)
        throw std::runtime_error("no Unix path for " + path);
    const std::string spelt = OnDriveZ(unixPath);
    ::HeapFree(::GetProcessHeap(), 0, unixPath);
    return spelt;
}

void SetWineVersionFor(const std::string& exeName, const std::string& version) {
    UniqueHkey key;
    const std::string path = "Software\\Wine\\AppDefaults\\" + exeName;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS) {
        throw std::runtime_error("cannot create " + path);
    }
    ::RegSetValueExA(key.get(), "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                     static_cast<DWORD>(version.size() + 1));
}

std::string OutsideUnix(const std::string& relative) {
    const char* root = std::getenv("NIMBRAL_WINE_ROOT");
    return std::string(root ? root : "/missing") + "/outside" + (relative.empty() ? "" : "/" + relative);
}

std::string UnixFileContent(const std::string& unixPath) {
    std::ifstream in(OnDriveZ(unixPath), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace nimbral::wintest
