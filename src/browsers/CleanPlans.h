#pragma once

// What the program does to a browser's database, statement by statement. Each plan runs inside the
// one exclusive transaction CleanDatabase opens, reads only the columns it decides by (never a
// cookie's value, encrypted or not), deletes rows by bound values, and leaves the schema, the meta
// rows, the user version and the journal mode as they were. A table or column an older or newer
// browser lacks is passed over.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "browsers/CookieKeep.h"
#include "engine/KeepPatterns.h"
#include "platform/Database.h"
#include "platform/ResultsSurface.h"

namespace nimbral {

struct CookieCounts {
    std::int64_t found = 0;
    std::int64_t deleted = 0;
};
// table "cookies" (column host_key) or "moz_cookies" (column host).
CookieCounts CleanCookieTable(Connection& db, const CookieKeep& keep);

struct HistoryCounts {
    std::int64_t deletedAddresses = 0;
    std::vector<std::string> keptAddresses;  // program text, in the table's order
};
// A Chromium History: every visit, address, search term, download and segment goes, and every row
// of any other table that refers to a visit or address that went; a typed address that the site
// keep-list keeps stays with its visits.
HistoryCounts CleanChromiumHistory(Connection& db, const KeepPatterns& keep);
// A Firefox places.sqlite: every visit goes, and every place that no bookmark or keyword holds with
// what hangs on it; bookmarked places stay and lose their visit data; a typed address that the site
// keep-list keeps stays with its visits.
HistoryCounts CleanFirefoxHistory(Connection& db, const KeepPatterns& keep);

// The lines a plan writes once its changes are committed.
using CleanPlan = std::function<std::vector<std::string>(Connection&)>;

// Opens the file, runs the plan in one exclusive transaction with deleted content overwritten,
// commits only when the database's integrity check answers "ok", then folds a write-ahead log back
// into the file and empties it. Writes the plan's lines, or one line saying why nothing changed:
// "Could not clean " + path + ": " + why. True when the plan was committed.
bool CleanDatabase(Databases& databases, ResultsSurface& results, const std::string& path, const CleanPlan& plan);

// The lines of a cleaned cookie file and a cleaned history file.
std::vector<std::string> CookieLines(const CookieCounts& counts, const std::string& path);
std::vector<std::string> HistoryLines(const HistoryCounts& counts, const std::string& path);

}  // namespace nimbral
