// Today's browsers: the keep rule of their cookies, where their profiles are found, and the
// statement plans run against real database files made with the browsers' schemas.

#include <sqlite3.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "browsers/BrowserCleaner.h"
#include "browsers/CleanPlans.h"
#include "browsers/CookieKeep.h"
#include "browsers/Profiles.h"
#include "doubles/FakeFileSystem.h"
#include "doubles/FakeShell.h"
#include "doubles/RecordingResults.h"
#include "fixtures/BrowserFixtures.h"
#include "platform/sqlite/SqliteDatabases.h"
#include "text/AnsiText.h"

namespace nimbral {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
namespace fs = std::filesystem;

SettingList ListOf(std::initializer_list<const char*> entries) {
    SettingList list;
    std::size_t i = 0;
    for (const char* entry : entries)
        list[i++] = entry;
    return list;
}

// ---- the cookie keep rule ----

struct KeepCase {
    const char* host;
    bool kept;
};

TEST(CookieKeepTest, KeepsAKeptSiteItsSubDomainsAndNoLookAlike) {
    const CookieKeep keep(ListOf({"kept.example", "other.test"}));
    const KeepCase cases[] = {
        {"kept.example", true},
        {".kept.example", true},          // a domain cookie's leading dot
        {"www.kept.example", true},       // "www." is no part of the site
        {"accounts.kept.example", true},  // a sign-in sub-domain
        {".mail.kept.example", true},
        {"A.B.KEPT.EXAMPLE", true},    // letter case aside
        {"notkept.example", false},    // ends like it, but is another site
        {"kept.example.evil", false},  // begins like it
        {"kept-example", false},
        {"tracker.net", false},
        {"example", true},  // the cookie files' rule: the host occurs in the keep text
    };
    for (const KeepCase& c : cases)
        EXPECT_EQ(keep.Keeps(c.host), c.kept) << c.host;
}

TEST(CookieKeepTest, EntriesAreNormalisedAsTypedAddressEntriesAre) {
    const CookieKeep keep(ListOf({"http://www.kept.example/", ".dotted.example", "http://"}));
    EXPECT_TRUE(keep.Keeps("login.kept.example"));
    EXPECT_TRUE(keep.Keeps("shop.dotted.example"));
    // An entry that normalises to nothing keeps no sub-domain of anything.
    EXPECT_FALSE(keep.Keeps("a.b"));
    EXPECT_FALSE(CookieKeep(SettingList()).Keeps("kept.example"));
}

TEST(CookieKeepTest, TheHostKeyLosesOneLeadingDotAndEveryWww) {
    EXPECT_EQ(CookieHostKey(".www.example.com"), "example.com");
    EXPECT_EQ(CookieHostKey("..example.com"), ".example.com");
    EXPECT_EQ(CookieHostKey("shop.WWW.example.com"), "shop.example.com");
}

// ---- profiles ----

class ProfilesTest : public ::testing::Test {
  protected:
    ProfilesTest() {
        shell.folders[0x1c] = "C:\\users\\me\\AppData\\Local\\";
        shell.folders[0x1a] = "C:\\users\\me\\AppData\\Roaming\\";
        files.AddFolder("C:\\users\\me\\AppData\\Local");
        files.AddFolder("C:\\users\\me\\AppData\\Roaming");
    }
    std::optional<Installation> Find(const char* name) {
        for (const Browser& browser : kBrowsers) {
            if (std::string(browser.name) == name)
                return FindInstallation(files, FindAppDataFolders(shell, files), browser);
        }
        return std::nullopt;
    }
    static std::vector<std::string> Folders(const Installation& installation) {
        std::vector<std::string> folders;
        for (const Profile& profile : installation.profiles)
            folders.push_back(profile.folder);
        return folders;
    }

    testing::FakeFileSystem files;
    testing::FakeShell shell;
};

TEST_F(ProfilesTest, ChromiumProfilesAreDefaultNumberedOnesAndAnyFolderWithPreferences) {
    const std::string data = "C:\\users\\me\\AppData\\Local\\Google\\Chrome\\User Data";
    for (const char* folder : {"Default", "Profile 1", "Profile 12", "Profile x", "Work", "Crashpad", "System Profile"})
        files.AddFolder(data + "\\" + folder);
    files.AddFile(data + "\\Work\\Preferences");
    files.AddFile(data + "\\System Profile\\Preferences");
    files.AddFile(data + "\\Local State");

    const auto chrome = Find("Google Chrome");
    ASSERT_TRUE(chrome);
    EXPECT_THAT(Folders(*chrome), ElementsAre(data + "\\Default", data + "\\Profile 1", data + "\\Profile 12",
                                              data + "\\System Profile", data + "\\Work"));
    EXPECT_THAT(chrome->lockFiles, ElementsAre(data + "\\lockfile"));
    EXPECT_THAT(chrome->profiles[0].cacheFolders,
                ElementsAre(data + "\\Default\\Cache", data + "\\Default\\Code Cache", data + "\\Default\\GPUCache"));
    EXPECT_THAT(CookieDatabases(*chrome, chrome->profiles[0]),
                ElementsAre(data + "\\Default\\Network\\Cookies", data + "\\Default\\Cookies"));
    EXPECT_FALSE(Find("Microsoft Edge"));
}

TEST_F(ProfilesTest, OperaIsItsRoamingFolderAndItsDefaultWithTheCacheInTheLocalTwin) {
    const std::string roaming = "C:\\users\\me\\AppData\\Roaming\\Opera Software\\Opera Stable";
    const std::string local = "C:\\users\\me\\AppData\\Local\\Opera Software\\Opera Stable";
    files.AddFolder(roaming + "\\Default");
    const auto opera = Find("Opera");
    ASSERT_TRUE(opera);
    EXPECT_THAT(Folders(*opera), ElementsAre(roaming, roaming + "\\Default"));
    EXPECT_THAT(opera->lockFiles, ElementsAre(roaming + "\\lockfile", roaming + "\\Default\\lockfile"));
    EXPECT_THAT(opera->profiles[0].cacheFolders, ::testing::Contains(local + "\\Cache"));
    EXPECT_THAT(opera->profiles[1].cacheFolders, ::testing::Contains(local + "\\Default\\GPUCache"));
}

TEST_F(ProfilesTest, FirefoxProfilesComeFromProfilesIniRelativeOrNot) {
    const std::string firefox = "C:\\users\\me\\AppData\\Roaming\\Mozilla\\Firefox";
    files.AddFolder(firefox + "\\Profiles\\abcd1234.default-release");
    files.AddFolder(firefox + "\\Profiles\\gone.old");
    files.AddFolder("D:\\Portable\\ff");
    files.AddFile(firefox + "\\profiles.ini");
    files.SetContent(firefox + "\\profiles.ini",
                     "[Install308046B0AF4A39CB]\r\nDefault=Profiles/abcd1234.default-release\r\nLocked=1\r\n\r\n"
                     "[Profile1]\r\nName=portable\r\nIsRelative=0\r\nPath=D:\\Portable\\ff\r\n\r\n"
                     "[Profile0]\r\nName=default-release\r\nIsRelative=1\r\nPath=Profiles/abcd1234.default-release\r\n"
                     "Default=1\r\n\r\n[Profile2]\r\nIsRelative=1\r\nPath=Profiles/missing\r\n\r\n"
                     "[General]\r\nStartWithLastProfile=1\r\nVersion=2\r\n");
    const auto installation = Find("Mozilla Firefox");
    ASSERT_TRUE(installation);
    const std::string release = firefox + "\\Profiles\\abcd1234.default-release";
    // In the order the file names them; a profile whose folder is gone is not one.
    EXPECT_THAT(Folders(*installation), ElementsAre("D:\\Portable\\ff", release));
    EXPECT_THAT(installation->lockFiles, ElementsAre("D:\\Portable\\ff\\parent.lock", release + "\\parent.lock"));
    EXPECT_THAT(installation->profiles[0].cacheFolders, ElementsAre("D:\\Portable\\ff\\cache2"));
    EXPECT_THAT(
        installation->profiles[1].cacheFolders,
        ElementsAre("C:\\users\\me\\AppData\\Local\\Mozilla\\Firefox\\Profiles\\abcd1234.default-release\\cache2"));
}

// ---- the plans against real files ----

// A folder of its own for each test, with the databases the browsers would have.
class PlansTest : public ::testing::Test {
  protected:
    PlansTest() : folder(fs::path(::testing::TempDir()) / ("nimbral-browsers-" + std::to_string(::getpid()))) {
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    ~PlansTest() override { fs::remove_all(folder); }

    std::string Path(const std::string& name) const { return (folder / name).string(); }

    std::vector<std::string> Clean(Databases& databases, const std::string& path, const CleanPlan& plan) {
        testing::RecordingResults results;
        CleanDatabase(databases, results, path, plan);
        return results.lines;
    }
    CleanPlan Cookies(const std::string& path, const SettingList& keepList) {
        return [path, keep = std::make_shared<CookieKeep>(keepList)](Connection& db) {
            return CookieLines(CleanCookieTable(db, *keep), path);
        };
    }
    CleanPlan History(const std::string& path, const SettingList& keepList, bool firefox) {
        return [path, firefox, keep = std::make_shared<KeepPatterns>(keepList)](Connection& db) {
            return HistoryLines(firefox ? CleanFirefoxHistory(db, *keep) : CleanChromiumHistory(db, *keep), path);
        };
    }
    // Every file of the folder with its bytes, to tell whether anything at all changed.
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(folder))
            files[entry.path().filename().string()] = fixtures::FileBytes(entry.path().string());
        return files;
    }

    fs::path folder;
    SqliteDatabases databases;
};

std::vector<fixtures::Cookie> SomeCookies() {
    return {{".kept.example", "SID_kept", "v-kept"},
            {"accounts.kept.example", "LOGIN_accounts"},
            {"www.kept.example", "PREF_www"},
            {".notkept.example", "TRACK_notkept", "v-notkept"},
            {"kept.example.evil", "EVIL_lookalike", "v-evil"},
            {".tracker.net", "PART_tracker", "v-tracker", "https://kept.example"}};
}

TEST_F(PlansTest, ChromiumCookiesOfSitesNotKeptGoAndNothingElseChanges) {
    const std::string path = Path("Cookies");
    fixtures::WriteChromiumCookies(path, SomeCookies());
    const auto keptBlobs =
        fixtures::QueryTexts(path, "SELECT hex(encrypted_value) FROM cookies WHERE rowid <= 3 ORDER BY rowid");

    EXPECT_THAT(Clean(databases, path, Cookies(path, ListOf({"kept.example"}))),
                ElementsAre("Found 6 cookies in " + path, "Deleted 3 unwanted cookies in " + path,
                            "Kept 3 cookies in " + path));
    EXPECT_THAT(fixtures::QueryTexts(path, "SELECT host_key FROM cookies ORDER BY rowid"),
                ElementsAre(".kept.example", "accounts.kept.example", "www.kept.example"));
    EXPECT_EQ(fixtures::QueryTexts(path, "SELECT hex(encrypted_value) FROM cookies ORDER BY rowid"), keptBlobs);
    EXPECT_THAT(fixtures::QueryTexts(path, "SELECT key || '=' || value FROM meta ORDER BY key"),
                ElementsAre("last_compatible_version=24", "mmap_status=-1", "version=24"));
    EXPECT_THAT(fixtures::QueryTexts(path, "PRAGMA integrity_check"), ElementsAre("ok"));
    for (const char* gone :
         {"TRACK_notkept", "notkept.example", "EVIL_lookalike", "kept.example.evil", "PART_tracker", "tracker.net"}) {
        EXPECT_FALSE(fixtures::FileContains(path, gone)) << gone;
        EXPECT_FALSE(fixtures::FileContains(path + "-journal", gone)) << gone;
    }
}

TEST_F(PlansTest, FirefoxCookiesStillInTheLogAreCleanedAndTheLogEmptied) {
    const std::string path = Path("cookies.sqlite");
    fixtures::WriteFirefoxCookies(path, SomeCookies(), 3);
    ASSERT_TRUE(fixtures::FileContains(path + "-wal", "EVIL_lookalike"));

    EXPECT_THAT(Clean(databases, path, Cookies(path, ListOf({"kept.example"}))),
                ElementsAre("Found 6 cookies in " + path, "Deleted 3 unwanted cookies in " + path,
                            "Kept 3 cookies in " + path));
    EXPECT_THAT(fixtures::QueryTexts(path, "SELECT host FROM moz_cookies ORDER BY id"),
                ElementsAre(".kept.example", "accounts.kept.example", "www.kept.example"));
    EXPECT_THAT(fixtures::QueryTexts(path, "PRAGMA journal_mode"), ElementsAre("wal"));
    EXPECT_THAT(fixtures::QueryTexts(path, "PRAGMA user_version"), ElementsAre("16"));
    for (const char* gone : {"TRACK_notkept", "v-notkept", "EVIL_lookalike", "v-evil", "PART_tracker", "tracker.net"}) {
        for (const char* file : {"", "-wal", "-shm", "-journal"})
            EXPECT_FALSE(fixtures::FileContains(path + file, gone)) << gone << " in" << file;
    }
}

std::vector<fixtures::Address> SomeAddresses() {
    fixtures::Address kept{"https://bank.example/login", 2, 3};
    fixtures::Address typedNotKept{"https://secret.example/private", 1, 2};
    typedNotKept.searchTerm = "Secret Term";
    typedNotKept.downloaded = true;
    fixtures::Address visitedKeptSite{"https://bank.example/offers", 0, 1};
    fixtures::Address bookmarked{"https://news.example/", 0, 4};
    bookmarked.bookmarked = true;
    fixtures::Address keyword{"https://search.example/?q=%s", 0, 1};
    keyword.keyword = true;
    return {kept, typedNotKept, visitedKeptSite, bookmarked, keyword};
}

TEST_F(PlansTest, ChromiumHistoryKeepsOnlyTheKeptTypedAddressesWithTheirVisits) {
    const std::string path = Path("History");
    fixtures::WriteChromiumHistory(path, SomeAddresses());
    fixtures::AddUnknownTable(path);

    EXPECT_THAT(Clean(databases, path, History(path, ListOf({"bank.example"}), false)),
                ElementsAre("Deleted 4 addresses from " + path, "Kept URL: https://bank.example/login"));
    EXPECT_THAT(fixtures::QueryTexts(path, "SELECT url || ' ' || typed_count FROM urls"),
                ElementsAre("https://bank.example/login 2"));
    EXPECT_EQ(fixtures::QueryCount(path, "SELECT count(*) FROM visits WHERE url = 1"), 3);
    EXPECT_EQ(fixtures::QueryCount(path, "SELECT count(*) FROM visits"), 3);
    // What hangs on the kept visits stays; everything else of the history is gone.
    EXPECT_EQ(fixtures::QueryCount(path, "SELECT count(*) FROM content_annotations"), 3);
    EXPECT_EQ(fixtures::QueryCount(path, "SELECT count(*) FROM clusters_and_visits"), 3);
    EXPECT_EQ(fixtures::QueryCount(path, "SELECT count(*) FROM visited_links"), 1);
    for (const char* table : {"keyword_search_terms", "downloads", "downloads_url_chains", "downloads_slices",
                              "segments", "segment_usage"}) {
        EXPECT_EQ(fixtures::QueryCount(path, std::string("SELECT count(*) FROM ") + table), 0) << table;
    }
    EXPECT_EQ(fixtures::QueryCount(path, "SELECT count(*) FROM visit_source"), 3);
    EXPECT_EQ(fixtures::QueryCount(path, "SELECT count(*) FROM clusters"), 1);
    EXPECT_THAT(fixtures::QueryTexts(path, "SELECT x FROM unknown_future_table"), ElementsAre("future row"));
    EXPECT_THAT(fixtures::QueryTexts(path, "SELECT value FROM meta WHERE key = 'version'"), ElementsAre("70"));
    EXPECT_THAT(fixtures::QueryTexts(path, "PRAGMA integrity_check"), ElementsAre("ok"));
    for (const char* gone : {"secret.example", "Secret Term", "news.example", "bank.example/offers"})
        EXPECT_FALSE(fixtures::FileContains(path, gone)) << gone;
}

TEST_F(PlansTest, FirefoxHistoryKeepsBookmarksAndKeywordsWithoutTheirVisits) {
    const std::string path = Path("places.sqlite");
    fixtures::WriteFirefoxPlaces(path, SomeAddresses());

    EXPECT_THAT(Clean(databases, path, History(path, ListOf({"bank.example"}), true)),
                ElementsAre("Deleted 2 addresses from " + path, "Kept URL: https://bank.example/login"));
    EXPECT_THAT(
        fixtures::QueryTexts(path, "SELECT url || ' ' || visit_count FROM moz_places ORDER BY id"),
        ElementsAre("https://bank.example/login 3", "https://news.example/ 0", "https://search.example/?q=%s 0"));
    EXPECT_EQ(fixtures::QueryCount(path, "SELECT count(*) FROM moz_historyvisits"), 3);
    EXPECT_EQ(fixtures::QueryCount(path, "SELECT count(*) FROM moz_historyvisits WHERE place_id <> 1"), 0);
    EXPECT_EQ(
        fixtures::QueryCount(path, "SELECT count(*) FROM moz_places WHERE id <> 1 AND last_visit_date IS NOT NULL"), 0);
    EXPECT_THAT(fixtures::QueryTexts(path, "SELECT title FROM moz_bookmarks WHERE fk IS NOT NULL"),
                ElementsAre("Page"));
    EXPECT_THAT(fixtures::QueryTexts(path, "SELECT keyword FROM moz_keywords"), ElementsAre("k4"));
    EXPECT_THAT(fixtures::QueryTexts(path, "SELECT host FROM moz_origins ORDER BY id"),
                ElementsAre("bank.example", "news.example", "search.example"));
    EXPECT_EQ(fixtures::QueryCount(path, "SELECT count(*) FROM moz_inputhistory WHERE place_id <> 1"), 0);
    EXPECT_EQ(fixtures::QueryCount(path, "SELECT count(*) FROM moz_annos"), 0);
    EXPECT_EQ(fixtures::QueryCount(path, "SELECT count(*) FROM moz_places_metadata WHERE place_id <> 1"), 0);
    EXPECT_THAT(fixtures::QueryTexts(path, "PRAGMA foreign_key_check"), IsEmpty());
    EXPECT_THAT(fixtures::QueryTexts(path, "PRAGMA integrity_check"), ElementsAre("ok"));
    EXPECT_THAT(fixtures::QueryTexts(path, "PRAGMA journal_mode"), ElementsAre("wal"));
    EXPECT_THAT(fixtures::QueryTexts(path, "PRAGMA user_version"), ElementsAre("77"));
    for (const char* gone : {"secret.example", "bank.example/offers"}) {
        for (const char* file : {"", "-wal"})
            EXPECT_FALSE(fixtures::FileContains(path + file, gone)) << gone << file;
    }
}

TEST_F(PlansTest, MissingTablesArePassedOver) {
    const std::string history = Path("History");
    fixtures::WriteChromiumHistory(history, SomeAddresses());
    for (const char* table : {"keyword_search_terms", "segments", "clusters", "visit_source"})
        fixtures::DropTable(history, table);
    EXPECT_THAT(Clean(databases, history, History(history, ListOf({"bank.example"}), false)),
                ElementsAre("Deleted 4 addresses from " + history, "Kept URL: https://bank.example/login"));

    const std::string places = Path("places.sqlite");
    fixtures::WriteFirefoxPlaces(places, SomeAddresses());
    for (const char* table : {"moz_places_metadata", "moz_inputhistory", "moz_keywords", "moz_origins"})
        fixtures::DropTable(places, table);
    EXPECT_THAT(Clean(databases, places, History(places, SettingList(), true)),
                ElementsAre("Deleted 3 addresses from " + places));

    const std::string cookies = Path("Cookies");
    fixtures::WriteChromiumCookies(cookies, SomeCookies());
    fixtures::DropTable(cookies, "cookies");
    EXPECT_THAT(Clean(databases, cookies, Cookies(cookies, SettingList())),
                ElementsAre("Found 0 cookies in " + cookies, "Deleted 0 unwanted cookies in " + cookies,
                            "Kept 0 cookies in " + cookies));
}

TEST_F(PlansTest, AFileThatCannotBeCleanedIsLeftByteForByte) {
    struct Case {
        std::string file;
        std::string why;
        std::function<void(const std::string&)> make;
    };
    const std::vector<Case> cases = {
        {"NotADatabase", "file is not a database",
         [](const std::string& path) { std::ofstream(path) << std::string(8192, 'x'); }},
        // An index of another table no longer matches it: the deletes go through, the check before
        // the commit finds the damage.
        {"Damaged", "its integrity check answered \"row 1 missing from index damaged_index\"",
         [](const std::string& path) {
             fixtures::WriteChromiumCookies(path, SomeCookies());
             sqlite3* db = nullptr;
             sqlite3_open(path.c_str(), &db);
             sqlite3_exec(db,
                          "CREATE TABLE other(a TEXT, b TEXT); CREATE INDEX damaged_index ON other(a); "
                          "INSERT INTO other VALUES ('x', 'y'); PRAGMA writable_schema = ON; "
                          "UPDATE sqlite_master SET sql = 'CREATE INDEX damaged_index ON other(b)' "
                          "WHERE name = 'damaged_index';",
                          nullptr, nullptr, nullptr);
             sqlite3_close(db);
         }},
    };
    for (const Case& c : cases) {
        const std::string path = Path(c.file);
        c.make(path);
        const auto before = Snapshot();
        EXPECT_THAT(Clean(databases, path, Cookies(path, ListOf({"kept.example"}))),
                    ElementsAre("Could not clean " + path + ": " + c.why))
            << c.file;
        EXPECT_EQ(Snapshot(), before) << c.file;
    }
}

TEST_F(PlansTest, ADatabaseAnotherConnectionHoldsIsInUseAndUntouched) {
    const std::string path = Path("History");
    fixtures::WriteChromiumHistory(path, SomeAddresses());
    // As the browser holds its history while it runs: exclusive locking, after a write.
    sqlite3* browser = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &browser), SQLITE_OK);
    sqlite3_exec(browser, "PRAGMA locking_mode=EXCLUSIVE; UPDATE urls SET hidden = 0;", nullptr, nullptr, nullptr);
    const auto before = Snapshot();
    SqliteDatabases preview(SqliteDatabases::Changes::kKeptInMemory);
    for (Databases* each : std::initializer_list<Databases*>{&databases, &preview}) {
        EXPECT_THAT(Clean(*each, path, History(path, SettingList(), false)),
                    ElementsAre("Could not clean " + path + ": it is in use"));
    }
    sqlite3_close(browser);
    EXPECT_EQ(Snapshot(), before);
}

// A preview runs the same plan on the same files and shows the clean's lines; no byte of any file
// changes and no file comes or goes. The clean it is compared with runs on a copy made alike.
TEST_F(PlansTest, APreviewWritesTheCleansLinesAndChangesNothing) {
    struct Case {
        const char* file;
        std::function<void(const std::string&)> make;
        bool cookies;
        bool firefox;
    };
    const Case cases[] = {
        {"Cookies", [](const std::string& p) { fixtures::WriteChromiumCookies(p, SomeCookies()); }, true, false},
        {"cookies.sqlite", [](const std::string& p) { fixtures::WriteFirefoxCookies(p, SomeCookies(), 2); }, true,
         true},
        {"History", [](const std::string& p) { fixtures::WriteChromiumHistory(p, SomeAddresses()); }, false, false},
        {"places.sqlite", [](const std::string& p) { fixtures::WriteFirefoxPlaces(p, SomeAddresses()); }, false, true},
    };
    const SettingList keep = ListOf({"bank.example", "kept.example"});
    for (const Case& c : cases) {
        const std::string path = Path(c.file);
        const std::string twin = Path(std::string("twin-") + c.file);
        c.make(path);
        c.make(twin);
        const auto plan = [&](const std::string& p) {
            return c.cookies ? Cookies(p, keep) : History(p, keep, c.firefox);
        };
        const auto before = Snapshot();
        SqliteDatabases preview(SqliteDatabases::Changes::kKeptInMemory);
        const auto previewed = Clean(preview, path, plan(path));
        EXPECT_EQ(Snapshot(), before) << c.file;

        auto cleaned = Clean(databases, twin, plan(twin));
        for (std::string& line : cleaned)
            line = ReplaceAll(line, twin, path);
        EXPECT_EQ(previewed, cleaned) << c.file;
        EXPECT_THAT(previewed, ::testing::Not(IsEmpty()));
        EXPECT_THAT(previewed[0], ::testing::Not(::testing::HasSubstr("Could not")));
    }
}

// The wizard reads the browsers' files over and over while they may change: reading through the
// overlay leaves nothing remembered, so each read sees the file as it is then.
TEST_F(PlansTest, ReadingThroughTheOverlayLeavesNothingRememberedOrChanged) {
    const std::string path = Path("cookies.sqlite");
    fixtures::WriteFirefoxCookies(path, SomeCookies(), 2);
    SqliteDatabases reading(SqliteDatabases::Changes::kKeptInMemory);
    const auto count = [&] {
        OpenedDatabase opened = reading.Open(path);
        EXPECT_TRUE(opened.connection);
        opened.connection->LeaveLogOnClose();
        return opened.connection->QueryInt64("SELECT count(*) FROM moz_cookies").value_or(-1);
    };
    const auto before = Snapshot();
    EXPECT_EQ(count(), 6);
    EXPECT_EQ(Snapshot(), before);

    sqlite3* browser = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &browser), SQLITE_OK);
    sqlite3_exec(browser, "INSERT INTO moz_cookies (name, host) VALUES ('new', '.new.example')", nullptr, nullptr,
                 nullptr);
    sqlite3_close(browser);
    EXPECT_EQ(count(), 7);
}

}  // namespace
}  // namespace nimbral
