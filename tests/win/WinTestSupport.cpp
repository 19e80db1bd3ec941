#include "WinTestSupport.h"

#include <windows.h>

#include <atomic>
#include <stdexcept>

#include "platform/win32/UniqueHandles.h"

namespace nimbral::wintest {

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

void RemoveTree(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::DeleteFileA(path.c_str());
        return;
    }
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAA data = {};
        UniqueFindHandle find(::FindFirstFileA((path + "\\*").c_str(), &data));
        if (find) {
            do {
                const std::string name = data.cFileName;
                if (name != "." && name != "..")
                    RemoveTree(path + "\\" + name);
            } while (::FindNextFileA(find.get(), &data));
        }
    }
    ::RemoveDirectoryA(path.c_str());
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

}  // namespace nimbral::wintest
