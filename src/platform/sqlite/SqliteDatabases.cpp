#include "platform/sqlite/SqliteDatabases.h"

#include <sqlite3.h>

#include "platform/sqlite/OverlayVfs.h"
#include "platform/sqlite/SqliteStatus.h"
#include "text/WideText.h"

namespace nimbral {

SqliteDatabases::SqliteDatabases(Changes changes)
    : overlay_(changes == Changes::kKeptInMemory ? std::make_unique<OverlayVfs>() : nullptr) {}

SqliteDatabases::~SqliteDatabases() = default;

OpenedDatabase SqliteDatabases::Open(const std::string& path) {
    if (std::string refusal = RefusalBeforeOpen(path); !refusal.empty())
        return {std::nullopt, {DbProblem::kOther, std::move(refusal)}};

    // SQLite takes file names in UTF-8 on every system, and hands them to Windows in UTF-16: a letter
    // the code page lacks reaches the file it names. Without SQLITE_OPEN_CREATE a missing file is an
    // error, never a new database.
    sqlite3* db = nullptr;
    const int code =
        sqlite3_open_v2(Utf8FromProgramText(path).c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_EXRESCODE,
                        overlay_ ? overlay_->Name() : nullptr);
    if (code != SQLITE_OK) {
        DbStatus status = StatusOf(db, code);
        sqlite3_close_v2(db);
        return {std::nullopt, std::move(status)};
    }
    sqlite3_busy_timeout(db, kBusyWaitMilliseconds);
    Connection connection(db);
    if (std::string refusal = RefusalOfOpened(path, connection); !refusal.empty())
        return {std::nullopt, {DbProblem::kOther, std::move(refusal)}};
    return {std::move(connection), {}};
}

}  // namespace nimbral
