#include "platform/Database.h"

#include <sqlite3.h>

#include <utility>

#include "platform/sqlite/SqliteStatus.h"
#include "text/WideText.h"

namespace nimbral {

DbStatus StatusOf(sqlite3* db, int code) {
    switch (code & 0xff) {
        case SQLITE_OK:
        case SQLITE_ROW:
        case SQLITE_DONE:
            return {};
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
        case SQLITE_READONLY:
        case SQLITE_CANTOPEN:
            return {DbProblem::kInUse, "it is in use"};
        default:
            break;
    }
    // The connection's message says more than the code's, as long as it is about this failure.
    const char* message = db && sqlite3_extended_errcode(db) == code ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    return {DbProblem::kOther, ProgramTextFromUtf8(message ? message : "unknown error")};
}

// ---- Statement ----

Statement::Statement(Statement&& other) noexcept
    : connection_(std::exchange(other.connection_, nullptr)), statement_(std::exchange(other.statement_, nullptr)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(statement_);
        connection_ = std::exchange(other.connection_, nullptr);
        statement_ = std::exchange(other.statement_, nullptr);
    }
    return *this;
}

Statement::~Statement() {
    sqlite3_finalize(statement_);
}

void Statement::BindInt64(int index, std::int64_t value) {
    if (statement_)
        connection_->Check(sqlite3_bind_int64(statement_, index, value));
}

void Statement::BindText(int index, std::string_view utf8) {
    if (statement_) {
        connection_->Check(
            sqlite3_bind_text64(statement_, index, utf8.data(), utf8.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
    }
}

bool Statement::Step() {
    if (!statement_ || connection_->Failed())
        return false;
    const int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW)
        return true;
    if (code != SQLITE_DONE)
        connection_->Check(code);
    return false;
}

bool Statement::Run() {
    while (Step()) {
    }
    return statement_ && !connection_->Failed();
}

void Statement::Reset() {
    // A failed step's code is answered again by the reset; it was recorded already.
    if (statement_)
        sqlite3_reset(statement_);
}

std::int64_t Statement::Int64(int column) const {
    return statement_ ? sqlite3_column_int64(statement_, column) : 0;
}

std::string_view Statement::Text(int column) const {
    if (!statement_)
        return {};
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return text ? std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)))
                : std::string_view();
}

// ---- Connection ----

Connection::Connection(Connection&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)),
      status_(std::move(other.status_)),
      whileRunning_(std::move(other.whileRunning_)) {}

Connection& Connection::operator=(Connection&& other) noexcept {
    if (this != &other) {
        sqlite3_close_v2(db_);
        db_ = std::exchange(other.db_, nullptr);
        status_ = std::move(other.status_);
        whileRunning_ = std::move(other.whileRunning_);
    }
    return *this;
}

void Connection::LeaveLogOnClose() {
    if (db_)
        sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
}

void Connection::WhileRunning(std::function<void()> callback) {
    whileRunning_ = std::make_unique<std::function<void()>>(std::move(callback));
    // About a millisecond of work between calls; answering 0 lets the statement go on.
    constexpr int kInstructions = 20000;
    sqlite3_progress_handler(
        db_, kInstructions,
        [](void* callback) {
            (*static_cast<std::function<void()>*>(callback))();
            return 0;
        },
        whileRunning_.get());
}

Connection::~Connection() {
    // Statements are owned by their holders and finalized before this; close_v2 waits for any left.
    sqlite3_close_v2(db_);
}

bool Connection::Check(int code) {
    if ((code & 0xff) == SQLITE_OK || code == SQLITE_ROW || code == SQLITE_DONE)
        return true;
    if (status_.Ok())
        status_ = StatusOf(db_, code);
    return false;
}

void Connection::Fail(DbProblem problem, std::string why) {
    if (status_.Ok())
        status_ = {problem, std::move(why)};
}

Statement Connection::Prepare(std::string_view sql) {
    if (Failed())
        return {};
    sqlite3_stmt* statement = nullptr;
    if (!Check(sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement, nullptr)))
        return {};
    return Statement(*this, statement);
}

bool Connection::Execute(std::string_view sql) {
    Statement statement = Prepare(sql);
    return statement.Run();
}

std::optional<std::int64_t> Connection::QueryInt64(std::string_view sql) {
    Statement statement = Prepare(sql);
    if (!statement.Step())
        return std::nullopt;
    return statement.Int64(0);
}

bool Connection::TableExists(std::string_view table) {
    Statement statement = Prepare("SELECT 1 FROM main.sqlite_master WHERE type = 'table' AND name = ?");
    statement.BindText(1, table);
    return statement.Step();
}

bool Connection::ColumnExists(std::string_view table, std::string_view column) {
    Statement statement = Prepare("SELECT 1 FROM pragma_table_info(?, 'main') WHERE name = ? COLLATE NOCASE");
    statement.BindText(1, table);
    statement.BindText(2, column);
    return statement.Step();
}

std::vector<std::string> Connection::Tables() {
    std::vector<std::string> tables;
    Statement statement = Prepare(
        "SELECT name FROM main.sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
        "ORDER BY rowid");
    while (statement.Step())
        tables.emplace_back(statement.Text(0));
    return tables;
}

std::int64_t Connection::Changes() const {
    return db_ ? sqlite3_changes64(db_) : 0;
}

bool Connection::ReadOnly() const {
    return db_ && sqlite3_db_readonly(db_, "main") == 1;
}

bool Connection::InTransaction() const {
    return db_ && sqlite3_get_autocommit(db_) == 0;
}

void Connection::RollBackNow() {
    // Some failures roll back by themselves; a second rollback would only fail.
    if (InTransaction())
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

std::string QuotedName(std::string_view name) {
    std::string quoted = "\"";
    for (char c : name) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

// ---- ExclusiveTransaction ----

ExclusiveTransaction::~ExclusiveTransaction() {
    if (begun_)
        connection_.RollBackNow();
}

bool ExclusiveTransaction::Begin() {
    begun_ = connection_.Execute("BEGIN EXCLUSIVE");
    return begun_;
}

bool ExclusiveTransaction::Commit() {
    if (!begun_)
        return false;
    if (connection_.Failed() || !connection_.Execute("COMMIT")) {
        connection_.RollBackNow();
        begun_ = false;
        return false;
    }
    begun_ = false;
    return true;
}

}  // namespace nimbral
