// The floor of bench/browser-bench.sh: the DELETE statements the program's Chromium cookie and
// history plans run on the benchmark's profile, with the same SQLite, in one exclusive transaction
// per file, and nothing else: no checks of where a file lies or whether the browser runs, no keep
// tests (the rows to keep are picked by what the seeding made them), no overwriting of deleted
// content, no integrity check, no checkpoint.
//
// usage: minimal_browser.exe seed PROFILE    makes PROFILE\Network\Cookies (20,000 cookies, half of
//                                            them of kept sites) and PROFILE\History (100,000
//                                            addresses, 300,000 visits, 1,000 typed ones of kept sites)
//        minimal_browser.exe clean PROFILE   deletes what the program would
//        minimal_browser.exe checked PROFILE the same with the two steps the program adds to every file:
//                                            deleted content overwritten, and the integrity check
//                                            before the commit

#include <sqlite3.h>

#include <cstdio>
#include <string>
#include <vector>

#include "fixtures/BrowserFixtures.h"

namespace {

constexpr int kCookies = 20000;
constexpr int kAddresses = 100000;
constexpr int kKeepEntries = 10001;

bool Exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    std::fprintf(stderr, "%s: %s\n", sql, sqlite3_errmsg(db));
    return false;
}

int Seed(const std::string& profile) {
    std::vector<nimbral::fixtures::Cookie> cookies;
    for (int i = 0; i < kCookies; ++i) {
        const std::string site = "site" + std::to_string(i / 2 % kKeepEntries) + ".example";
        if (i % 2 == 0)
            cookies.push_back({(i % 4 == 0 ? "." : "accounts.") + site, "SID" + std::to_string(i)});
        else
            cookies.push_back({".tracker" + std::to_string(i) + ".test", "uid" + std::to_string(i)});
    }
    nimbral::fixtures::WriteChromiumCookies(profile + "\\Network\\Cookies", cookies);
    std::vector<nimbral::fixtures::Address> addresses;
    for (int i = 0; i < kAddresses; ++i) {
        nimbral::fixtures::Address address;
        if (i % 100 == 0) {
            address.url = "https://page" + std::to_string(i) + ".site" + std::to_string(i % kKeepEntries) + ".example/";
            address.typed = 1;
        } else {
            address.url = "https://visited" + std::to_string(i) + ".test/article";
            address.typed = i % 100 == 1 ? 1 : 0;
        }
        address.visits = 3;
        if (i % 50 == 7)
            address.searchTerm = "search " + std::to_string(i);
        address.downloaded = i % 500 == 9;
        addresses.push_back(address);
    }
    nimbral::fixtures::WriteChromiumHistory(profile + "\\History", addresses);
    return 0;
}

sqlite3* Open(const std::string& path, bool checked) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        sqlite3_close_v2(db);
        return nullptr;
    }
    if (checked)
        Exec(db, "PRAGMA secure_delete = ON");
    return db;
}

bool CleanCookies(const std::string& path, bool checked) {
    sqlite3* db = Open(path, checked);
    if (!db)
        return false;
    bool ok = Exec(db, "BEGIN EXCLUSIVE");
    std::vector<sqlite3_int64> doomed;
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid FROM cookies WHERE host_key LIKE '%.test'", -1, &select, nullptr);
    while (sqlite3_step(select) == SQLITE_ROW)
        doomed.push_back(sqlite3_column_int64(select, 0));
    sqlite3_finalize(select);
    sqlite3_stmt* remove = nullptr;
    sqlite3_prepare_v2(db, "DELETE FROM \"cookies\" WHERE rowid = ?", -1, &remove, nullptr);
    for (sqlite3_int64 row : doomed) {
        sqlite3_bind_int64(remove, 1, row);
        ok = ok && sqlite3_step(remove) == SQLITE_DONE;
        sqlite3_reset(remove);
    }
    sqlite3_finalize(remove);
    ok = ok && (!checked || Exec(db, "PRAGMA integrity_check")) && Exec(db, "COMMIT");
    sqlite3_close_v2(db);
    return ok;
}

bool CleanHistory(const std::string& path, bool checked) {
    sqlite3* db = Open(path, checked);
    if (!db)
        return false;
    static const char* const kStatements[] = {
        "PRAGMA temp_store = MEMORY",
        "BEGIN EXCLUSIVE",
        "CREATE TEMP TABLE IF NOT EXISTS nimbral_kept(id INTEGER PRIMARY KEY)",
        "INSERT INTO temp.nimbral_kept SELECT id FROM urls WHERE typed_count > 0 AND url LIKE '%.example/%'",
        "DELETE FROM visits WHERE url NOT IN (SELECT id FROM temp.nimbral_kept)",
        "DELETE FROM urls WHERE id NOT IN (SELECT id FROM temp.nimbral_kept)",
        "DELETE FROM \"keyword_search_terms\"",
        "DELETE FROM \"segment_usage\"",
        "DELETE FROM \"segments\"",
        "DELETE FROM \"downloads_url_chains\"",
        "DELETE FROM \"downloads_slices\"",
        "DELETE FROM \"downloads\"",
        "DELETE FROM \"content_annotations\" WHERE \"visit_id\" NOT IN (SELECT \"id\" FROM \"visits\" WHERE \"id\" IS "
        "NOT "
        "NULL)",
        "DELETE FROM \"context_annotations\" WHERE \"visit_id\" NOT IN (SELECT \"id\" FROM \"visits\" WHERE \"id\" IS "
        "NOT "
        "NULL)",
        "DELETE FROM \"clusters_and_visits\" WHERE \"visit_id\" NOT IN (SELECT \"id\" FROM \"visits\" WHERE \"id\" IS "
        "NOT "
        "NULL)",
        "DELETE FROM \"cluster_visit_duplicates\" WHERE \"visit_id\" NOT IN (SELECT \"id\" FROM \"visits\" WHERE "
        "\"id\" IS "
        "NOT NULL)",
        "DELETE FROM \"cluster_visit_duplicates\" WHERE \"duplicate_visit_id\" NOT IN (SELECT \"id\" FROM \"visits\" "
        "WHERE "
        "\"id\" IS NOT NULL)",
        "DELETE FROM \"visited_links\" WHERE \"link_url_id\" NOT IN (SELECT \"id\" FROM \"urls\" WHERE \"id\" IS NOT "
        "NULL)",
        "DELETE FROM \"visit_source\" WHERE \"id\" NOT IN (SELECT \"id\" FROM \"visits\" WHERE \"id\" IS NOT NULL)",
        "DELETE FROM \"clusters\" WHERE \"cluster_id\" NOT IN (SELECT \"cluster_id\" FROM \"clusters_and_visits\" "
        "WHERE "
        "\"cluster_id\" IS NOT NULL)",
        "DELETE FROM \"cluster_keywords\" WHERE \"cluster_id\" NOT IN (SELECT \"cluster_id\" FROM \"clusters\" WHERE "
        "\"cluster_id\" IS NOT NULL)",
    };
    bool ok = true;
    for (const char* statement : kStatements)
        ok = ok && Exec(db, statement);
    ok = ok && (!checked || Exec(db, "PRAGMA integrity_check")) && Exec(db, "COMMIT");
    sqlite3_close_v2(db);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 3 ? argv[1] : "";
    if (mode != "seed" && mode != "clean" && mode != "checked") {
        std::fprintf(stderr, "usage: minimal_browser.exe seed|clean|checked PROFILE\n");
        return 2;
    }
    const std::string profile = argv[2];
    if (mode == "seed")
        return Seed(profile);
    const bool checked = mode == "checked";
    return CleanCookies(profile + "\\Network\\Cookies", checked) && CleanHistory(profile + "\\History", checked) ? 0
                                                                                                                 : 1;
}
