// The seams' contracts held against the Win32 adapters, on Wine's real registry and file system.

#include <windows.h>

#include <atomic>
#include <cstring>
#include <optional>
#include <utility>

#include "WinTestSupport.h"
#include "contract/FileSystemContract.h"
#include "contract/RegistryContract.h"
#include "contract/SettingsAreaContract.h"
#include "contract/ShellContract.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SettingsArea.h"
#include "platform/win32/Win32Shell.h"

namespace nimbral::wintest {
namespace {

using win32::UniqueHkey;

int NextId() {
    static std::atomic<int> id{0};
    return ++id;
}

// What is stored, read through the wide functions: the ANSI ones add a terminating zero to string
// data that was stored without one, which would hide how the data was written.
std::optional<std::pair<std::uint32_t, std::string>> RawValue(HKEY hive,
                                                              const std::string& keyPath,
                                                              const std::string& name) {
    UniqueHkey key;
    if (::RegOpenKeyExA(hive, keyPath.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring wideName(name.size(), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), wideName.data(),
                          static_cast<int>(wideName.size()));
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::string bytes(size, '\0');
    ::RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size);
    bytes.resize(size);
    if (type != REG_SZ)
        return std::pair(static_cast<std::uint32_t>(type), bytes);
    std::wstring wide(size / sizeof(wchar_t), L'\0');
    std::memcpy(wide.data(), bytes.data(), wide.size() * sizeof(wchar_t));
    std::string text(wide.size() * 2, '\0');
    const int length = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                                             static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(static_cast<std::size_t>(length));
    return std::pair(static_cast<std::uint32_t>(type), text);
}

struct Win32RegistryHarness {
    Win32RegistryHarness() : root("Software\\NimbralContract\\" + std::to_string(NextId())) {}
    ~Win32RegistryHarness() { ::RegDeleteTreeA(HKEY_CURRENT_USER, root.c_str()); }

    win32::Win32Registry registry;
    std::string root;

    Registry& Get() { return registry; }
    std::string Root() { return root; }
    void PutDword(const std::string& keyPath, const std::string& name, std::uint32_t value) {
        UniqueHkey key;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                    key.put(), nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExA(key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    bool KeyExists(Hive hive, const std::string& keyPath) {
        UniqueHkey key;
        return ::RegOpenKeyExA(win32::HiveKey(hive), keyPath.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
    }
    std::optional<std::pair<std::uint32_t, std::string>> Raw(Hive hive,
                                                             const std::string& keyPath,
                                                             const std::string& name) {
        return RawValue(win32::HiveKey(hive), keyPath, name);
    }
};

struct Win32SettingsAreaHarness {
    Win32SettingsAreaHarness() : application("Nimbral Contract " + std::to_string(NextId())) {}
    ~Win32SettingsAreaHarness() {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(kSettingsRoot) + "\\" + application).c_str());
    }

    win32::Win32SettingsArea area;
    std::string application;

    SettingsArea& Get() { return area; }
    std::string Application() { return application; }
    void PutNonString(const std::string& app, const std::string& section, const std::string& key) {
        const std::string path = std::string(kSettingsRoot) + "\\" + app + "\\" + section;
        UniqueHkey hkey;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, hkey.put(),
                                    nullptr),
                  ERROR_SUCCESS);
        const DWORD one = 1;
        ::RegSetValueExA(hkey.get(), key.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    }
    void RemoveValue(const std::string& app, const std::string& section, const std::string& key) {
        const std::string path = std::string(kSettingsRoot) + "\\" + app + "\\" + section;
        ASSERT_EQ(::RegDeleteKeyValueA(HKEY_CURRENT_USER, path.c_str(), key.c_str()), ERROR_SUCCESS);
    }
    void RemoveSection(const std::string& app, const std::string& section) {
        const std::string path = std::string(kSettingsRoot) + "\\" + app + "\\" + section;
        ASSERT_EQ(::RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str()), ERROR_SUCCESS);
        ::RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
    }
};

struct Win32FileSystemHarness {
    Win32FileSystemHarness() : root(MakeScratchFolder("nimbral-fs")) {}
    ~Win32FileSystemHarness() { RemoveTree(root); }

    win32::Win32FileSystem fs;
    std::string root;

    FileSystem& Get() { return fs; }
    std::string Root() { return root; }
    std::string DriveRoot() { return "C:\\"; }
    void AddFolder(const std::string& relative, std::uint32_t attributes) {
        const std::string path = root + "\\" + relative;
        ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr)) << path;
        ::SetFileAttributesA(path.c_str(), attributes & ~FileAttribute::kDirectory);
    }
    void AddFile(const std::string& relative, std::uint32_t attributes) {
        const std::string path = root + "\\" + relative;
        win32::UniqueHfile file(
            ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr));
        ASSERT_TRUE(file) << path;
    }
    // The same entry as Wine's drive Z:, which maps the whole Unix file system, spells it.
    std::string OtherSpelling(const std::string& relative) { return UnixDrivePath(root + "\\" + relative); }
};

struct Win32ShellHarness {
    Win32ShellHarness() : scratch(MakeScratchFolder("nimbral-shell")) {}
    ~Win32ShellHarness() { RemoveTree(scratch); }

    win32::Win32Shell shell;
    win32::Win32FileSystem fs;
    std::string scratch;

    Shell& Get() { return shell; }
    FileSystem& Files() { return fs; }
    std::string MakeDocument(const std::string& name) {
        const std::string path = scratch + "\\" + name;
        win32::UniqueHfile file(
            ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        return path;
    }
};

}  // namespace
}  // namespace nimbral::wintest

namespace nimbral::contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, RegistryContract, wintest::Win32RegistryHarness);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, SettingsAreaContract, wintest::Win32SettingsAreaHarness);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FileSystemContract, wintest::Win32FileSystemHarness);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, ShellContract, wintest::Win32ShellHarness);
}  // namespace nimbral::contract
