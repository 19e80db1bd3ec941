// Today's browsers cleaned on the real file system under Wine: profiles laid out in a scratch folder
// as the browsers lay them out, their databases built with the browsers' schemas, and every entry
// run as the plugin step runs it. Links out of the prefix are laid out by make-links.sh.

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>

#include "WinTestSupport.h"
#include "browsers/BrowserCleaner.h"
#include "browsers/CleanPlans.h"
#include "doubles/FakeSettingsArea.h"
#include "doubles/FakeShell.h"
#include "doubles/RecordingResults.h"
#include "fixtures/BrowserFixtures.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/Win32Databases.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Shell.h"
#include "text/WideText.h"

#include <sqlite3.h>

namespace nimbral::wintest {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using win32::UniqueHandle;
using win32::UniqueHfile;

constexpr char kApp[] = "Nimbral Windows Cleaner";

std::vector<fixtures::Cookie> Cookies(const std::string& tag) {
    return {{".kept.example", "SID_" + tag},
            {"accounts.kept.example", "LOGIN_" + tag},
            {"www.kept.example", "PREF_" + tag},
            {".notkept.example", "TRACK_" + tag, "value-notkept-" + tag},
            {"kept.example.evil", "EVIL_" + tag, "value-evil-" + tag},
            {".tracker.net", "PART_" + tag, "value-part-" + tag, "https://kept.example"}};
}

std::vector<fixtures::Address> Addresses() {
    fixtures::Address kept{"https://bank.example/login", 2, 3};
    fixtures::Address secret{"https://secret.example/private", 1, 2};
    secret.searchTerm = "Secret Term";
    secret.downloaded = true;
    fixtures::Address bookmarked{"https://news.example/", 0, 2};
    bookmarked.bookmarked = true;
    return {kept, secret, bookmarked};
}

// A user's two application data folders in a scratch folder of their own, and the browsers' entries
// run over the real file system and databases.
class BrowsersTest : public ::testing::Test {
  protected:
    BrowsersTest()
        : root(MakeScratchFolder("browsers")),
          local(root + "\\Local"),
          roaming(root + "\\Roaming"),
          places(ProtectedPlaces::Resolve(realShell.OwnFolders(), files)) {
        ::CreateDirectoryA(local.c_str(), nullptr);
        ::CreateDirectoryA(roaming.c_str(), nullptr);
        shell.folders[0x1c] = local + "\\";
        shell.folders[0x1a] = roaming + "\\";
        area.SaveSetting(kApp, "Settings", "enc", "0");
        settings.LoadSettings();
    }
    ~BrowsersTest() override { RemoveTree(root); }

    void Keep(const char* prefix, std::initializer_list<const char*> entries) {
        int i = 0;
        for (const char* entry : entries)
            area.SaveSetting(kApp, "Settings", prefix + std::to_string(i++), entry);
        settings.LoadSettings();
    }
    static void MakeFolders(const std::string& path) {
        for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
            ::CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
        ::CreateDirectoryA(path.c_str(), nullptr);
    }
    static void Write(const std::string& path, const std::string& text) {
        MakeFolders(path.substr(0, path.rfind('\\')));
        const UniqueHfile file(
            ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    // A Chrome profile; its folder.
    std::string Chrome(const std::string& profile = "Default") {
        const std::string folder = local + "\\Google\\Chrome\\User Data\\" + profile;
        MakeFolders(folder + "\\Network");
        Write(folder + "\\Preferences", "{}");
        return folder;
    }
    // A Firefox profile named in profiles.ini; its folder.
    std::string Firefox() {
        const std::string firefox = roaming + "\\Mozilla\\Firefox";
        Write(firefox + "\\profiles.ini",
              "[Profile0]\r\nName=default-release\r\nIsRelative=1\r\nPath=Profiles/abcd1234.default-release\r\n"
              "Default=1\r\n\r\n[General]\r\nStartWithLastProfile=1\r\nVersion=2\r\n");
        const std::string folder = firefox + "\\Profiles\\abcd1234.default-release";
        MakeFolders(folder);
        Write(folder + "\\parent.lock", "");
        return folder;
    }
    std::vector<std::string> Run(const std::string& entry, Databases& with) {
        BrowserCleaner cleaner(files, shell, with, settings);
        testing::RecordingResults results;
        cleaner.RunEntry(entry, results, places);
        return results.lines;
    }
    std::vector<std::string> Run(const std::string& entry) { return Run(entry, databases); }

    std::string root;
    std::string local;
    std::string roaming;
    win32::Win32FileSystem files;
    win32::Win32Shell realShell;
    testing::FakeShell shell;
    ProtectedPlaces places;
    testing::FakeSettingsArea area;
    SettingsStore settings{area, kApp};
    win32::Win32Databases databases;
};

TEST_F(BrowsersTest, TheListShowsThreeEntriesForEachBrowserThatIsThere) {
    BrowserCleaner cleaner(files, shell, databases, settings);
    EXPECT_THAT(cleaner.EntryNames(), IsEmpty());
    Chrome();
    Firefox();
    MakeFolders(roaming + "\\Opera Software\\Opera Stable");
    EXPECT_THAT(cleaner.EntryNames(),
                ElementsAre("Google Chrome Cache", "Google Chrome Cookies", "Google Chrome History", "Opera Cache",
                            "Opera Cookies", "Opera History", "Mozilla Firefox Cache", "Mozilla Firefox Cookies",
                            "Mozilla Firefox History"));
}

TEST_F(BrowsersTest, CookiesOfKeptSitesAndTheirSubDomainsStayInEveryCookieFile) {
    const std::string chrome = Chrome();
    const std::string firefox = Firefox();
    struct File {
        std::string path;
        std::string entry;
        std::function<void(const std::string&)> make;
    };
    const File cookieFiles[] = {
        {chrome + "\\Network\\Cookies", "Google Chrome Cookies",
         [](const std::string& p) { fixtures::WriteChromiumCookies(p, Cookies("network")); }},
        {chrome + "\\Cookies", "Google Chrome Cookies",
         [](const std::string& p) { fixtures::WriteChromiumCookies(p, Cookies("old")); }},
        {firefox + "\\cookies.sqlite", "Mozilla Firefox Cookies",
         [](const std::string& p) { fixtures::WriteFirefoxCookies(p, Cookies("firefox"), 2); }},
    };
    for (const File& file : cookieFiles)
        file.make(file.path);
    Keep("coo", {"kept.example"});

    const auto lines = [](const std::string& path) {
        return std::vector<std::string>{"Found 6 cookies in " + path, "Deleted 3 unwanted cookies in " + path,
                                        "Kept 3 cookies in " + path};
    };
    std::vector<std::string> chromeLines = lines(cookieFiles[0].path);
    for (const std::string& line : lines(cookieFiles[1].path))
        chromeLines.push_back(line);
    EXPECT_THAT(Run("Google Chrome Cookies"), ElementsAreArray(chromeLines));
    EXPECT_THAT(Run("Mozilla Firefox Cookies"), ElementsAreArray(lines(cookieFiles[2].path)));

    for (const File& file : cookieFiles) {
        const bool firefoxFile = file.entry == "Mozilla Firefox Cookies";
        EXPECT_THAT(fixtures::QueryTexts(file.path, firefoxFile ? "SELECT host FROM moz_cookies ORDER BY id"
                                                                : "SELECT host_key FROM cookies ORDER BY rowid"),
                    ElementsAre(".kept.example", "accounts.kept.example", "www.kept.example"))
            << file.path;
        EXPECT_THAT(fixtures::QueryTexts(file.path, "PRAGMA integrity_check"), ElementsAre("ok"));
        // What went cannot be read back from the file, its log or its journal.
        for (const char* gone : {"TRACK_", "notkept.example", "EVIL_", "kept.example.evil", "PART_", "tracker.net"}) {
            for (const char* sidecar : {"", "-wal", "-journal"})
                EXPECT_FALSE(fixtures::FileContains(file.path + sidecar, gone)) << file.path << sidecar << " " << gone;
        }
    }
    EXPECT_THAT(fixtures::QueryTexts(cookieFiles[2].path, "PRAGMA journal_mode"), ElementsAre("wal"));
    EXPECT_THAT(fixtures::QueryTexts(cookieFiles[0].path, "SELECT value FROM meta WHERE key = 'version'"),
                ElementsAre("24"));
}

TEST_F(BrowsersTest, HistoryKeepsKeptTypedAddressesAndBookmarks) {
    const std::string chrome = Chrome();
    const std::string firefox = Firefox();
    fixtures::WriteChromiumHistory(chrome + "\\History", Addresses());
    fixtures::AddUnknownTable(chrome + "\\History");
    fixtures::WriteFirefoxPlaces(firefox + "\\places.sqlite", Addresses());
    // A Firefox older than its interaction metadata.
    fixtures::DropTable(firefox + "\\places.sqlite", "moz_places_metadata");
    fixtures::DropTable(firefox + "\\places.sqlite", "moz_places_metadata_search_queries");
    for (const char* companion : {"Visited Links", "Top Sites", "Top Sites-journal", "Shortcuts"})
        Write(chrome + "\\" + companion, "traces");
    Keep("sit", {"bank.example"});

    EXPECT_THAT(
        Run("Google Chrome History"),
        ElementsAre("Deleted 2 addresses from " + chrome + "\\History", "Kept URL: https://bank.example/login",
                    "Deleted File: " + chrome + "\\Visited Links", "Deleted File: " + chrome + "\\Top Sites",
                    "Deleted File: " + chrome + "\\Top Sites-journal", "Deleted File: " + chrome + "\\Shortcuts"));
    EXPECT_THAT(Run("Mozilla Firefox History"), ElementsAre("Deleted 1 addresses from " + firefox + "\\places.sqlite",
                                                            "Kept URL: https://bank.example/login"));

    const std::string history = chrome + "\\History";
    EXPECT_THAT(fixtures::QueryTexts(history, "SELECT url FROM urls"), ElementsAre("https://bank.example/login"));
    EXPECT_EQ(fixtures::QueryCount(history, "SELECT count(*) FROM visits"), 3);
    EXPECT_THAT(fixtures::QueryTexts(history, "SELECT x FROM unknown_future_table"), ElementsAre("future row"));
    const std::string placesFile = firefox + "\\places.sqlite";
    EXPECT_THAT(fixtures::QueryTexts(placesFile, "SELECT url FROM moz_places ORDER BY id"),
                ElementsAre("https://bank.example/login", "https://news.example/"));
    EXPECT_THAT(
        fixtures::QueryTexts(placesFile, "SELECT b.title FROM moz_bookmarks b JOIN moz_places p ON p.id = b.fk"),
        ElementsAre("Page"));
    EXPECT_EQ(fixtures::QueryCount(placesFile, "SELECT count(*) FROM moz_historyvisits WHERE place_id = 2"), 0);
    for (const std::string& file : {history, placesFile}) {
        EXPECT_THAT(fixtures::QueryTexts(file, "PRAGMA foreign_key_check"), IsEmpty()) << file;
        EXPECT_THAT(fixtures::QueryTexts(file, "PRAGMA integrity_check"), ElementsAre("ok")) << file;
        for (const char* gone : {"secret.example", "Secret Term"}) {
            for (const char* sidecar : {"", "-wal", "-journal"})
                EXPECT_FALSE(fixtures::FileContains(file + sidecar, gone)) << file << sidecar << " " << gone;
        }
    }
}

TEST_F(BrowsersTest, CachesGoThroughTheFolderRemoval) {
    const std::string chrome = Chrome();
    const std::string firefox = Firefox();
    Write(chrome + "\\Cache\\Cache_Data\\data_0", "cached");
    Write(chrome + "\\GPUCache\\index", "cached");
    const std::string firefoxCache = local + "\\Mozilla\\Firefox\\Profiles\\abcd1234.default-release\\cache2";
    Write(firefoxCache + "\\entries\\0A1B", "cached");
    EXPECT_THAT(Run("Google Chrome Cache"),
                ElementsAre("Deleted Directory: " + chrome + "\\Cache", "Deleted Directory: " + chrome + "\\GPUCache"));
    EXPECT_THAT(Run("Mozilla Firefox Cache"), ElementsAre("Deleted Directory: " + firefoxCache));
    EXPECT_FALSE(files.FolderExists(chrome + "\\Cache"));
    EXPECT_TRUE(files.FolderExists(chrome));
}

// A process that holds a file as another program would, until it is ended.
class Holder {
  public:
    Holder(const std::string& path, DWORD access, DWORD share, DWORD flags = FILE_ATTRIBUTE_NORMAL)
        : file_(::CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, flags, nullptr)) {}
    explicit operator bool() const { return static_cast<bool>(file_); }

  private:
    UniqueHfile file_;
};

// What another program does to the file, and what the cleaning says about it while it does.
TEST_F(BrowsersTest, WhatIsInUseOrNoDatabaseIsLeftAsItWas) {
    const std::string chrome = Chrome();
    const std::string firefox = Firefox();
    const std::string cookies = chrome + "\\Network\\Cookies";
    struct Case {
        const char* what;
        std::string entry;
        std::function<std::unique_ptr<Holder>()> hold;
        std::vector<std::string> lines;
    };
    const std::string running = "Skipped Google Chrome: it is running. Close it and clean again.";
    const std::vector<Case> cases = {
        // Chrome's own lock: written, read by others, gone when the browser ends.
        {"lockfile",
         "Google Chrome Cookies",
         [&] {
             Write(local + "\\Google\\Chrome\\User Data\\lockfile", "");
             return std::make_unique<Holder>(local + "\\Google\\Chrome\\User Data\\lockfile", GENERIC_WRITE,
                                             FILE_SHARE_READ, FILE_FLAG_DELETE_ON_CLOSE);
         },
         {running}},
        {"parent.lock",
         "Mozilla Firefox Cookies",
         [&] { return std::make_unique<Holder>(firefox + "\\parent.lock", GENERIC_READ | GENERIC_WRITE, 0); },
         {"Skipped Mozilla Firefox: it is running. Close it and clean again."}},
        {"no sharing",
         "Google Chrome Cookies",
         [&] { return std::make_unique<Holder>(cookies, GENERIC_READ | GENERIC_WRITE, 0); },
         {"Could not clean " + cookies + ": it is in use"}},
        // Opened "successfully" for reading only: the first change would fail.
        {"read only",
         "Google Chrome Cookies",
         [&] { return std::make_unique<Holder>(cookies, GENERIC_WRITE, FILE_SHARE_READ); },
         {"Could not clean " + cookies + ": it is in use"}},
        {"not a database",
         "Google Chrome Cookies",
         [&] {
             Write(cookies, std::string(8192, 'x'));
             return nullptr;
         },
         {"Could not clean " + cookies + ": file is not a database"}},
    };
    for (const Case& c : cases) {
        fixtures::WriteChromiumCookies(cookies, Cookies("held"));
        fixtures::WriteFirefoxCookies(firefox + "\\cookies.sqlite", Cookies("held"));
        const auto holder = c.hold();
        const std::string before = fixtures::FileBytes(cookies);
        const std::string firefoxBefore = fixtures::FileBytes(firefox + "\\cookies.sqlite");
        EXPECT_THAT(Run(c.entry), ElementsAreArray(c.lines)) << c.what;
        win32::Win32Databases preview(SqliteDatabases::Changes::kKeptInMemory);
        EXPECT_THAT(Run(c.entry, preview), ElementsAreArray(c.lines)) << c.what << " (preview)";
        EXPECT_EQ(fixtures::FileBytes(cookies), before) << c.what;
        EXPECT_EQ(fixtures::FileBytes(firefox + "\\cookies.sqlite"), firefoxBefore) << c.what;
        EXPECT_TRUE(fixtures::FileBytes(cookies + "-journal").empty()) << c.what;
    }
    // A lock file nobody holds is only left over: the browser is not running.
    EXPECT_THAT(Run("Mozilla Firefox Cookies"),
                ElementsAre("Found 6 cookies in " + firefox + "\\cookies.sqlite",
                            "Deleted 6 unwanted cookies in " + firefox + "\\cookies.sqlite",
                            "Kept 0 cookies in " + firefox + "\\cookies.sqlite"));
}

// Whether a connection of this process is locked out of the database right now.
bool LockedOut(const std::string& path) {
    sqlite3* probe = nullptr;
    sqlite3_open_v2(path.c_str(), &probe, SQLITE_OPEN_READONLY, nullptr);
    const bool locked =
        sqlite3_exec(probe, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) == SQLITE_BUSY;
    sqlite3_close_v2(probe);
    return locked;
}

std::string UnixPath(const std::string& path) {
    std::string unixPath = UnixDrivePath(path).substr(2);
    for (char& c : unixPath) {
        if (c == '\\')
            c = '/';
    }
    return unixPath;
}

// The running browser played by Debian's sqlite3, outside Wine, holding its exclusive lock after a
// write as a browser holds its history, until the test lets it go.
TEST_F(BrowsersTest, ADatabaseANativeProcessHoldsIsInUse) {
    const std::string history = Chrome() + "\\History";
    fixtures::WriteChromiumHistory(history, Addresses());
    const std::string release = root + "\\release";
    // Wine starts a program that is not a Windows one as a Unix process.
    std::string command =
        "Z:\\usr\\bin\\sqlite3 \"" + UnixPath(history) +
        "\" \"PRAGMA locking_mode=EXCLUSIVE\" \"UPDATE urls SET hidden = 0\" \".shell while [ ! -e '" + UnixPath(root) +
        "/release' ]; do sleep 0.05; done\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(
        ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        << command;
    UniqueHandle process(started.hProcess);
    UniqueHandle thread(started.hThread);
    const auto waitFor = [&](bool locked) {
        for (int tries = 0; tries < 200; ++tries) {
            if (LockedOut(history) == locked)
                return true;
            ::Sleep(50);
        }
        return false;
    };
    ASSERT_TRUE(waitFor(true));
    const std::string before = fixtures::FileBytes(history);
    EXPECT_THAT(Run("Google Chrome History"), ElementsAre("Could not clean " + history + ": it is in use"));
    win32::Win32Databases preview(SqliteDatabases::Changes::kKeptInMemory);
    EXPECT_THAT(Run("Google Chrome History", preview), ElementsAre("Could not clean " + history + ": it is in use"));
    Write(release, "");
    EXPECT_TRUE(waitFor(false));
    EXPECT_EQ(fixtures::FileBytes(history), before);
    EXPECT_EQ(fixtures::QueryCount(history, "SELECT count(*) FROM urls"), 3);
}

// make-links.sh laid out a Chrome whose first profile's cookie file and cache are links out of the
// prefix and whose second profile is one.
TEST_F(BrowsersTest, NothingIsCleanedThroughALink) {
    const std::string data = "C:\\nimbral-links\\browsers\\Local\\Google\\Chrome\\User Data";
    shell.folders[0x1c] = "C:\\nimbral-links\\browsers\\Local\\";
    const char* outside = std::getenv("NIMBRAL_WINE_ROOT");
    ASSERT_TRUE(outside);
    const std::string unixOutside = std::string(outside) + "/outside/browser";
    std::string zOutside = "Z:" + unixOutside;
    for (char& c : zOutside) {
        if (c == '/')
            c = '\\';
    }
    const std::map<std::string, std::string> before = {
        {"Cookies", fixtures::FileBytes(zOutside + "\\Cookies")},
        {"History", fixtures::FileBytes(zOutside + "\\profile\\History")},
        {"data_0", fixtures::FileBytes(zOutside + "\\cache\\data_0")},
    };
    ASSERT_FALSE(before.at("Cookies").empty());

    EXPECT_THAT(Run("Google Chrome Cookies"),
                ElementsAre("Could not clean " + data + "\\Default\\Network\\Cookies: it is reached through a link"));
    EXPECT_THAT(Run("Google Chrome History"),
                ElementsAre("Could not clean " + data + "\\Profile 1\\History: it is reached through a link"));
    EXPECT_THAT(Run("Google Chrome Cache"), ElementsAre("Could not delete: " + data + "\\Default\\Cache",
                                                        "Could not delete: " + data + "\\Profile 1\\Cache"));
    EXPECT_EQ(fixtures::FileBytes(zOutside + "\\Cookies"), before.at("Cookies"));
    EXPECT_EQ(fixtures::FileBytes(zOutside + "\\profile\\History"), before.at("History"));
    EXPECT_EQ(fixtures::FileBytes(zOutside + "\\cache\\data_0"), before.at("data_0"));
}

// A user folder named with a letter the code page lacks: the path reaches SQLite in UTF-8 and the
// checks in UTF-16, never through the code page.
TEST_F(BrowsersTest, ADatabaseUnderAFolderTheCodePageCannotSpellIsCleaned) {
    const std::u16string wideFolder = Utf16FromProgramText(root + "\\<U+0141>ukasz");
    ASSERT_TRUE(::CreateDirectoryW(reinterpret_cast<const wchar_t*>(wideFolder.c_str()), nullptr));
    const std::string path = root + "\\<U+0141>ukasz\\Cookies";
    const std::string utf8 = Utf8FromProgramText(path);
    fixtures::WriteChromiumCookies(utf8, Cookies("lukasz"));
    Keep("coo", {"kept.example"});
    const CookieKeep keep(settings.Current().coo);
    testing::RecordingResults results;
    EXPECT_TRUE(CleanDatabase(databases, results, path,
                              [&](Connection& db) { return CookieLines(CleanCookieTable(db, keep), path); }));
    EXPECT_THAT(results.lines, ElementsAre("Found 6 cookies in " + path, "Deleted 3 unwanted cookies in " + path,
                                           "Kept 3 cookies in " + path));
    EXPECT_EQ(fixtures::QueryCount(utf8, "SELECT count(*) FROM cookies"), 3);
    // The look-alike spelling through the code page names no such file.
    EXPECT_FALSE(databases.Open(root + "\\Lukasz\\Cookies").connection);
}

}  // namespace
}  // namespace nimbral::wintest
