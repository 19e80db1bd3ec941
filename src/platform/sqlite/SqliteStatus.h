#pragma once

// What a result code of SQLite means for the cleaning.

#include "platform/Database.h"

namespace nimbral {

// No problem for a success; in use for a file another program has (busy, locked, read-only, cannot
// be opened); otherwise the failure in SQLite's words.
DbStatus StatusOf(sqlite3* db, int code);

}  // namespace nimbral
