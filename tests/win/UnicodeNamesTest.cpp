// Names the code page cannot spell, on the real file system and registry: each reaches the entry it
// names, never a look-alike that the code page's best fit would turn it into, and the log shows the
// letters it lacks as "<U+hex>".

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "WinTestSupport.h"
#include "doubles/FakeOsVersionSource.h"
#include "doubles/FakeUrlCache.h"
#include "doubles/RecordingResults.h"
#include "engine/modEngine.h"
#include "platform/win32/SystemText.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SettingsArea.h"
#include "platform/win32/Win32Shell.h"
#include "plugins/runPlugin.h"

namespace nimbral::wintest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

// "Łódź" and the look-alike the code page's best fit makes of it.
const std::wstring kLodz = L"\u0141\u00f3d\u017a";
const std::wstring kLookAlike = L"L\u00f3dz";
const std::string kLodzText =
    "<U+0141>\xf3"
    "d<U+017A>";
// Names no single-byte code page holds: a Polish, Japanese, emoji and a Roman-numeral name.
const std::wstring kWideNames[] = {kLodz + L".txt", L"\u65e5\u672c\u8a9e.txt", L"emoji-\U0001F600.txt", L"\u216b.txt"};
const std::string kWideNamesText[] = {kLodzText + ".txt", "<U+65E5><U+672C><U+8A9E>.txt", "emoji-<U+1F600>.txt",
                                      "<U+216B>.txt"};

constexpr char kApplication[] = "Nimbral Unicode Names Test";

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeFile(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, "x", 1, &written, nullptr);
    ::CloseHandle(file);
}

// Deletes a tree made of plain files and folders only, read-only entries included.
void RemoveWideTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data = {};
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveWideTree(path);
            else
                ::DeleteFileW(path.c_str());
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(folder.c_str());
}

class NamesOutsideTheCodePage : public ::testing::Test {
  protected:
    void SetUp() override {
        RemoveWideTree(kProbe);
        ASSERT_TRUE(::CreateDirectoryW(kProbe.c_str(), nullptr));
    }
    void TearDown() override {
        RemoveWideTree(kProbe);
        for (const std::wstring& key : {L"Software\\VB and VBA Program Settings\\" + win32::Wide(kApplication),
                                        L"Software\\" + win32::Wide(kApplication)})
            ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    }

    // A setting stored as the registry keeps it, in Unicode, whatever program wrote it.
    void StoreSetting(const std::wstring& key, const std::wstring& text) {
        HKEY section = nullptr;
        const std::wstring path =
            L"Software\\VB and VBA Program Settings\\" + win32::Wide(kApplication) + L"\\Settings";
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &section,
                                    nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExW(section, key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(section);
    }

    // One step of a clean run over the real system, on the settings stored under kApplication.
    std::vector<std::string> Step(void (*step)(CleanRunContext&), const std::string& cookieFolder = {}) {
        SettingsStore settings(area, kApplication);
        settings.LoadSettings();
        testing::FakeUrlCache cache;
        struct NoHistory final : HistoryLibrary {
            bool DeleteHistory() override { return false; }
        } history;
        FakeOsVersionSource os;
        MainWindowListers listers(fs);
        PluginList plugins;
        struct NoPlugins final : PluginRunner {
            void RunPluginByName(const std::string&, ResultsSurface&, const ProtectedPlaces&) override {}
        } runner;
        EngineServices services{settings, registry, fs,      shell,  cache,        history,
                                os,       listers,  plugins, runner, cookieFolder, 0};
        testing::RecordingResults results;
        CleanRunContext run(services, results);
        step(run);
        return results.lines;
    }

    const std::wstring kProbe = L"C:\\probe-unicode";
    const std::string kProbeText = "C:\\probe-unicode";
    win32::Win32SettingsArea area;
    win32::Win32FileSystem fs;
    win32::Win32Registry registry;
    win32::Win32Shell shell;
};

// The folder the setting names is emptied; the look-alike beside it, which the code page's best fit
// would have named, is not touched.
TEST_F(NamesOutsideTheCodePage, TheTempStepEmptiesTheFolderNamedAndNotItsLookAlike) {
    const std::wstring named = kProbe + L"\\" + kLodz;
    const std::wstring lookAlike = kProbe + L"\\" + kLookAlike;
    for (const auto& [folder, file] : {std::pair{named, L"in-a.txt"}, std::pair{lookAlike, L"in-b.txt"}}) {
        ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
        MakeFile(folder + L"\\" + file);
    }
    const std::string shown = kProbeText + "\\" + kLodzText;

    // Named by the setting, and by the environment when the setting is empty.
    StoreSetting(L"enc", L"0");
    StoreSetting(L"td", named);
    EXPECT_THAT(Step(DeleteTempFiles), ElementsAre("Deleted Directory: " + shown));
    EXPECT_FALSE(Exists(named + L"\\in-a.txt"));
    EXPECT_TRUE(Exists(lookAlike + L"\\in-b.txt"));

    MakeFile(named + L"\\in-a.txt");
    StoreSetting(L"td", L"");
    wchar_t savedTemp[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"TMP", savedTemp, MAX_PATH);
    ::SetEnvironmentVariableW(L"TMP", named.c_str());
    const auto lines = Step(DeleteTempFiles);
    ::SetEnvironmentVariableW(L"TMP", savedTemp);
    EXPECT_THAT(lines, ElementsAre("Deleted Directory: " + shown));
    EXPECT_FALSE(Exists(named + L"\\in-a.txt"));
    EXPECT_TRUE(Exists(lookAlike + L"\\in-b.txt"));
}

// When the folder cannot go whole, its passes reach every name and say what became of each.
TEST_F(NamesOutsideTheCodePage, TheTempStepPassesReachEveryName) {
    const std::wstring temp = kProbe + L"\\tmp";
    ASSERT_TRUE(::CreateDirectoryW(temp.c_str(), nullptr));
    const std::wstring subfolder = temp + L"\\\u00dcn\u00ef-\u65e5\u672c";
    ASSERT_TRUE(::CreateDirectoryW(subfolder.c_str(), nullptr));
    MakeFile(subfolder + L"\\inside.txt");
    for (const std::wstring& name : kWideNames)
        MakeFile(temp + L"\\" + name);
    // Sorted last and read-only: the whole-folder removal stops there, after the other names.
    MakeFile(temp + L"\\zz-readonly.txt", FILE_ATTRIBUTE_READONLY);

    StoreSetting(L"enc", L"0");
    StoreSetting(L"td", temp);
    const std::string t = kProbeText + "\\tmp";
    const auto lines = Step(DeleteTempFiles);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Could not delete: " + t);
    // The order the folder lists its entries in is the system's: what the first removal took before
    // it stopped is passed over, the rest has a line that names it.
    const std::string sub = t + "\\\xdcn\xef-<U+65E5><U+672C>";
    std::vector<std::string> allowed = {"Deleted Directory: " + sub, "Folder does not exist: " + sub,
                                        "File Deleted: zz-readonly.txt"};
    for (const std::string& name : kWideNamesText)
        allowed.push_back("File Deleted: " + name);
    for (std::size_t i = 1; i < lines.size(); ++i)
        EXPECT_THAT(allowed, ::testing::Contains(lines[i]));
    EXPECT_THAT(lines, ::testing::Contains("File Deleted: zz-readonly.txt"));
    for (const std::wstring& name : kWideNames)
        EXPECT_FALSE(Exists(temp + L"\\" + name));
    EXPECT_FALSE(Exists(subfolder));
}

TEST_F(NamesOutsideTheCodePage, APluginsStarDotStarLineDeletesEveryName) {
    const std::wstring plug = kProbe + L"\\plug";
    ASSERT_TRUE(::CreateDirectoryW(plug.c_str(), nullptr));
    for (const std::wstring& name : kWideNames)
        MakeFile(plug + L"\\" + name);
    const std::string list = kProbeText + "\\Names.ww1";
    std::ofstream(list, std::ios::binary) << kProbeText << "\\plug\\*.*\r\n";

    FileLister fileEngine(fs);
    PluginServices services{fs, registry, fileEngine};
    testing::RecordingResults results;
    ProcessFileList(services, results, ProtectedPlaces::Resolve(shell.OwnFolders(), fs), list);
    const std::string p = kProbeText + "\\plug\\";
    EXPECT_THAT(results.lines, UnorderedElementsAre(
                                   "Deleted File: " + p + kWideNamesText[0], "Deleted File: " + p + kWideNamesText[1],
                                   "Deleted File: " + p + kWideNamesText[2], "Deleted File: " + p + kWideNamesText[3]));
    for (const std::wstring& name : kWideNames)
        EXPECT_FALSE(Exists(plug + L"\\" + name));
}

TEST_F(NamesOutsideTheCodePage, TheCookieStepCountsTheCookiesItDeleted) {
    const std::wstring cookies = kProbe + L"\\Cookies";
    ASSERT_TRUE(::CreateDirectoryW(cookies.c_str(), nullptr));
    for (const std::wstring& site : {kLodz, std::wstring(L"\u65e5\u672c"), std::wstring(L"plain.example")})
        MakeFile(cookies + L"\\user@" + site + L"[1].txt");
    MakeFile(cookies + L"\\index.dat");

    StoreSetting(L"enc", L"0");
    const std::string folder = kProbeText + "\\Cookies\\";
    const auto lines = Step(RemoveUnwantedCookies, folder);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_THAT(std::vector<std::string>(lines.begin(), lines.begin() + 3),
                ElementsAre("Found 4 cookies in " + folder, "Deleted 3 unwanted cookies in " + folder,
                            "Kept 1 cookies in " + folder));
    EXPECT_TRUE(Exists(cookies + L"\\index.dat"));
    EXPECT_FALSE(Exists(cookies + L"\\user@" + kLodz + L"[1].txt"));
}

// The registry's own names go through the same spelling: a value the code page cannot spell is read
// and deleted, and its look-alike neighbour stays.
TEST_F(NamesOutsideTheCodePage, RegistryNamesReachTheValueNamed) {
    const std::string key = std::string("Software\\") + kApplication + "\\" + kLodzText;
    ASSERT_TRUE(registry.SetStringValue(Hive::CurrentUser, key, kLodzText, "named"));
    ASSERT_TRUE(registry.SetStringValue(Hive::CurrentUser, key,
                                        "L\xf3"
                                        "dz",
                                        "look-alike"));
    EXPECT_EQ(registry.ReadStringValue(Hive::CurrentUser, key, kLodzText), "named");
    EXPECT_THAT(*registry.ValueNames(Hive::CurrentUser, key), UnorderedElementsAre(kLodzText,
                                                                                   "L\xf3"
                                                                                   "dz"));
    EXPECT_THAT(*registry.SubkeyNames(Hive::CurrentUser, std::string("Software\\") + kApplication),
                ElementsAre(kLodzText));
    registry.DeleteRegistryValue(Hive::CurrentUser, key, kLodzText);
    EXPECT_THAT(*registry.ValueNames(Hive::CurrentUser, key), ElementsAre("L\xf3"
                                                                          "dz"));

    HKEY raw = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, (L"Software\\" + win32::Wide(kApplication) + L"\\" + kLodz).c_str(), 0,
                              KEY_QUERY_VALUE, &raw),
              ERROR_SUCCESS);
    ::RegCloseKey(raw);
}

}  // namespace
}  // namespace nimbral::wintest
