#include "browsers/CleanPlans.h"

#include <set>

#include "text/AnsiText.h"
#include "text/WideText.h"

namespace nimbral {

namespace {

constexpr char kKeptTable[] = "temp.nimbral_kept";

// Everything in the table goes, when it is there.
void DeleteAll(Connection& db, const char* table) {
    if (db.TableExists(table))
        db.Execute("DELETE FROM " + QuotedName(table));
}

// Rows whose column names a row the other table no longer has.
void DeleteOrphans(Connection& db,
                   const std::string& table,
                   const char* column,
                   const char* parent,
                   const char* parentColumn) {
    if (db.TableExists(table) && db.ColumnExists(table, column) && db.TableExists(parent) &&
        db.ColumnExists(parent, parentColumn)) {
        db.Execute("DELETE FROM " + QuotedName(table) + " WHERE " + QuotedName(column) + " NOT IN (SELECT " +
                   QuotedName(parentColumn) + " FROM " + QuotedName(parent) + " WHERE " + QuotedName(parentColumn) +
                   " IS NOT NULL)");
    }
}

// The typed addresses of the table that the site keep-list keeps, noted in the kept table (made
// here, in memory, never in the file) and returned in the table's order.
std::vector<std::string> KeepTypedAddresses(Connection& db,
                                            const char* table,
                                            const char* typedCondition,
                                            const KeepPatterns& keep) {
    db.Execute(std::string("CREATE TEMP TABLE IF NOT EXISTS nimbral_kept(id INTEGER PRIMARY KEY)"));
    db.Execute(std::string("DELETE FROM ") + kKeptTable);
    std::vector<std::string> kept;
    Statement select = db.Prepare(std::string("SELECT id, url FROM ") + QuotedName(table) + " WHERE " + typedCondition +
                                  " ORDER BY id");
    Statement note = db.Prepare(std::string("INSERT INTO ") + kKeptTable + "(id) VALUES (?)");
    while (select.Step()) {
        std::string address = ProgramTextFromUtf8(select.Text(1));
        if (!keep.Matches(address))
            continue;
        note.BindInt64(1, select.Int64(0));
        note.Run();
        note.Reset();
        kept.push_back(std::move(address));
    }
    return kept;
}

const std::string kNotKept = std::string(" NOT IN (SELECT id FROM ") + kKeptTable + ")";

}  // namespace

CookieCounts CleanCookieTable(Connection& db, const CookieKeep& keep) {
    CookieCounts counts;
    std::string table = "cookies";
    std::string host = "host_key";
    if (!db.TableExists(table)) {
        table = "moz_cookies";
        host = "host";
    }
    if (!db.TableExists(table) || !db.ColumnExists(table, host))
        return counts;

    std::vector<std::int64_t> doomed;
    {
        Statement select = db.Prepare("SELECT rowid, " + QuotedName(host) + " FROM " + QuotedName(table));
        while (select.Step()) {
            ++counts.found;
            if (!keep.Keeps(ProgramTextFromUtf8(select.Text(1))))
                doomed.push_back(select.Int64(0));
        }
    }
    Statement remove = db.Prepare("DELETE FROM " + QuotedName(table) + " WHERE rowid = ?");
    for (std::int64_t row : doomed) {
        remove.BindInt64(1, row);
        if (!remove.Run())
            break;
        counts.deleted += db.Changes();
        remove.Reset();
    }
    return counts;
}

HistoryCounts CleanChromiumHistory(Connection& db, const KeepPatterns& keep) {
    HistoryCounts counts;
    const bool urls = db.TableExists("urls") && db.ColumnExists("urls", "id") && db.ColumnExists("urls", "url");
    if (urls) {
        if (db.ColumnExists("urls", "typed_count"))
            counts.keptAddresses = KeepTypedAddresses(db, "urls", "typed_count > 0", keep);
        else
            KeepTypedAddresses(db, "urls", "0", keep);
        if (db.TableExists("visits") && db.ColumnExists("visits", "url"))
            db.Execute("DELETE FROM visits WHERE url" + kNotKept);
        db.Execute("DELETE FROM urls WHERE id" + kNotKept);
        counts.deletedAddresses = db.Changes();
    } else if (db.TableExists("visits")) {
        db.Execute("DELETE FROM visits");
    }

    // Search terms, downloads and the most-visited segments go whole.
    for (const char* table : {"keyword_search_terms", "segment_usage", "segments", "downloads_url_chains",
                              "downloads_slices", "downloads"}) {
        DeleteAll(db, table);
    }

    // Whatever else refers to an address, a visit or a download that went, in the tables this
    // browser has, known or not (a newer version or another browser of the family adds its own).
    const std::set<std::string> handled = {"meta",
                                           "urls",
                                           "visits",
                                           "keyword_search_terms",
                                           "segment_usage",
                                           "segments",
                                           "downloads_url_chains",
                                           "downloads_slices",
                                           "downloads"};
    for (const std::string& table : db.Tables()) {
        if (handled.count(table) || db.Failed())
            continue;
        DeleteOrphans(db, table, "url_id", "urls", "id");
        DeleteOrphans(db, table, "link_url_id", "urls", "id");
        DeleteOrphans(db, table, "visit_id", "visits", "id");
        DeleteOrphans(db, table, "duplicate_visit_id", "visits", "id");
        DeleteOrphans(db, table, "download_id", "downloads", "id");
    }
    // Where a visit was recorded from is keyed by the visit itself.
    DeleteOrphans(db, "visit_source", "id", "visits", "id");
    // The groups the browser made of the visits, and the keywords it found in them.
    DeleteOrphans(db, "clusters", "cluster_id", "clusters_and_visits", "cluster_id");
    DeleteOrphans(db, "cluster_keywords", "cluster_id", "clusters", "cluster_id");
    return counts;
}

HistoryCounts CleanFirefoxHistory(Connection& db, const KeepPatterns& keep) {
    HistoryCounts counts;
    const bool places =
        db.TableExists("moz_places") && db.ColumnExists("moz_places", "id") && db.ColumnExists("moz_places", "url");
    if (!places) {
        DeleteAll(db, "moz_historyvisits");
        return counts;
    }
    counts.keptAddresses =
        KeepTypedAddresses(db, "moz_places", db.ColumnExists("moz_places", "typed") ? "typed = 1" : "0", keep);
    if (db.TableExists("moz_historyvisits") && db.ColumnExists("moz_historyvisits", "place_id"))
        db.Execute("DELETE FROM moz_historyvisits WHERE place_id" + kNotKept);

    // A place a bookmark or a keyword holds stays; the count the browser keeps of them, and the
    // tables themselves, are both asked.
    std::string held;
    if (db.ColumnExists("moz_places", "foreign_count"))
        held += " AND foreign_count = 0";
    if (db.TableExists("moz_bookmarks") && db.ColumnExists("moz_bookmarks", "fk"))
        held += " AND id NOT IN (SELECT fk FROM moz_bookmarks WHERE fk IS NOT NULL)";
    if (db.TableExists("moz_keywords") && db.ColumnExists("moz_keywords", "place_id"))
        held += " AND id NOT IN (SELECT place_id FROM moz_keywords WHERE place_id IS NOT NULL)";
    db.Execute("DELETE FROM moz_places WHERE id" + kNotKept + held);
    counts.deletedAddresses = db.Changes();

    // The places that stay for a bookmark lose what their visits left on them; the browser works
    // out their ranking again.
    std::string reset;
    for (const char* assignment :
         {"visit_count = 0", "last_visit_date = NULL", "typed = 0", "recalc_frecency = 1", "recalc_alt_frecency = 1"}) {
        const std::string_view text(assignment);
        if (db.ColumnExists("moz_places", text.substr(0, text.find(' '))))
            reset += (reset.empty() ? "" : ", ") + std::string(text);
    }
    if (!reset.empty())
        db.Execute("UPDATE moz_places SET " + reset + " WHERE id" + kNotKept);

    // What was typed to reach a page, and how it was read, is visit data too.
    for (const char* table : {"moz_inputhistory", "moz_places_metadata"}) {
        if (db.TableExists(table) && db.ColumnExists(table, "place_id"))
            db.Execute("DELETE FROM " + QuotedName(table) + " WHERE place_id" + kNotKept);
    }
    // Downloads are annotations of the places downloaded.
    if (db.TableExists("moz_annos") && db.ColumnExists("moz_annos", "anno_attribute_id") &&
        db.TableExists("moz_anno_attributes") && db.ColumnExists("moz_annos", "place_id")) {
        db.Execute("DELETE FROM moz_annos WHERE place_id" + kNotKept +
                   " AND anno_attribute_id IN (SELECT id FROM moz_anno_attributes WHERE name LIKE 'downloads/%')");
    }
    DeleteOrphans(db, "moz_places_metadata_search_queries", "id", "moz_places_metadata", "search_query_id");
    DeleteOrphans(db, "moz_origins", "id", "moz_places", "origin_id");

    // Whatever else hangs on a place or a visit that went, but the bookmarks' own tables.
    const std::set<std::string> handled = {"moz_places",          "moz_historyvisits",
                                           "moz_bookmarks",       "moz_bookmarks_deleted",
                                           "moz_keywords",        "moz_meta",
                                           "moz_origins",         "moz_inputhistory",
                                           "moz_places_metadata", "moz_places_metadata_search_queries"};
    for (const std::string& table : db.Tables()) {
        if (handled.count(table) || db.Failed())
            continue;
        DeleteOrphans(db, table, "place_id", "moz_places", "id");
        DeleteOrphans(db, table, "visit_id", "moz_historyvisits", "id");
    }
    return counts;
}

bool CleanDatabase(Databases& databases, ResultsSurface& results, const std::string& path, const CleanPlan& plan) {
    const auto couldNot = [&](const std::string& why) {
        results.AppendLine("Could not clean " + path + ": " + why);
        return false;
    };
    OpenedDatabase opened = databases.Open(path);
    if (!opened.connection)
        return couldNot(opened.status.why);
    Connection& db = *opened.connection;
    // The system let the file be read only: whoever holds it would lose the changes, or see them
    // fail half-way.
    if (db.ReadOnly())
        return couldNot("it is in use");

    db.WhileRunning([&results] { results.ProcessPendingMessages(); });
    // Connection settings only: nothing of them is stored in the file.
    db.Execute("PRAGMA secure_delete = ON");
    db.Execute("PRAGMA temp_store = MEMORY");
    // Overwriting what is deleted dirties nearly every page of a large history in one transaction;
    // with SQLite's small default cache they would be written out, journal synced first, again and
    // again before the commit.
    db.Execute("PRAGMA cache_size = -65536");
    std::vector<std::string> lines;
    {
        ExclusiveTransaction transaction(db);
        if (transaction.Begin())
            lines = plan(db);
        if (!db.Failed()) {
            Statement check = db.Prepare("PRAGMA integrity_check");
            if (check.Step() && check.Text(0) != "ok")
                db.Fail(DbProblem::kOther,
                        "its integrity check answered \"" + ProgramTextFromUtf8(check.Text(0)) + "\"");
        }
        if (!transaction.Commit())
            return couldNot(db.Status().why);
    }
    // The log of a write-ahead database still holds the deleted rows until it is folded into the file
    // and emptied; for any other database this does nothing.
    db.Execute("PRAGMA wal_checkpoint(TRUNCATE)");
    for (const std::string& line : lines)
        results.AppendLine(line);
    return true;
}

std::vector<std::string> CookieLines(const CookieCounts& counts, const std::string& path) {
    return {"Found " + DecimalText(counts.found) + " cookies in " + path,
            "Deleted " + DecimalText(counts.deleted) + " unwanted cookies in " + path,
            "Kept " + DecimalText(counts.found - counts.deleted) + " cookies in " + path};
}

std::vector<std::string> HistoryLines(const HistoryCounts& counts, const std::string& path) {
    std::vector<std::string> lines{"Deleted " + DecimalText(counts.deletedAddresses) + " addresses from " + path};
    for (const std::string& address : counts.keptAddresses)
        lines.push_back("Kept URL: " + PrintableText(address));
    return lines;
}

}  // namespace nimbral
